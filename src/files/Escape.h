// Names from outside written into one line of text, for the command line's rows: a file
// or card name holding a line break or a tab must not split a row or add a field.
#pragma once

#include <string>
#include <string_view>

namespace morvat {

// `text` with its control bytes written visibly, as `ls` and `git` quote names: "\n",
// "\t" and "\r" for those three, "\\" for a backslash (so that the writing can be undone
// byte for byte) and "\xHH" (two upper-case hex digits) for the other bytes below 0x20
// and for 0x7F. Every other byte, UTF-8 or not, passes unchanged; no Shift-JIS trail byte
// is a control byte, so names in either encoding keep their characters.
std::string EscapeControlCharacters(std::string_view text);

}  // namespace morvat
