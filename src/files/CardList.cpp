#include "files/CardList.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "files/RegularFile.h"
#include "files/ShiftJis.h"
#include "files/Utf8.h"
#include "files/WorkerPool.h"

namespace morvat {
namespace {

constexpr std::string_view kMaskPrefix = "skill";
constexpr std::string_view kMaskSuffix = ".wid";

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view lowerB) {
    return a.size() == lowerB.size() &&
           std::equal(a.begin(), a.end(), lowerB.begin(),
                      [](char x, char y) { return FoldAscii(x) == y; });
}

std::int32_t Int32FromLittleEndian(const unsigned char* b) {
    const std::uint32_t u = std::uint32_t{b[0]} | (std::uint32_t{b[1]} << 8) |
                            (std::uint32_t{b[2]} << 16) | (std::uint32_t{b[3]} << 24);
    return static_cast<std::int32_t>(u);
}

}  // namespace

std::string CardListRow::displayText() const {
    // File names from a Japanese Windows archive often arrive as raw code page 932 bytes;
    // a name that is not UTF-8 is taken to be one of those rather than shown as garbage.
    const std::string name = IsValidUtf8(fileName) ? fileName : ShiftJisToUtf8(fileName);
    return ShiftJisToUtf8(paddedName) + name;
}

bool MatchesSkillMask(std::string_view fileName) {
    // "Skill*.wid": the star may match nothing, but prefix and suffix may not overlap.
    if (fileName.size() < kMaskPrefix.size() + kMaskSuffix.size()) return false;
    return EqualsIgnoringAsciiCase(fileName.substr(0, kMaskPrefix.size()), kMaskPrefix) &&
           EqualsIgnoringAsciiCase(fileName.substr(fileName.size() - kMaskSuffix.size()),
                                   kMaskSuffix);
}

namespace {

// The card name as the list shows it, from a card file read through `readAt(offset, buffer,
// size)`, which returns how many bytes it got at `offset` from the start of the card (fewer
// at the end of the file, 0 when the position cannot be reached). Only the tag, the first
// block's length and the name field are read; nothing else of the card is touched.
template <typename ReadAt>
std::optional<std::string> NameFromCard(ReadAt&& readAt) {
    // The tag is skipped, not tested. Reading it together with the first block's length
    // changes nothing: the skip could only fail on a file too short to hold the length.
    unsigned char head[5];
    if (readAt(0, head, sizeof head) != sizeof head) return std::nullopt;
    const std::int32_t blockLength = Int32FromLittleEndian(head + 1);
    // A negative length would move backwards into the tag; no card is laid out like that.
    if (blockLength < 0) return std::nullopt;

    // The name's length and at most 13 name bytes; only 4 + L of them are used.
    unsigned char field[4 + kCardListNameWidth];
    const std::size_t got = readAt(std::int64_t{sizeof head} + blockLength, field, sizeof field);
    if (got < 4) return std::nullopt;
    const std::int32_t nameLength = Int32FromLittleEndian(field);
    if (nameLength < 0 || static_cast<std::size_t>(nameLength) > kCardListNameWidth) {
        return std::nullopt;
    }
    const auto length = static_cast<std::size_t>(nameLength);
    if (got - 4 < length) return std::nullopt;

    const char* name = reinterpret_cast<const char*>(field + 4);
    std::string padded(name, std::find(name, name + length, '\0'));
    padded.resize(kCardListNameWidth, ' ');
    return padded;
}

}  // namespace

std::optional<std::string> ReadCardListName(std::FILE* stream) {
    // The stream moves only forwards, by relative skips, so any stream that reads will do.
    std::int64_t position = 0;
    return NameFromCard([&](std::int64_t offset, unsigned char* buffer, std::size_t size) {
        if (offset != position) {
            if (std::fseek(stream, static_cast<long>(offset - position), SEEK_CUR) != 0)
                return std::size_t{0};
            position = offset;
        }
        const std::size_t got = std::fread(buffer, 1, size, stream);
        position += static_cast<std::int64_t>(got);
        return got;
    });
}

namespace {

// The name is read by position straight from the card file: the tag and the first block's
// length, then the name field at the offset they give. A folder of thousands of cards then
// costs two small reads a card and no stdio buffers, and the list keeps pace with merely
// opening the files. A read the system refuses gives no name.
std::optional<std::string> NameOfCardFile(const RegularFile& file) {
    if (!file.IsOpen()) return std::nullopt;
    bool failed = false;
    std::optional<std::string> name =
        NameFromCard([&](std::int64_t offset, unsigned char* buffer, std::size_t size) {
            const ReadAtResult read = file.ReadAt(offset, buffer, size);
            failed = failed || read.failed;
            return read.failed ? std::size_t{0} : read.got;
        });
    if (failed) return std::nullopt;
    return name;
}

// A folder opened for listing; every card is then opened relative to it, which spares
// looking up the folder's path again for each of thousands of cards.
class Folder {
public:
    explicit Folder(const std::filesystem::path& path)
        : fd_(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}
    ~Folder() {
        if (fd_ >= 0) ::close(fd_);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    int fd() const { return fd_; }

    // The names of the Skill*.wid entries that are regular files, sorted by their bytes so
    // the list reads the same whatever order the file system keeps. Links are followed;
    // folders, FIFOs, sockets, devices and broken or looping links are left out. Opening a
    // card checks again, as an entry may change in between.
    std::vector<std::string> SkillFileNames() const {
        std::vector<std::string> names;
        if (fd_ < 0) return names;
        // The listing gets a descriptor of its own: closedir closes it.
        const int listFd = ::openat(fd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (listFd < 0) return names;
        DIR* dir = ::fdopendir(listFd);
        if (dir == nullptr) {
            ::close(listFd);
            return names;
        }
        // An unreadable folder, or one that vanishes while it is listed, lists what was seen.
        while (const dirent* entry = ::readdir(dir)) {
            const std::string_view name = entry->d_name;
            if (!MatchesSkillMask(name) || !IsRegularFile(*entry)) continue;
            names.emplace_back(name);
        }
        ::closedir(dir);
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    bool IsRegularFile(const dirent& entry) const {
        if (entry.d_type == DT_REG) return true;
        if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return false;
        struct stat st {};
        return ::fstatat(fd_, entry.d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
    }

    int fd_;
};

}  // namespace

std::optional<std::string> ReadCardListName(const std::filesystem::path& path) {
    return NameOfCardFile(RegularFile(path));
}

std::optional<std::string> ReadCardListNameFromMemory(std::string_view bytes) {
    return NameFromCard([bytes](std::int64_t offset, unsigned char* buffer, std::size_t size) {
        if (offset < 0 || static_cast<std::uint64_t>(offset) >= bytes.size()) return std::size_t{0};
        const std::size_t got = std::min(size, bytes.size() - static_cast<std::size_t>(offset));
        std::memcpy(buffer, bytes.data() + offset, got);
        return got;
    });
}

std::vector<std::filesystem::path> ListSkillFiles(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    for (const std::string& name : Folder(folder).SkillFileNames()) files.push_back(folder / name);
    return files;
}

std::vector<CardFolderEntry> ReadCardFolder(const std::filesystem::path& folder) {
    const Folder files(folder);
    std::vector<std::string> names = files.SkillFileNames();
    std::vector<CardFolderEntry> entries;
    entries.reserve(names.size());
    // Only the names wait for their turn; each file is opened, read and closed by one worker.
    ForEachInOrder(
        names.size(), WorkerThreadCount(),
        [&](std::size_t i) { return NameOfCardFile(RegularFile(files.fd(), names[i].c_str())); },
        [&](std::size_t i, std::optional<std::string> name) {
            std::filesystem::path path = folder / names[i];
            entries.push_back(CardFolderEntry{std::move(names[i]), std::move(path), std::move(name)});
        });
    return entries;
}

std::vector<CardListRow> BuildCardList(const std::filesystem::path& folder) {
    std::vector<CardListRow> rows;
    for (CardFolderEntry& entry : ReadCardFolder(folder)) {
        if (!entry.paddedName) continue;
        rows.push_back(CardListRow{std::move(*entry.paddedName), std::move(entry.fileName),
                                   std::move(entry.path)});
    }
    return rows;
}

}  // namespace morvat
