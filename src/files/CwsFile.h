// SPDX-License-Identifier: MIT
// The cws file: the tool's own small text format. It keeps the skill record, not the
// effect list: flags, sums, counts and durations as decimal digits, one field group a line.
#pragma once

#include <filesystem>
#include <istream>
#include <string>
#include <string_view>

#include "files/FileResult.h"
#include "files/SaveFile.h"
#include "model/EditorState.h"
#include "model/SkillRecord.h"

namespace morvat {

// The whole file for `record`: 5 header lines, then the enemy block (31 lines) or, for a
// skill aimed at allies, the ally block (23 lines); every line ends with CR LF.
std::string FormatCwsFile(const SkillRecord& record);

// Writes FormatCwsFile(record) to `path` all or nothing (CommitFile): on failure an
// existing file is left as it was.
FileResult WriteCwsFile(const std::filesystem::path& path, const SkillRecord& record);

// Rebuilds `editor` from a cws file read from `in`. NotWhole when the file is not a whole
// skill: its second line has fewer than 3 digits, or it ends before the last line of its
// block (line 35 of an enemy skill, line 28 of an ally skill; a line with any byte, even
// without its line end, is there). Unreadable when the stream's buffer reports a failed
// read by throwing std::system_error. In both cases `editor` holds a partial skill that
// the caller must not use. When Ok the card name becomes `cardName` and the level "-".
FileResult LoadCwsFile(std::istream& in, EditorState& editor, std::string_view cardName);

// The file's name without folder and without extension, as the editor shows it.
std::string CardNameFromPath(const std::filesystem::path& path);

}  // namespace morvat
