#include "files/CardList.h"

#include <algorithm>
#include <cstdint>
#include <system_error>

#include "files/FileOpen.h"
#include "files/ShiftJis.h"

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

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t extra = 0;
        unsigned char lo = 0x80;
        unsigned char hi = 0xBF;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            if (c == 0xE0) lo = 0xA0;
            if (c == 0xED) hi = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            if (c == 0xF0) lo = 0x90;
            if (c == 0xF4) hi = 0x8F;
        } else {
            return false;
        }
        if (s.size() - i - 1 < extra) return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto t = static_cast<unsigned char>(s[i + k]);
            const unsigned char min = (k == 1) ? lo : 0x80;
            const unsigned char max = (k == 1) ? hi : 0xBF;
            if (t < min || t > max) return false;
        }
        i += extra + 1;
    }
    return true;
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

std::optional<std::string> ReadCardListName(std::FILE* stream) {
    // The file tag and the first block's length are read together: skipping the tag could
    // only fail on a file too short to hold the length anyway.
    unsigned char head[5];
    if (std::fread(head, 1, sizeof head, stream) != sizeof head) return std::nullopt;
    const std::int32_t blockLength = Int32FromLittleEndian(head + 1);
    // A negative length would move backwards into the tag; no card is laid out like that.
    if (blockLength < 0) return std::nullopt;
    if (std::fseek(stream, static_cast<long>(blockLength), SEEK_CUR) != 0) return std::nullopt;

    // The name's length and at most 13 name bytes; only 4 + L of them are used.
    unsigned char field[4 + kCardListNameWidth];
    const std::size_t got = std::fread(field, 1, sizeof field, stream);
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

std::optional<std::string> ReadCardListName(const std::filesystem::path& path) {
    FilePtr file = OpenRegularFile(path);
    if (!file) return std::nullopt;
    // Unbuffered: the few bytes needed are read directly instead of filling a buffer of
    // several kilobytes at the start and again after the first block.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    return ReadCardListName(file.get());
}

std::vector<std::filesystem::path> ListSkillFiles(const std::filesystem::path& folder) {
    struct Entry {
        std::string name;
        std::filesystem::path path;
    };
    std::vector<Entry> entries;
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    // An unreadable folder, or one that vanishes while it is listed, lists what was seen.
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        std::string name = it->path().filename().native();
        if (!MatchesSkillMask(name)) continue;
        // Links are followed; folders, FIFOs, devices and broken or looping links are not
        // cards. Opening checks again, as the entry may change in between.
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        entries.push_back(Entry{std::move(name), it->path()});
    }
    // By the bytes of the name, so the list reads the same whatever order the folder gives.
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    std::vector<std::filesystem::path> files;
    files.reserve(entries.size());
    for (auto& e : entries) files.push_back(std::move(e.path));
    return files;
}

std::vector<CardListRow> BuildCardList(const std::filesystem::path& folder) {
    std::vector<CardListRow> rows;
    for (auto& path : ListSkillFiles(folder)) {
        std::optional<std::string> name = ReadCardListName(path);
        if (!name) continue;
        rows.push_back(CardListRow{std::move(*name), path.filename().native(), std::move(path)});
    }
    return rows;
}

}  // namespace morvat
