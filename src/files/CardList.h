// The card list of a folder: every Skill*.wid file (matched case-insensitively, sorted by
// file name) with the name of the card it holds. Shared by the loader dialog and the
// command line's "list".
#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace morvat {

inline constexpr std::size_t kCardListNameWidth = 13;

struct CardListRow {
    std::string paddedName;  // the card name's Shift-JIS bytes, padded with spaces to 13 bytes
    std::string fileName;    // the file name as the file system gives it
    std::filesystem::path path;

    // The row as shown: padded name then file name, converted to UTF-8.
    std::string displayText() const;
};

// True when `fileName` matches "Skill*.wid", ignoring case.
bool MatchesSkillMask(std::string_view fileName);

// The card name of a card file padded to 13 bytes, or nothing when the file cannot be
// opened, is not a regular file, is truncated or holds a name longer than 13 bytes.
std::optional<std::string> ReadCardListName(const std::filesystem::path& path);

// The same from a stream positioned at the start of a card file; the stream stays open.
std::optional<std::string> ReadCardListName(std::FILE* stream);

// The same from a card's bytes in memory (a card taken out of an archive, say).
std::optional<std::string> ReadCardListNameFromMemory(std::string_view bytes);

// The Skill*.wid entries of a folder that are regular files (links followed), sorted by
// the bytes of their names; nothing when the folder cannot be read. Contents are not read.
std::vector<std::filesystem::path> ListSkillFiles(const std::filesystem::path& folder);

// Every file of ListSkillFiles with its card name, when it gives one.
struct CardFolderEntry {
    std::string fileName;  // as the file system gives it
    std::filesystem::path path;
    std::optional<std::string> paddedName;  // as ReadCardListName gives it
};

// The entries of a folder in the order of ListSkillFiles, the names read on the worker
// pool (WorkerThreadCount); a folder that cannot be read gives none.
std::vector<CardFolderEntry> ReadCardFolder(const std::filesystem::path& folder);

// The rows of a folder, in the order of ListSkillFiles; files that give no name are left
// out, and a folder that cannot be read gives no rows.
std::vector<CardListRow> BuildCardList(const std::filesystem::path& folder);

}  // namespace morvat
