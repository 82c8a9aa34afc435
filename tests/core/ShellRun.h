// SPDX-License-Identifier: MIT
// Runs a shell command line as a user would, with its standard output and error captured.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "CliRunner.h"
#include "TempDir.h"

namespace morvat::cli {

// `s` as one word for the shell.
inline std::string ShellQuoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Runs `command` with sh, its stdout and stderr going to files that are read back.
inline CliRun RunCaptured(const std::string& command) {
    test::TempDir dir;
    const std::string redirected = command + " >" + ShellQuoted((dir.path() / "out").string()) +
                                   " 2>" + ShellQuoted((dir.path() / "err").string());
    const int raw = std::system(redirected.c_str());
    CliRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = test::ReadFileBytes(dir.path() / "out");
    run.err = test::ReadFileBytes(dir.path() / "err");
    return run;
}

}  // namespace morvat::cli
