// SPDX-License-Identifier: MIT
// The INI file that remembers the editor's folders between runs. Values are kept byte for
// byte: a folder written by hand as C:\Users\player\cards\ reads back exactly so, trailing
// backslash included. Everything the tool does not know (other sections, keys, comments,
// blank lines) is kept as it was when the file is written back.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/SaveFile.h"

namespace morvat {

// A settings file is a few lines, but people keep notes in theirs: anything up to 16 MiB is
// read. A larger file is refused rather than read into memory, and left as it is.
inline constexpr std::size_t kMaxIniFileBytes = 16 * 1024 * 1024;

class IniFile {
public:
    // Reads INI text. Lines may end in LF or CR LF; a UTF-8 byte order mark is kept.
    static IniFile Parse(std::string_view text);

    // The file's text with the changes made; line ends as the file had them.
    std::string Text() const;

    // The value of `key` in `section` (both matched ignoring ASCII case), without the
    // spaces around it and without one pair of double quotes around it; nothing when the
    // section or the key is missing. The first of repeated keys counts.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;

    // Sets `key` in `section`, adding the key or the section when missing. A value with
    // spaces at either end, or one that is itself quoted, is written in double quotes so
    // that Get gives it back unchanged. A value with a line break cannot be kept in the
    // file: it is refused (false) and the file stays as it was.
    bool Set(std::string_view section, std::string_view key, std::string_view value);

private:
    std::string bom_;
    std::string lineEnd_ = "\n";
    std::vector<std::string> lines_;  // without their line ends
};

// The status is Ok, Missing, Unreadable (`error`: the errno of the failed step, 0 for no
// regular file) or TooLarge.
struct IniReadResult : FileResult {
    IniFile file;
};

// Reads the file at `path`. Missing: there is no such name (nor its folder). Unreadable: it
// is not a regular file or cannot be read. TooLarge: it holds more than kMaxIniFileBytes.
IniReadResult ReadIniFile(const std::filesystem::path& path);

// Writes `file` to `path` all or nothing (CommitFile): on failure an existing file is
// left as it was.
FileResult WriteIniFile(const std::filesystem::path& path, const IniFile& file);

}  // namespace morvat
