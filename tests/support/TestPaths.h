// SPDX-License-Identifier: MIT
// Where the tests find the source tree's example files and the built command line.
#pragma once

#include <filesystem>

namespace morvat::test {

inline std::filesystem::path SourceDir() { return MORVAT_SOURCE_DIR; }
inline std::filesystem::path ExamplesDir() { return SourceDir() / "examples"; }
inline std::filesystem::path TestDataDir() { return SourceDir() / "tests" / "data"; }
inline std::filesystem::path CliPath() { return MORVAT_CLI_PATH; }

}  // namespace morvat::test
