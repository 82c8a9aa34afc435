// Skill cards inside an archive: the archive's card list (as a folder's, with the member's
// path inside the archive instead of the file name), reading one card member into the
// editor, and paths that lead into an archive, written ARCHIVE/member/path. An archive's
// cards are its Skill*.wid members at any depth and the XML cards of every XML scenario in
// it (a `.wsn` file is one, packed as a zip).
#pragma once

#include <cstddef>
#include <cstdint>
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

// Where a card member stands in the archive's card list: a folder's Skill*.wid files in the
// order of their name bytes, as in a folder on disk, and an XML scenario's cards (in
// SCENARIO/SkillCard/) in the order of their Id, as in a scenario folder.
struct ArchiveCardPlace {
    std::string folder;        // the folder part of the member's path, "" at the top
    std::int32_t xmlId = 0;    // an XML card's Id; 0 for binary cards
    std::string fileName;      // the member's file name in its stored bytes
    std::string xmlScenario;   // an XML card's scenario folder ("" at the top); unused otherwise
    bool xml = false;

    bool operator<(const ArchiveCardPlace& other) const;
};

// Picks the cards of an archive read in one pass. Summary.xml may come after the cards of
// its scenario, so XML cards are taken on trial and only kept when, at the end, their
// scenario folder turned out to hold it.
class ArchiveCardPicker {
public:
    // Whether the member may be a card, so that its bytes are wanted.
    static bool Wants(const ArchiveMember& member);
    // The member's place when it is a card (on trial for XML cards). An XML member that is
    // no skill card rated on its own (another root, a linked card) is none. `xmlName` gets
    // an XML card's name (UTF-8).
    std::optional<ArchiveCardPlace> Take(const ArchiveMember& member, std::string_view bytes,
                                         std::string* xmlName = nullptr);
    // Whether a place Take gave is a card of the archive, once every member was seen.
    bool Keeps(const ArchiveCardPlace& place) const;

private:
    std::set<std::string> scenarios_;  // folders holding Summary.xml
};

struct ArchiveCardRow {
    std::string paddedName;  // the card name's Shift-JIS bytes padded to 13; spaces if unread
    std::string memberPath;  // the member's path inside the archive as shown (UTF-8)
    std::string folder;      // the folder part of memberPath, "" at the archive's top
    std::string fileName;    // the member's file name in its stored bytes
    std::size_t index = 0;   // the member's position in the archive
    std::string problem;     // why the card was not read; empty when it was
    std::string nameNote;    // what is odd about the stored name; empty when nothing is
    ArchiveCardPlace place;  // where the row stands in the list

    // The row as the card list shows it: padded name, then the member's path (or only its
    // file name when `withFolder` is false), then the problem in brackets.
    std::string displayText(bool withFolder = true) const;
};

struct ArchiveCardList {
    bool opened = false;
    std::string stopped;  // why the archive could not be read to its end; empty if it could
    std::vector<ArchiveCardRow> rows;  // in the order of their places
    std::set<std::string> folders;     // every folder inside the archive, as shown, parents too
    std::vector<std::string> nestedArchives;  // members named like archives (never opened)
};

// The cards of an archive with their names. A card whose name cannot be read is left out,
// as in a folder; a card that was not read at all (too large, encrypted, damaged) keeps a
// row that says why.
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

// The first card member at `member.member` of the archive, read into the editor. A member
// that is missing gives CannotOpen; one that cannot be read, ReadFailed, with `problem` set.
LoadOutcome ReadArchiveCard(const ArchiveMemberPath& member, EditorState& editor,
                            LoadPrompts& prompts, std::string* problem = nullptr);

// ReadSkillCard for a file on disk or a card inside an archive (ARCHIVE/member/path).
LoadOutcome ReadSkillCardAt(const std::filesystem::path& path, EditorState& editor,
                            LoadPrompts& prompts, std::string* problem = nullptr);

}  // namespace morvat
