// The command line on archives: "list ARCHIVE", "rate --summary ARCHIVE" and
// "rate ARCHIVE/member/path". The commands themselves stay in Cli.cpp; these are the parts
// that only archives need.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "files/CardList.h"
#include "files/LoadFlows.h"
#include "model/EditorState.h"

namespace morvat::cli {

// Whether a path given to "rate --summary" or "list" is read as an archive: a regular file
// named like one (.zip .lzh .lha .cab .7z .tar).
bool IsArchiveArgument(const std::string& path);

// "list ARCHIVE": the card rows of the archive with the members' paths. Nothing when `path`
// is no archive argument; otherwise the exit status.
std::optional<int> ListArchive(const std::string& path, std::ostream& out, std::ostream& err);

// Rates one card for a summary: `shownPath` is ARCHIVE/member/path, `bytes` the card, and
// `problem` why the member could not be read (then `bytes` is empty). Writes the summary
// line to `out` and notes to `err`; returns false when the card was not rated.
using RateArchiveCard =
    std::function<bool(const std::string& shownPath, std::string_view bytes,
                       const std::string& problem, std::ostream& out, std::ostream& err)>;

// "rate --summary ARCHIVE": every card member in the order a folder's cards would come.
// Returns false when some card, or the archive itself, could not be read.
bool SummarizeArchive(const std::string& path, std::ostream& out, std::ostream& err,
                      const RateArchiveCard& rate);

// Says on `err` which archives inside a folder given to "rate --summary" were not opened.
void NoteArchivesInFolder(const SkillFolder& folder, std::ostream& err);

// "rate" on a file, or on a card inside an archive written ARCHIVE/member/path. `problem`
// gets why an archive member could not be read.
LoadOutcome LoadFileOrArchiveCard(const std::string& path, EditorState& editor,
                                  LoadPrompts& prompts, std::string& problem);

}  // namespace morvat::cli
