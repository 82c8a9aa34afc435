#include <iostream>
#include <string>
#include <vector>

#include "Cli.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const int status = morvat::cli::RunCli(args, std::cout, std::cerr);
    std::cout.flush();
    // A report that could not be written (a full disk, a closed pipe) is not a success.
    if (!std::cout) return status == 0 ? 1 : status;
    return status;
}
