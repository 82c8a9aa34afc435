// Archives made by the tests themselves through libarchive's writer: zip (with or without
// the UTF-8 flag on names), 7z and tar, with members of any name and content.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace morvat::test {

struct ArchiveEntry {
    std::string name;  // stored as given (UTF-8), or converted by the writer's options
    std::string bytes;
    bool folder = false;
};

enum class ArchiveKind { ZipUtf8, ZipCp932, ZipRaw, SevenZip, Tar };

// Writes `entries` to `path`. ZipCp932 converts the UTF-8 names to code page 932 and
// leaves the UTF-8 flag off, as zip tools on Japanese Windows do; ZipRaw stores the names'
// bytes as they are, without the flag. `options` are extra
// libarchive writer options ("zip:encryption=zipcrypt" ...); `passphrase` encrypts.
void WriteArchive(const std::filesystem::path& path, ArchiveKind kind,
                  const std::vector<ArchiveEntry>& entries, const std::string& options = {},
                  const std::string& passphrase = {});

// The cards of examples/ as archive entries under their own names, optionally in `folder`.
std::vector<ArchiveEntry> ExampleCardEntries(const std::string& folder = {});

}  // namespace morvat::test
