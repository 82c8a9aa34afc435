// SPDX-License-Identifier: MIT
// JSON text for the command line's --json output. Paths and card names come from the
// file system and from card files, so they may hold bytes that are not UTF-8 and control
// characters; the output must still be valid JSON.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "calc/ReportItem.h"

namespace morvat::cli {

// `text` as a quoted JSON string: every byte that is not part of a well-formed UTF-8
// character becomes U+FFFD; quotes, backslashes and control characters are escaped.
std::string JsonString(std::string_view text);

// The items of a rating as a JSON array: [{"phase":"first","label":"...","points":1100,
// "formula":"<10>*(1+<10>*0.1)*55"}, ...]; "formula" is null for an item without one.
std::string JsonItems(const std::vector<ReportItem>& items);

}  // namespace morvat::cli
