// SPDX-License-Identifier: MIT
// Writes a skill card as the newer scenario editor stores it (a SkillCard XML document),
// from the same plan the binary card writer takes, so a test can read one card both ways.
// Written from the description of the XML format alone, not from the reader.
#pragma once

#include <string>
#include <string_view>

#include "CardWriter.h"

namespace morvat::test {

// `text` as Description and KeyCodes store it: a line feed as "\n", a backslash as "\\".
std::string EscapeXmlCardText(std::string_view text);

// `text` with &, <, > and " as XML references.
std::string XmlEscaped(std::string_view text);

// The card of `plan` as XML: its Shift-JIS texts as UTF-8, the key codes as one escaped
// list, each motion by its name. Motions that the XML has no name for are left out, and
// so are events and embedded cards, which the rating does not read.
std::string WriteXmlCard(const WidCardPlan& plan, int id = 1);

}  // namespace morvat::test
