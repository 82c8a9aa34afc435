// SPDX-License-Identifier: MIT
// Runs the command line in-process with its output captured.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "Cli.h"

namespace morvat::cli {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline CliRun RunIn(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    CliRun run;
    run.status = RunCli(args, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

}  // namespace morvat::cli
