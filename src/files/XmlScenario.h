// SPDX-License-Identifier: MIT
// XML scenarios in a folder: the folder that holds Summary.xml, whose skill cards are the
// files SkillCard/*.xml with a SkillCard root. The card list and the command line take
// their cards from here instead of the Skill*.wid files of binary scenarios.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "files/CardList.h"

namespace morvat {

// Entries of SkillCard/ looked at; a folder holding more is listed up to here and reported
// as read only in part, so a hostile scenario cannot keep the list busy without end.
inline constexpr std::size_t kXmlScenarioMaxEntries = 100000;

// True when `folder` holds a regular file named Summary.xml.
bool IsXmlScenarioFolder(const std::filesystem::path& folder);

// A card of an XML scenario with the name its head gives (UTF-8).
struct XmlScenarioCard {
    std::filesystem::path path;
    std::string name;
};

// The skill cards of the XML scenario in `folder` that are rated on their own (LinkId 0),
// sorted by their Id and then by file name. A scenario without SkillCard/ has none; one
// whose SkillCard/ cannot be read, or holds more than kXmlScenarioMaxEntries entries, gives
// what was seen and a ReadFailed problem.
std::vector<XmlScenarioCard> ReadXmlScenarioCards(const std::filesystem::path& folder,
                                                  FolderProblem* problem = nullptr);

// The same, their paths alone.
std::vector<std::filesystem::path> ListXmlScenarioCards(const std::filesystem::path& folder,
                                                        FolderProblem* problem = nullptr);

}  // namespace morvat
