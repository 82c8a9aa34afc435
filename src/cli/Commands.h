// SPDX-License-Identifier: MIT
// What the commands of morvat-ex-cli share: loading a file as the editor's "ロード" does,
// the --side option, and the shape of messages and usage errors. Each command beyond
// "rate" and "list" lives in a file of its own and is reached through RunCli.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "Cli.h"
#include "model/EditorState.h"

namespace morvat::cli {

enum class Side { Unset, Enemy, Ally };

// Messages about one file: "morvat-ex-cli: PATH: message".
void Complain(std::ostream& err, const std::string& path, std::string_view message);

// A usage error with the hint to --help; returns kExitUsage.
int Usage(std::ostream& err, std::string_view problem);

// Walks a command's arguments after its name: operands (anything not starting with '-',
// "-" for standard input, and everything after "--") go to `operands`; each option goes to
// `option` with its index, which it may move past a value it takes. `option` returns the
// usage problem, if any, also for an option it does not know (UnknownOption).
using OptionHandler =
    std::function<std::optional<std::string>(const std::vector<std::string>& args, std::size_t& i)>;
std::optional<std::string> WalkArguments(const std::vector<std::string>& args,
                                         std::vector<std::string>& operands,
                                         const OptionHandler& option);
std::string UnknownOption(const std::string& arg);

// Takes "--side VALUE" (args[i] and args[i + 1]) or "--side=VALUE" at args[i], moving `i`
// past what it took. Returns the usage problem, if any.
std::optional<std::string> TakeSide(const std::vector<std::string>& args, std::size_t& i,
                                    Side& side);

// A field of a tab-separated line: control characters are written escaped ("\n", "\t",
// "\\", "\xHH"), so that a path or card name cannot break the line into more fields or
// lines and can still be told apart from one with spaces.
std::string Field(std::string_view text);

struct Rated {
    int status = kExitOk;
    std::string failure;  // the message for the user when status is not kExitOk
    EditorState editor;
};

// The editor's "ロード": a name ending in ".cws" is read as a cws file, any other file as
// a skill card; a card aimed at both sides is put on `side`. `asCws` reads any file as
// cws; "-", pipes and other files that are not regular are read through CommandLineInput.
Rated LoadForRating(const std::string& path, Side side, std::ostream& err, bool asCws = false);

// "compare A B": the totals, levels and differing items of two files.
int Compare(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace morvat::cli
