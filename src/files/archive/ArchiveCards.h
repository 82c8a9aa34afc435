// Skill cards inside an archive: the archive's card list (as a folder's, with the member's
// path inside the archive instead of the file name), reading one card member into the
// editor, and paths that lead into an archive, written ARCHIVE/member/path.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "files/LoadFlows.h"
#include "files/archive/Archive.h"
#include "model/EditorState.h"

namespace morvat {

struct ArchiveCardRow {
    std::string paddedName;  // the card name's Shift-JIS bytes padded to 13; spaces if unread
    std::string memberPath;  // the member's path inside the archive as shown (UTF-8)
    std::string folder;      // the folder part of memberPath, "" at the archive's top
    std::string fileName;    // the member's file name in its stored bytes
    std::size_t index = 0;   // the member's position in the archive
    std::string problem;     // why the card was not read; empty when it was
    std::string nameNote;    // what is odd about the stored name; empty when nothing is

    // The row as the card list shows it: padded name, then the member's path (or only its
    // file name when `withFolder` is false), then the problem in brackets.
    std::string displayText(bool withFolder = true) const;
};

struct ArchiveCardList {
    bool opened = false;
    std::string stopped;  // why the archive could not be read to its end; empty if it could
    std::vector<ArchiveCardRow> rows;  // sorted by folder, then by file name bytes
    std::set<std::string> folders;     // every folder inside the archive, as shown, parents too
    std::vector<std::string> nestedArchives;  // members named like archives (never opened)
};

// The Skill*.wid members of an archive with their card names. A card whose name field
// cannot be read is left out, as in a folder; a card that was not read at all (too large,
// encrypted, damaged) keeps a row that says why.
ArchiveCardList BuildArchiveCardList(const std::filesystem::path& archive);

// A path that leads into an archive: the archive file and the member path after it.
struct ArchiveMemberPath {
    std::filesystem::path archive;
    std::string member;  // '/'-separated, compared with ArchiveMember::path
};

// Splits ARCHIVE/member/path at the longest leading part that is a regular file named like
// an archive; nothing when no such part comes before the last component.
std::optional<ArchiveMemberPath> SplitArchivePath(const std::filesystem::path& path);

// The path that names a member: the archive's path, '/', the member's path.
std::filesystem::path ArchiveMemberFullPath(const std::filesystem::path& archive,
                                            std::string_view member);

// Reads a card whose bytes are in memory into the editor, as ReadSkillCard does a file.
LoadOutcome ReadSkillCardBytes(std::string_view bytes, EditorState& editor, LoadPrompts& prompts);

// The first card member at `member.member` of the archive, read into the editor. A member
// that is missing gives CannotOpen; one that cannot be read, ReadFailed, with `problem` set.
LoadOutcome ReadArchiveCard(const ArchiveMemberPath& member, EditorState& editor,
                            LoadPrompts& prompts, std::string* problem = nullptr);

// ReadSkillCard for a file on disk or a card inside an archive (ARCHIVE/member/path).
LoadOutcome ReadSkillCardAt(const std::filesystem::path& path, EditorState& editor,
                            LoadPrompts& prompts, std::string* problem = nullptr);

}  // namespace morvat
