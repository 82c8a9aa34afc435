// SPDX-License-Identifier: MIT
// Files named on the command line that the load flows cannot open themselves: standard
// input ("-"), pipes and process substitution (/dev/fd/63), and any file the user asks to
// read as cws whatever its name. The load flows open only regular files, and decide cws or
// card by the name, so such input is copied, up to a bound, into a private temporary file
// whose name says what to read it as.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace morvat::cli {

// The most a spooled input may hold. A card file with its pictures stays far below.
inline constexpr std::uint64_t kMaxSpooledBytes = 64u << 20;

class CommandLineInput {
public:
    // `path` as given; `asCws` reads it as a cws file whatever its name.
    CommandLineInput(const std::string& path, bool asCws);
    ~CommandLineInput();
    CommandLineInput(const CommandLineInput&) = delete;
    CommandLineInput& operator=(const CommandLineInput&) = delete;

    // The file to hand to the load flow: the given path itself, or the spooled copy.
    const std::filesystem::path& path() const { return path_; }
    // Why the input could not be read, for the user; empty when it could.
    const std::string& problem() const { return problem_; }

private:
    // Reads `fd` to its end into a private copy; false when that failed (`problem_` says why).
    bool Spool(int fd, const std::string& name);

    std::filesystem::path path_;
    std::filesystem::path folder_;  // the private temporary folder, when one was made
    std::string problem_;
    std::size_t spooledBytes_ = 0;
};

}  // namespace morvat::cli
