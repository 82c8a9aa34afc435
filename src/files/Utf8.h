// SPDX-License-Identifier: MIT
// UTF-8 as the windows and the command line need it: file names and card names come from
// outside and may hold bytes that are no UTF-8 at all.
#pragma once

#include <string>
#include <string_view>

namespace morvat {

// True when `text` is well-formed UTF-8: no overlong forms, no surrogates, nothing above
// U+10FFFF, no character cut off at the end.
bool IsValidUtf8(std::string_view text);

// `text` with every byte that is not part of a well-formed character replaced by U+FFFD.
std::string ValidUtf8(std::string_view text);

}  // namespace morvat
