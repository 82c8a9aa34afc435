// SPDX-License-Identifier: MIT
#include "Help.h"

namespace morvat::cli {
namespace {

constexpr std::string_view kRateHelp =
    R"(Usage: morvat-ex-cli rate [--side enemy|ally] [--cws] [--json] FILE
       morvat-ex-cli rate [--side enemy|ally] [--cws] --summary [--header] PATH...

Rates a skill card as the MORVAT_Ex editor does. A name ending in ".cws" is
read as a cws file, any other as a skill card file (Skill*.wid). FILE "-" is
standard input; pipes and process substitution work too.

Options:
  --side enemy|ally  the side a card aimed at both sides is rated for
                     (without it: the enemy side, with a note on stderr)
  --cws              read every FILE as a cws file, whatever its name
  --json             print one JSON object instead of the report lines
  --summary          one tab-separated row per file: path, card name, level
                     on the card, total, skill level, status ("ok" or the
                     failure); a folder stands for its Skill*.wid files;
                     failures also go to stderr
  --header           with --summary: print the column names first
  -h, --help         show this help

Examples:
  morvat-ex-cli rate examples/damage-single.cws
  morvat-ex-cli rate --side ally --json examples/SkillChaosWave.wid
  morvat-ex-cli rate - < examples/SkillFireBolt.wid
  cat examples/heal-single.cws | morvat-ex-cli rate --cws -
  morvat-ex-cli rate --summary --header examples

Exit status: 0 done, 2 a file cannot be opened, 3 a file cannot be read
(for --summary: some file), 64 wrong arguments, 74 the output cannot be
written.
)";

constexpr std::string_view kListHelp =
    R"(Usage: morvat-ex-cli list FOLDER

Lists the Skill*.wid files of FOLDER with their card names, as the editor's
loader dialog lists them: the card name, then the file name.

Example:
  morvat-ex-cli list examples

Exit status: 0 done, 2 FOLDER is not a folder, 64 wrong arguments, 74 the
output cannot be written.
)";

}  // namespace

std::string_view CommandHelp(std::string_view command) {
    if (command == "rate") return kRateHelp;
    if (command == "list") return kListHelp;
    return {};
}

}  // namespace morvat::cli
