// Reading the members of a downloaded archive (zip, lzh, cab, 7z, tar) in memory, through
// libarchive. Nothing is ever extracted to disk: a member's bytes live only while the caller
// looks at them. An archive is hostile input, so every member and the whole read are
// bounded: a member over 16 MiB is not read, and the read stops after 1 GiB of unpacked
// contents or a million members, whatever the archive claims about itself.
//
// Builds without libarchive (the web edition) get the same interface, where no file is
// an archive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace morvat {

inline constexpr std::uint64_t kMaxArchiveMemberSize = std::uint64_t{16} << 20;
inline constexpr std::uint64_t kMaxArchiveUnpackedBytes = std::uint64_t{1} << 30;
inline constexpr std::size_t kMaxArchiveMembers = 1'000'000;

// Why a member was not read, or why the reading of an archive stopped. The texts are shown
// as they are in the loader dialog and on the command line.
inline constexpr std::string_view kMemberTooLarge = "16 MiB を超えるため読みません";
inline constexpr std::string_view kMemberEncrypted = "暗号化されているため読めません";
inline constexpr std::string_view kMemberDamaged = "壊れているため読めません";
inline constexpr std::string_view kArchiveNotReadable = "書庫として読めません";
inline constexpr std::string_view kArchiveDamaged = "書庫が壊れているため、ここから先は読めません";
inline constexpr std::string_view kArchiveTooBig =
    "書庫の中身が 1 GiB を超えたため、ここから先は読みません";
inline constexpr std::string_view kArchiveTooManyMembers =
    "書庫のファイルが 100 万を超えたため、ここから先は読みません";
inline constexpr std::string_view kArchivesNotSupported = "この版は書庫を読めません";
// Archives are never opened from inside a folder or an archive that is read as a whole.
inline constexpr std::string_view kArchiveInFolderNotOpened =
    "フォルダの中の書庫は開きません（書庫を直接指定してください）";
inline constexpr std::string_view kArchiveInArchiveNotOpened = "書庫の中の書庫は開きません";

// Whether this build reads archives at all.
bool ArchivesSupported();

// True when the file name ends in an archive's extension (.zip .lzh .lha .cab .7z .tar .wsn),
// ignoring case. Archives inside folders and archives are recognised by name only: they
// are never opened from there.
bool HasArchiveExtension(std::string_view fileName);

struct ArchiveMember {
    std::size_t index = 0;  // position among the archive's entries, counting from 0
    // The member's path inside the archive as shown: UTF-8, '/' between folders, no leading
    // '/' and no "." parts; control characters shown as U+FFFD.
    std::string path;
    // The last part of the stored name in its own bytes: code page 932 in most archives
    // from Windows, UTF-8 where the archive says so. Matched against "Skill*.wid".
    std::string fileName;
    bool isFile = false;           // a regular file (folders, links and devices are not)
    bool isCard = false;           // a regular file named Skill*.wid
    bool isArchive = false;        // a regular file named like an archive; never opened
    std::uint64_t statedSize = 0;  // the size the archive states, 0 when it states none
    // What is odd about the stored name (absolute, "..", control characters, bytes that
    // are no character); empty when nothing is. The member is still listed.
    std::string nameNote;
    // Why the member's bytes were not read (kMember...); empty when they were or were not
    // asked for.
    std::string problem;
};

// Decides for each member whether its bytes are wanted.
using ArchiveMemberFilter = std::function<bool(const ArchiveMember&)>;
// Gets each member in the archive's order, with its bytes when they were wanted and could
// be read (empty otherwise). The bytes are gone when the call returns. Returns false to
// stop reading.
using ArchiveMemberSink = std::function<bool(const ArchiveMember&, std::string_view bytes)>;

// The bounds of one read. Tests lower them; everything else keeps the defaults.
struct ArchiveLimits {
    std::uint64_t memberSize = kMaxArchiveMemberSize;
    std::uint64_t unpackedBytes = kMaxArchiveUnpackedBytes;
    std::size_t members = kMaxArchiveMembers;
};

struct ArchiveReadResult {
    bool opened = false;      // false: no archive (or none this build can read); nothing was given
    std::string stopped;      // why the reading ended before the archive's end; empty if it did not
    std::size_t members = 0;  // members given to the sink
};

// Reads the archive at `path` member by member. Regular files only; a FIFO or device is
// no archive. Never writes anything anywhere.
ArchiveReadResult ReadArchive(const std::filesystem::path& path, const ArchiveMemberFilter& wants,
                              const ArchiveMemberSink& sink, const ArchiveLimits& limits = {});

// Whether `path` is a regular file that this build can open as an archive. Reads only the
// start of the file.
bool IsArchiveFile(const std::filesystem::path& path);

}  // namespace morvat
