// SPDX-License-Identifier: MIT
// The text conversions on any bytes: Shift-JIS to UTF-8 always gives well-formed UTF-8 and
// shows something for every input, text decoded from Shift-JIS survives the way back, and
// the check that decides whether a file name is shown as it is agrees with an independent
// one, as does the repair of names that are not UTF-8.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "Utf8Check.h"
#include "files/ShiftJis.h"
#include "files/Utf8.h"

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

    const bool valid = morvat::fuzz::IsWellFormedUtf8(bytes);
    if (morvat::IsValidUtf8(bytes) != valid) std::abort();
    const std::string repaired = morvat::ValidUtf8(bytes);
    if (!morvat::fuzz::IsWellFormedUtf8(repaired)) std::abort();
    if (valid && repaired != bytes) std::abort();
    return 0;
}
