// SPDX-License-Identifier: MIT
// morvat-ex-cli: rates skill files without the desktop editor, on the same core. The
// commands live here rather than in main() so that tests run them in-process with their
// output captured.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace morvat::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitCannotOpen = 2;  // "ファイルが開けません"
inline constexpr int kExitReadFailed = 3;  // "読み込みに失敗しました", or some file of a summary
inline constexpr int kExitUsage = 64;  // unknown option, missing argument
inline constexpr int kExitOutputFailed = 74;  // standard output could not be written

// The "version" of the --json object.
inline constexpr int kJsonVersion = 1;

// Runs one command. `args` are the arguments after the program name. The report goes to
// `out` (UTF-8), messages to `err`. Returns the exit status.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace morvat::cli
