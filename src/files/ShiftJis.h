// SPDX-License-Identifier: MIT
// Card names and file names of the game are Shift-JIS (code page 932) bytes. They are
// compared as bytes and converted only for display.
#pragma once

#include <string>
#include <string_view>

namespace morvat {

// Converts code page 932 bytes to UTF-8; each byte that is not part of a valid character
// becomes U+FFFD. Never fails.
std::string ShiftJisToUtf8(std::string_view bytes);

// Converts UTF-8 to code page 932; characters without a code page 932 form become "?".
std::string Utf8ToShiftJis(std::string_view text);

}  // namespace morvat
