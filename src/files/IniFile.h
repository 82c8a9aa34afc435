// SPDX-License-Identifier: MIT
// The INI file that remembers the editor's folders between runs. Values are kept byte for
// byte: a folder written by hand as C:\Games\CW\ reads back exactly so, trailing backslash
// included. Everything the tool does not know (other sections, keys, comments, blank lines)
// is kept as it was when the file is written back.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace morvat {

// A settings file is a few lines; anything much larger is not one of ours and is refused
// rather than read into memory.
inline constexpr std::size_t kMaxIniFileBytes = 1024 * 1024;

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

struct IniReadResult {
    enum class Status { Read, Missing, Unreadable } status = Status::Missing;
    IniFile file;
};

// Reads the file at `path`. Missing: there is no such file. Unreadable: it is not a regular
// file, cannot be read or is larger than kMaxIniFileBytes.
IniReadResult ReadIniFile(const std::filesystem::path& path);

// Writes `file` to `path` all or nothing, through a temporary file beside it that is
// renamed over the target. False when the folder cannot take the file; an existing file
// is then left as it was.
bool WriteIniFile(const std::filesystem::path& path, const IniFile& file);

}  // namespace morvat
