// SPDX-License-Identifier: MIT
// The card list of a folder: every Skill*.wid file (matched case-insensitively, sorted by
// file name) with the name of the card it holds; for an XML scenario folder (one holding
// Summary.xml) its SkillCard/*.xml cards in Id order instead. Shared by the loader dialog and the
// command line's "list".
#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/RegularFile.h"

namespace morvat {

inline constexpr std::size_t kCardListNameWidth = 13;

struct CardListRow {
    std::string paddedName;  // the card name's Shift-JIS bytes, padded with spaces to 13 bytes
    std::string fileName;    // the file name as the file system gives it
    std::filesystem::path path;

    // The row as shown: padded name then file name, converted to UTF-8.
    std::string displayText() const;
};

// A file name's bytes as shown (UTF-8): as they are when they are UTF-8, else read as code
// page 932, as names copied from Japanese Windows come.
std::string DisplayFileName(std::string_view bytes);

// True when `fileName` matches "Skill*.wid", ignoring case.
bool MatchesSkillMask(std::string_view fileName);

// The card name of a card file padded to 13 bytes, or nothing when the file cannot be
// opened, is not a regular file, is truncated or holds a name longer than 13 bytes.
std::optional<std::string> ReadCardListName(const std::filesystem::path& path);

// The same from a stream positioned at the start of a card file; the stream stays open.
std::optional<std::string> ReadCardListName(std::FILE* stream);

// An XML card's name (UTF-8) as the list shows names: Shift-JIS padded to 13 bytes, or
// longer when the name is.
std::string XmlCardListName(std::string_view utf8Name);

// Why a folder gave no list, or only part of one. An empty folder and a folder that cannot
// be read both give no rows; the callers must be able to tell the user which it was.
struct FolderProblem {
    enum class Kind {
        None,
        CannotOpen,  // the folder itself cannot be opened (missing, no permission, no folder)
        ReadFailed,  // it opened, but reading its entries failed part way
    };
    Kind kind = Kind::None;
    int error = 0;  // the errno behind it

    explicit operator bool() const { return kind != Kind::None; }
};

// The same from a card's bytes in memory (a card taken out of an archive, say).
std::optional<std::string> ReadCardListNameFromMemory(std::string_view bytes);

// A folder of cards opened once: its Skill*.wid entries that are regular files (links
// followed) and, found on the same pass, the archives beside them, both sorted by the bytes
// of their names so they read the same whatever order the file system keeps. Each card is
// then opened relative to the folder, which spares looking up the folder's path again for
// each of thousands of cards. Folders, FIFOs, sockets, devices and broken or looping links
// are left out; opening a card checks again, as an entry may change in between. A folder
// that fails part way lists what was seen, and problem() says so.
class SkillFolder {
public:
    explicit SkillFolder(const std::filesystem::path& path);
    ~SkillFolder();
    SkillFolder(const SkillFolder&) = delete;
    SkillFolder& operator=(const SkillFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    const std::vector<std::string>& cardNames() const { return cards_; }
    // Files whose names end in an archive's extension (HasArchiveExtension).
    const std::vector<std::string>& archiveNames() const { return archives_; }
    const FolderProblem& problem() const { return problem_; }

    // Opens the entry `name` of the folder for reading, unchecked (RegularFile::OpenUnchecked):
    // the list reads a name from it, a rating reads the card with ReadWidCardUnchecked, and
    // both find out from their reads when the entry is no longer a regular file. Safe on
    // several threads at once.
    RegularFile Open(const std::string& name) const;

private:
    std::filesystem::path path_;
    int fd_ = -1;
    std::vector<std::string> cards_;
    std::vector<std::string> archives_;
    FolderProblem problem_;
};

// The Skill*.wid entries of a folder that are regular files (links followed), sorted by
// the bytes of their names; nothing when the folder cannot be opened, what was seen when
// reading it fails. `problem`, when given, says which. Contents are not read.
std::vector<std::filesystem::path> ListSkillFiles(const std::filesystem::path& folder,
                                                  FolderProblem* problem = nullptr);

// True when ListSkillFiles takes `folder` as an XML scenario folder, one holding
// Summary.xml (never in a build without the XML reader).
bool ListsXmlScenarioCards(const std::filesystem::path& folder);

// Every file of ListSkillFiles with its card name, when it gives one.
struct CardFolderEntry {
    // As the list shows it: the name the file system gives, or SkillCard/NAME for a card
    // of an XML scenario folder.
    std::string fileName;
    std::filesystem::path path;
    std::optional<std::string> paddedName;  // as ReadCardListName gives it
};

// The entries of a folder in the order of ListSkillFiles, the names read on the worker
// pool (WorkerThreadCount). A folder that cannot be read gives none, and the reason in
// `problem`; one that fails part way gives what was seen.
std::vector<CardFolderEntry> ReadCardFolder(const std::filesystem::path& folder,
                                            FolderProblem* problem = nullptr);

// The rows of a folder, in the order of ListSkillFiles; files that give no name are left
// out. A folder that cannot be read gives no rows and the reason in `problem`.
std::vector<CardListRow> BuildCardList(const std::filesystem::path& folder,
                                       FolderProblem* problem = nullptr);

}  // namespace morvat
