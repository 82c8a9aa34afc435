// Archives through libarchive. Every member's data is pulled through here block by block,
// also the data of members nobody asked for: libarchive's own skip can unpack a member
// of a solid 7z or cab folder, or a zip member without a stated length, in one call whose
// cost nobody can bound. Pulled here, every unpacked byte is counted against the budget.
#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "files/CardList.h"
#include "files/ShiftJis.h"
#include "files/Utf8.h"
#include "files/archive/Archive.h"

namespace morvat {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
constexpr std::size_t kReadBlock = 64 * 1024;
// libarchive asks to be called again after a recoverable problem with a header; a
// hostile archive must not keep it asking for ever.
constexpr int kMaxRetries = 16;

// libarchive converts names through the C library's current character set, which would
// make names depend on the user's locale (and fail outright in the "C" locale). Reading
// runs in UTF-8 on this thread whatever the program's locale, so names come out the same
// everywhere.
class Utf8Locale {
public:
    Utf8Locale() {
        static const locale_t utf8 = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
        if (utf8 != locale_t{}) previous_ = ::uselocale(utf8);
    }
    ~Utf8Locale() {
        if (previous_ != locale_t{}) ::uselocale(previous_);
    }
    Utf8Locale(const Utf8Locale&) = delete;
    Utf8Locale& operator=(const Utf8Locale&) = delete;

private:
    locale_t previous_{};
};

class FileDescriptor {
public:
    // Regular files only: opening a FIFO must not wait, and a device is no archive.
    explicit FileDescriptor(const std::filesystem::path& path)
        : fd_(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)) {
        struct stat st {};
        if (fd_ >= 0 && (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode))) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

struct ArchiveFree {
    void operator()(archive* a) const { archive_read_free(a); }
};
using ArchivePtr = std::unique_ptr<archive, ArchiveFree>;

// An archive opened for reading the formats players meet, or nullptr.
ArchivePtr OpenArchive(int fd) {
    if (fd < 0) return nullptr;
    ArchivePtr a(archive_read_new());
    if (!a) return nullptr;
    archive_read_support_format_zip(a.get());
    archive_read_support_format_7zip(a.get());
    archive_read_support_format_cab(a.get());
    archive_read_support_format_lha(a.get());
    archive_read_support_format_tar(a.get());
    // An lzh file does not say how its names are written, and libarchive would give up on
    // a whole archive over one name it cannot convert. Read as Latin-1 every byte survives,
    // and the bytes are taken back below.
    archive_read_set_options(a.get(), "lha:hdrcharset=ISO-8859-1");
    if (archive_read_open_fd(a.get(), fd, kReadBlock) != ARCHIVE_OK) return nullptr;
    return a;
}

// Latin-1 read as UTF-8 back to its bytes; characters above U+00FF stay as they are.
std::string Latin1Bytes(std::string_view utf8) {
    std::string bytes;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size()) {
            const auto next = static_cast<unsigned char>(utf8[i + 1]);
            bytes += static_cast<char>(((c & 0x03) << 6) | (next & 0x3F));
            ++i;
        } else {
            bytes += utf8[i];
        }
    }
    return bytes;
}

// One stored name part as shown: the way the card list shows file names (UTF-8 when it is
// UTF-8, code page 932 otherwise), with control characters made visible.
std::string ShownPart(std::string_view part, std::string& note) {
    std::string shown = IsValidUtf8(part) ? std::string(part) : ShiftJisToUtf8(part);
    if (shown.find(kReplacement) != std::string::npos &&
        std::string_view(part).find(kReplacement) == std::string_view::npos) {
        note = "名前に文字にならないバイトがあります";
    }
    std::string clean;
    for (const char c : shown) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            clean += kReplacement;
            note = "名前に制御文字があります";
        } else {
            clean += c;
        }
    }
    return clean;
}

void DescribeName(std::string_view stored, ArchiveMember& member) {
    if (stored.empty()) {
        member.nameNote = "名前を読めません";
        member.path = std::string(kReplacement);
        return;
    }
    if (stored.front() == '/') member.nameNote = "絶対パスの名前です";
    std::string note;
    std::string_view rest = stored;
    std::string_view last;
    while (!rest.empty()) {
        const std::size_t slash = rest.find('/');
        const std::string_view part = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view{} : rest.substr(slash + 1);
        if (part.empty() || part == ".") continue;
        if (part == "..") member.nameNote = "名前に .. があります";
        if (!member.path.empty()) member.path += '/';
        member.path += ShownPart(part, note);
        last = part;
    }
    if (member.nameNote.empty()) member.nameNote = note;
    member.fileName = std::string(last);
    if (member.path.empty()) member.path = std::string(kReplacement);
}

struct MemberData {
    std::string bytes;
    bool keep = false;
    bool damaged = false;
    bool fatal = false;
};

class ArchiveWalk {
public:
    ArchiveWalk(archive* a, const ArchiveMemberFilter& wants, const ArchiveMemberSink& sink,
                const ArchiveLimits& limits)
        : a_(a), wants_(wants), sink_(sink), limits_(limits) {}

    void Run(ArchiveReadResult& result) {
        int retries = 0;
        for (std::size_t index = 0;; ++index) {
            if (index >= limits_.members) {
                result.stopped = kArchiveTooManyMembers;
                return;
            }
            archive_entry* entry = nullptr;
            const int r = archive_read_next_header(a_, &entry);
            if (r == ARCHIVE_EOF) return;
            if (r == ARCHIVE_RETRY && ++retries <= kMaxRetries) {
                --index;
                continue;
            }
            if (r < ARCHIVE_WARN) {
                result.stopped = kArchiveDamaged;
                return;
            }
            retries = 0;
            if (!Member(index, entry, result)) return;
        }
    }

private:
    // Gives one member to the sink; false when the archive cannot be read any further.
    bool Member(std::size_t index, archive_entry* entry, ArchiveReadResult& result) {
        ArchiveMember member;
        member.index = index;
        const char* name = archive_entry_pathname(entry);
        std::string stored = name != nullptr ? name : "";
        if ((archive_format(a_) & ARCHIVE_FORMAT_BASE_MASK) == ARCHIVE_FORMAT_LHA) {
            stored = Latin1Bytes(stored);
        }
        DescribeName(stored, member);
        const auto type = archive_entry_filetype(entry);
        member.isFile = type == AE_IFREG || (type == 0 && !stored.ends_with('/'));
        member.isCard = member.isFile && MatchesSkillMask(member.fileName);
        member.isArchive = member.isFile && HasArchiveExtension(member.fileName);
        if (archive_entry_size_is_set(entry) && archive_entry_size(entry) > 0) {
            member.statedSize = static_cast<std::uint64_t>(archive_entry_size(entry));
        }

        const bool wanted = member.isFile && wants_ && wants_(member);
        const bool encrypted = archive_entry_is_encrypted(entry) != 0;
        if (wanted && encrypted) member.problem = kMemberEncrypted;
        if (wanted && member.problem.empty() && member.statedSize > limits_.memberSize) {
            member.problem = kMemberTooLarge;
        }

        MemberData data;
        data.keep = wanted && member.problem.empty();
        // Encrypted data cannot be unpacked without a password; libarchive passes it
        // packed, which costs no unpacking.
        bool overBudget = false;
        if (member.isFile && !encrypted) overBudget = !Pull(data, member);
        if (wanted && member.problem.empty() && data.damaged) member.problem = kMemberDamaged;
        if (!data.keep || !member.problem.empty()) data.bytes.clear();

        ++result.members;
        if (sink_ && !sink_(member, data.bytes)) return false;
        if (overBudget) {
            result.stopped = kArchiveTooBig;
            return false;
        }
        if (data.fatal) {
            result.stopped = kArchiveDamaged;
            return false;
        }
        return true;
    }

    // Unpacks the member's data, keeping it when wanted; false when the budget ran out.
    bool Pull(MemberData& data, ArchiveMember& member) {
        for (;;) {
            const void* block = nullptr;
            std::size_t size = 0;
            la_int64_t offset = 0;
            const int r = archive_read_data_block(a_, &block, &size, &offset);
            if (r == ARCHIVE_EOF) return true;
            // A warning here is a check sum or a length that did not match: the bytes are
            // not the member's.
            if (r != ARCHIVE_OK) {
                data.damaged = true;
                data.fatal = r == ARCHIVE_FATAL;
                return true;
            }
            if (size > limits_.unpackedBytes - unpacked_) return false;
            unpacked_ += size;
            if (!data.keep) continue;
            const auto start = static_cast<std::uint64_t>(offset < 0 ? 0 : offset);
            if (start > limits_.memberSize || size > limits_.memberSize - start) {
                member.problem = kMemberTooLarge;
                data.keep = false;
                data.bytes = std::string();
                continue;
            }
            // Blocks come in order; a gap is a hole of zeros (sparse tar members).
            if (start < data.bytes.size()) {
                data.damaged = true;
                data.keep = false;
                continue;
            }
            data.bytes.resize(static_cast<std::size_t>(start));
            data.bytes.append(static_cast<const char*>(block), size);
        }
    }

    archive* a_;
    const ArchiveMemberFilter& wants_;
    const ArchiveMemberSink& sink_;
    const ArchiveLimits& limits_;
    std::uint64_t unpacked_ = 0;
};

}  // namespace

bool ArchivesSupported() {
    return true;
}

ArchiveReadResult ReadArchive(const std::filesystem::path& path, const ArchiveMemberFilter& wants,
                              const ArchiveMemberSink& sink, const ArchiveLimits& limits) {
    ArchiveReadResult result;
    const Utf8Locale utf8;
    const FileDescriptor fd(path);
    const ArchivePtr a = OpenArchive(fd.get());
    if (!a) return result;
    result.opened = true;
    ArchiveWalk(a.get(), wants, sink, limits).Run(result);
    return result;
}

bool IsArchiveFile(const std::filesystem::path& path) {
    const Utf8Locale utf8;
    const FileDescriptor fd(path);
    return OpenArchive(fd.get()) != nullptr;
}

}  // namespace morvat
