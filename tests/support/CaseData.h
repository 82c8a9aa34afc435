// SPDX-License-Identifier: MIT
// Inputs and expected texts kept as files under tests/data, for the tests that check the
// same text in more than one place.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "TempDir.h"
#include "TestPaths.h"

namespace morvat::test {

// The folder of one command-line case: its arguments, input files and expected output.
inline std::filesystem::path CaseDir(const std::string& name) {
    return TestDataDir() / "cases" / name;
}

// The lines of a text, each without its line feed.
inline std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// The report of the worked example that the rating and the command line are checked
// against: examples/damage-single.cws, or the editor set by hand to damage by level 10,
// success +1, voice, "魔法的物理属性", avoidance +2 on use and the key code "暗殺".
inline std::vector<std::string> WorkedExampleReport() {
    return LinesOf(ReadFileBytes(CaseDir("damage-single.cws") / "expected.txt"));
}

// One enemy, "物理属性", avoidable, no modifiers, one damage entry by level of value 3: the
// bytes of a cws file, with the line ends the format has.
inline std::string SmallDamageFile() {
    return ReadFileBytes(CaseDir("small-damage-cws") / "small.cws");
}

}  // namespace morvat::test
