// SPDX-License-Identifier: MIT
// The help of each command of morvat-ex-cli, for "help COMMAND" and "COMMAND --help".
#pragma once

#include <string_view>

namespace morvat::cli {

// The help text of `command`; empty when the command has no page of its own.
std::string_view CommandHelp(std::string_view command);

}  // namespace morvat::cli
