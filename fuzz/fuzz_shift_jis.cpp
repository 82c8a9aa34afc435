// Both conversions on any bytes: Shift-JIS to UTF-8 always gives well-formed UTF-8 and
// shows something for every input, and text decoded from Shift-JIS survives the way back.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "Utf8Check.h"
#include "files/ShiftJis.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = morvat::ShiftJisToUtf8(bytes);
    if (!morvat::fuzz::IsWellFormedUtf8(text)) std::abort();
    if (size > 0 && text.empty()) std::abort();

    // Some characters have two codes (the NEC and IBM rows), so the bytes may change on the
    // way back, but the text may not, unless a byte had to be replaced.
    const std::string back = morvat::Utf8ToShiftJis(text);
    if (text.find("\xEF\xBF\xBD") == std::string::npos && morvat::ShiftJisToUtf8(back) != text) {
        std::abort();
    }
    morvat::Utf8ToShiftJis(bytes);
    return 0;
}
