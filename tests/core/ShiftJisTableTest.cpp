// Card names decode through the committed code page 932 table in every build. These tests
// hold the table to glibc's iconv ("CP932"), which the native build used to call, for
// every single byte, every pair and every character, so a regenerated or hand-edited table
// cannot drift from what users have seen.
#include <gtest/gtest.h>
#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <string>

#include "files/ShiftJis.h"

namespace morvat {
namespace {

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (ok()) iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts `in` whole; false when iconv stops at any byte.
    bool Convert(std::string_view in, std::string& out) const {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        char buffer[64];
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        const std::size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
        out.assign(buffer, static_cast<std::size_t>(dst - buffer));
        return rc != static_cast<std::size_t>(-1) && srcLeft == 0;
    }

    // What card names looked like through iconv: where a character cannot be read, one
    // byte becomes U+FFFD and reading goes on with the next byte.
    std::string DecodeWithReplacement(std::string_view in) const {
        std::string out;
        std::size_t pos = 0;
        while (pos < in.size()) {
            std::string piece;
            // The longest character of code page 932 is two bytes.
            if (pos + 1 < in.size() && Convert(in.substr(pos, 2), piece) &&
                !Convert(in.substr(pos, 1), piece)) {
                Convert(in.substr(pos, 2), piece);
                out += piece;
                pos += 2;
            } else if (Convert(in.substr(pos, 1), piece)) {
                out += piece;
                pos += 1;
            } else {
                out += "\xEF\xBF\xBD";
                pos += 1;
            }
        }
        return out;
    }

private:
    iconv_t cd_;
};

std::string Utf8Of(std::uint32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

TEST(ShiftJisTableTest, EverySingleByteAndPairDecodesAsIconvDoes) {
    const Iconv iconv("UTF-8", "CP932");
    ASSERT_TRUE(iconv.ok());
    int mismatches = 0;
    for (unsigned first = 0; first < 256; ++first) {
        const std::string one(1, static_cast<char>(first));
        EXPECT_EQ(ShiftJisToUtf8(one), iconv.DecodeWithReplacement(one)) << std::hex << first;
        for (unsigned second = 0; second < 256; ++second) {
            const std::string two = one + static_cast<char>(second);
            if (ShiftJisToUtf8(two) != iconv.DecodeWithReplacement(two) && ++mismatches < 20) {
                ADD_FAILURE() << "bytes " << std::hex << first << ' ' << second;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(ShiftJisTableTest, ExtensionsBackslashAndBrokenBytesDecodeAsOnWindows) {
    EXPECT_EQ(ShiftJisToUtf8("\x87\x40"), "①");  // NEC extension
    EXPECT_EQ(ShiftJisToUtf8("\xFA\x40"), "ⅰ");  // IBM extension
    EXPECT_EQ(ShiftJisToUtf8("C:\\x"), "C:\\x");
    EXPECT_EQ(ShiftJisToUtf8("\x81\x60"), "～");
    EXPECT_EQ(ShiftJisToUtf8("\xB1"), "ｱ");
    // A lead byte before a byte that cannot follow it: the second byte is read on its own.
    EXPECT_EQ(ShiftJisToUtf8("\x88\x41"), "\xEF\xBF\xBD" "A");
    EXPECT_EQ(ShiftJisToUtf8("\x88\xC3\x8E"), "暗\xEF\xBF\xBD");
    EXPECT_EQ(ShiftJisToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
    // Bytes that start no character at all.
    EXPECT_EQ(ShiftJisToUtf8("\x80\xA0\xFD"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(ShiftJisTableTest, EveryCharacterEncodesAsIconvDoes) {
    const Iconv iconv("CP932", "UTF-8");
    ASSERT_TRUE(iconv.ok());
    int mismatches = 0;
    for (std::uint32_t c = 0; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        const std::string utf8 = Utf8Of(c);
        std::string expected;
        if (!iconv.Convert(utf8, expected)) expected = "?";
        if (Utf8ToShiftJis(utf8) != expected && ++mismatches < 20) {
            ADD_FAILURE() << "U+" << std::hex << c;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(ShiftJisTableTest, BrokenUtf8BecomesOneQuestionMarkPerByte) {
    EXPECT_EQ(Utf8ToShiftJis("a\xE3\x81"), "a??");
    EXPECT_EQ(Utf8ToShiftJis("\xC0\xAF"), "??");          // overlong
    EXPECT_EQ(Utf8ToShiftJis("\xED\xA0\x80"), "???");     // a surrogate
    EXPECT_EQ(Utf8ToShiftJis("暗殺😀"), "\x88\xc3\x8e\x45?");
    EXPECT_EQ(ShiftJisToUtf8(Utf8ToShiftJis("①ⅰ～－\\")), "①ⅰ～－\\");
}

}  // namespace
}  // namespace morvat
