#include "files/ShiftJis.h"

#include <iconv.h>

#include <cerrno>

namespace morvat {
namespace {

// One conversion through glibc's iconv. "CP932" maps like the game's platform does
// (0x5C is the backslash, the NEC and IBM extensions decode); "SHIFT_JIS" would not.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts `in`; a byte that cannot be converted is replaced by `replacement` and skipped
    // (for UTF-8 input, a whole broken sequence is skipped one byte at a time).
    std::string Convert(std::string_view in, std::string_view replacement) const {
        std::string out;
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            out.assign(in);
            return out;
        }
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        char buffer[256];
        while (srcLeft > 0) {
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            const std::size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            if (rc == static_cast<std::size_t>(-1)) {
                if (errno == E2BIG) continue;
                // EILSEQ or EINVAL (a cut-off character at the end): replace one byte.
                out.append(replacement);
                ++src;
                --srcLeft;
                iconv(cd_, nullptr, nullptr, nullptr, nullptr);
            }
        }
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        iconv(cd_, nullptr, nullptr, &dst, &dstLeft);
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        return out;
    }

private:
    iconv_t cd_;
};

}  // namespace

std::string ShiftJisToUtf8(std::string_view bytes) {
    // One converter per thread: a conversion keeps state in it, and cards are read on
    // several threads at once.
    static thread_local const Converter converter("UTF-8", "CP932");
    return converter.Convert(bytes, "\xEF\xBF\xBD");
}

std::string Utf8ToShiftJis(std::string_view text) {
    static thread_local const Converter converter("CP932", "UTF-8");
    return converter.Convert(text, "?");
}

}  // namespace morvat
