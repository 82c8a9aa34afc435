// SPDX-License-Identifier: MIT
#include "files/CardList.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "files/LoadFlows.h"
#include "files/RegularFile.h"
#include "files/ShiftJis.h"
#include "files/Utf8.h"
#include "files/WorkerPool.h"
#include "files/archive/Archive.h"
#if MORVAT_WITH_ARCHIVES
#include "files/FileOpen.h"
#include "files/XmlCardReader.h"
#include "files/XmlScenario.h"
#endif

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

std::string DisplayFileName(std::string_view bytes) {
    // File names from a Japanese Windows archive often arrive as raw code page 932 bytes;
    // a name that is not UTF-8 is taken to be one of those rather than shown as garbage.
    return IsValidUtf8(bytes) ? std::string(bytes) : ShiftJisToUtf8(bytes);
}

std::string CardListRow::displayText() const {
    return ShiftJisToUtf8(paddedName) + DisplayFileName(fileName);
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

}  // namespace

SkillFolder::SkillFolder(const std::filesystem::path& path)
    : path_(path), fd_(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (fd_ < 0) {
        problem_ = {FolderProblem::Kind::CannotOpen, errno};
        return;
    }
    // The listing gets a descriptor of its own: closedir closes it.
    const int listFd = ::openat(fd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = listFd < 0 ? nullptr : ::fdopendir(listFd);
    if (dir == nullptr) {
        problem_ = {FolderProblem::Kind::CannotOpen, errno};
        if (listFd >= 0) ::close(listFd);
        return;
    }
    const auto isRegularFile = [this](const dirent& entry) {
        if (entry.d_type == DT_REG) return true;
        if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return false;
        struct stat st {};
        return ::fstatat(fd_, entry.d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
    };
    // readdir tells the end of the folder from a failure only by errno.
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (entry == nullptr) {
            if (errno != 0) problem_ = {FolderProblem::Kind::ReadFailed, errno};
            break;
        }
        const std::string_view name = entry->d_name;
        std::vector<std::string>* kept = MatchesSkillMask(name)      ? &cards_
                                         : HasArchiveExtension(name) ? &archives_
                                                                     : nullptr;
        if (kept != nullptr && isRegularFile(*entry)) kept->emplace_back(name);
    }
    ::closedir(dir);
    std::sort(cards_.begin(), cards_.end());
    std::sort(archives_.begin(), archives_.end());
}

SkillFolder::~SkillFolder() {
    if (fd_ >= 0) ::close(fd_);
}

RegularFile SkillFolder::Open(const std::string& name) const {
    return RegularFile::OpenUnchecked(fd_, name.c_str());
}

std::string XmlCardListName(std::string_view utf8Name) {
    // The list shows names as Shift-JIS padded to a column; a longer XML name is kept
    // whole rather than dropped, as XML names have no length limit of their own.
    std::string padded = Utf8ToShiftJis(utf8Name);
    if (padded.size() < kCardListNameWidth) padded.resize(kCardListNameWidth, ' ');
    return padded;
}

std::optional<std::string> ReadCardListName(const std::filesystem::path& path) {
#if MORVAT_WITH_ARCHIVES
    if (IsXmlCardFileName(path)) {
        const FilePtr file = OpenRegularFile(path);
        const std::optional<XmlCardHead> head = file ? ReadXmlCardHead(file.get()) : std::nullopt;
        if (!head) return std::nullopt;
        return XmlCardListName(head->name);
    }
#endif
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

bool ListsXmlScenarioCards(const std::filesystem::path& folder) {
#if MORVAT_WITH_ARCHIVES
    return IsXmlScenarioFolder(folder);
#else
    (void)folder;
    return false;
#endif
}

std::vector<std::filesystem::path> ListSkillFiles(const std::filesystem::path& folder,
                                                  FolderProblem* problem) {
#if MORVAT_WITH_ARCHIVES
    if (ListsXmlScenarioCards(folder)) return ListXmlScenarioCards(folder, problem);
#endif
    const SkillFolder listed(folder);
    std::vector<std::filesystem::path> files;
    files.reserve(listed.cardNames().size());
    for (const std::string& name : listed.cardNames()) files.push_back(folder / name);
    if (problem != nullptr) *problem = listed.problem();
    return files;
}

std::vector<CardFolderEntry> ReadCardFolder(const std::filesystem::path& folder,
                                            FolderProblem* problem) {
    std::vector<CardFolderEntry> entries;
#if MORVAT_WITH_ARCHIVES
    if (ListsXmlScenarioCards(folder)) {
        // The names came with the Ids the cards are sorted by: no second read.
        for (XmlScenarioCard& card : ReadXmlScenarioCards(folder, problem)) {
            // The card's path inside the scenario, as its cards are all in SkillCard/.
            std::string fileName = "SkillCard/" + card.path.filename().string();
            entries.push_back(CardFolderEntry{std::move(fileName), std::move(card.path),
                                              XmlCardListName(card.name)});
        }
        return entries;
    }
#endif
    const SkillFolder files(folder);
    const std::vector<std::string>& names = files.cardNames();
    entries.reserve(names.size());
    // Only the names wait for their turn; each file is opened, read and closed by one worker.
    ForEachInOrder(
        names.size(), WorkerThreadCount(),
        [&](std::size_t i) { return NameOfCardFile(files.Open(names[i])); },
        [&](std::size_t i, std::optional<std::string> name) {
            entries.push_back(CardFolderEntry{names[i], folder / names[i], std::move(name)});
        });
    if (problem != nullptr) *problem = files.problem();
    return entries;
}

std::vector<CardListRow> BuildCardList(const std::filesystem::path& folder,
                                       FolderProblem* problem) {
    std::vector<CardListRow> rows;
    for (CardFolderEntry& entry : ReadCardFolder(folder, problem)) {
        if (!entry.paddedName) continue;
        rows.push_back(CardListRow{std::move(*entry.paddedName), std::move(entry.fileName),
                                   std::move(entry.path)});
    }
    return rows;
}

}  // namespace morvat
