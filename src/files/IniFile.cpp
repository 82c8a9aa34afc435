// SPDX-License-Identifier: MIT
#include "files/IniFile.h"

#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <cstdio>

#include "files/FileOpen.h"

namespace morvat {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

// The name of a "[section]" line, or nothing when the line is not one.
std::optional<std::string_view> SectionName(std::string_view line) {
    const std::string_view t = Trim(line);
    if (t.empty() || t.front() != '[') return std::nullopt;
    const std::size_t close = t.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return Trim(t.substr(1, close - 1));
}

struct KeyLine {
    std::string_view key;
    std::string_view value;  // everything after the '=', untouched
};

std::optional<KeyLine> ParseKeyLine(std::string_view line) {
    const std::string_view t = Trim(line);
    if (t.empty() || t.front() == ';' || t.front() == '#' || t.front() == '[') return std::nullopt;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return KeyLine{Trim(line.substr(0, eq)), line.substr(eq + 1)};
}

std::string DecodeValue(std::string_view raw) {
    std::string_view v = Trim(raw);
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    return std::string(v);
}

std::string EncodeValue(std::string_view value) {
    const bool padded = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()));
    const bool quoted = value.size() >= 2 && value.front() == '"' && value.back() == '"';
    if (padded || quoted) return "\"" + std::string(value) + "\"";
    return std::string(value);
}

}  // namespace

IniFile IniFile::Parse(std::string_view text) {
    IniFile file;
    if (text.starts_with(kUtf8Bom)) {
        file.bom_ = std::string(kUtf8Bom);
        text.remove_prefix(kUtf8Bom.size());
    }
    const std::size_t firstEnd = text.find('\n');
    if (firstEnd != std::string_view::npos && firstEnd > 0 && text[firstEnd - 1] == '\r') {
        file.lineEnd_ = "\r\n";
    }
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        file.lines_.emplace_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return file;
}

std::string IniFile::Text() const {
    std::string text = bom_;
    for (const std::string& line : lines_) {
        text += line;
        text += lineEnd_;
    }
    return text;
}

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
    bool inSection = false;
    for (const std::string& line : lines_) {
        if (const auto name = SectionName(line)) {
            inSection = SameIgnoringAsciiCase(*name, section);
            continue;
        }
        if (!inSection) continue;
        if (const auto kv = ParseKeyLine(line); kv && SameIgnoringAsciiCase(kv->key, key)) {
            return DecodeValue(kv->value);
        }
    }
    return std::nullopt;
}

bool IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
    // A line break inside a value would start a new line of the file and could plant keys.
    if (value.find_first_of("\r\n") != std::string_view::npos) return false;
    std::string newLine = std::string(key) + "=" + EncodeValue(value);

    bool inSection = false;
    std::optional<std::size_t> insertAt;  // after the last non-blank line of the section
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (const auto name = SectionName(lines_[i])) {
            if (inSection) break;
            inSection = SameIgnoringAsciiCase(*name, section);
            if (inSection) insertAt = i + 1;
            continue;
        }
        if (!inSection) continue;
        if (const auto kv = ParseKeyLine(lines_[i]); kv && SameIgnoringAsciiCase(kv->key, key)) {
            lines_[i] = std::move(newLine);
            return true;
        }
        if (!Trim(lines_[i]).empty()) insertAt = i + 1;
    }
    if (insertAt) {
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(*insertAt), std::move(newLine));
        return true;
    }
    lines_.push_back("[" + std::string(section) + "]");
    lines_.push_back(std::move(newLine));
    return true;
}

IniReadResult ReadIniFile(const std::filesystem::path& path) {
    IniReadResult result;
    struct stat st {};
    // A name below something that is no folder cannot exist either.
    if (::lstat(path.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR)) {
        result.status = FileStatus::Missing;
        return result;
    }
    result.status = FileStatus::Unreadable;
    errno = 0;
    const FilePtr in = OpenRegularFile(path);
    if (!in) {
        result.error = errno;
        return result;
    }
    std::string text;
    std::array<char, 65536> chunk{};
    while (true) {
        const std::size_t got = std::fread(chunk.data(), 1, chunk.size(), in.get());
        if (got > kMaxIniFileBytes - text.size()) {
            result.status = FileStatus::TooLarge;
            return result;
        }
        text.append(chunk.data(), got);
        if (got < chunk.size()) break;
    }
    if (std::ferror(in.get()) != 0) {
        result.error = errno != 0 ? errno : EIO;
        return result;
    }
    result.status = FileStatus::Ok;
    result.file = IniFile::Parse(text);
    return result;
}

FileResult WriteIniFile(const std::filesystem::path& path, const IniFile& file) {
    return CommitFile(path, file.Text());
}

}  // namespace morvat
