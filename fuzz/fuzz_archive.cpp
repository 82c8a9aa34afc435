// The archive card source on any bytes: whatever the archive holds, reading it ends, every
// shown path and row is well-formed UTF-8 without control characters, and no member is
// handed over larger than the limit. The input is given as a file in memory (memfd), so
// nothing is written to disk.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "Utf8Check.h"
#include "files/archive/Archive.h"
#include "files/archive/ArchiveCards.h"

namespace {

bool Shown(const std::string& text) {
    if (!morvat::fuzz::IsWellFormedUtf8(text)) return false;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int fd = ::memfd_create("archive", MFD_CLOEXEC);
    if (fd < 0) return 0;
    if (::write(fd, data, size) != static_cast<ssize_t>(size)) {
        ::close(fd);
        return 0;
    }
    const std::string path = "/proc/self/fd/" + std::to_string(fd);

    morvat::ArchiveLimits limits;
    limits.memberSize = 1 << 20;         // smaller bounds keep each run quick; the logic is
    limits.unpackedBytes = 64ull << 20;  // the same as with the real ones
    morvat::ReadArchive(
        path, [](const morvat::ArchiveMember& m) { return m.isCard; },
        [&](const morvat::ArchiveMember& m, std::string_view bytes) {
            if (!Shown(m.path) || bytes.size() > limits.memberSize) std::abort();
            if (!bytes.empty() && !m.problem.empty()) std::abort();
            return true;
        },
        limits);
    for (const morvat::ArchiveCardRow& row : morvat::BuildArchiveCardList(path).rows) {
        if (!morvat::fuzz::IsWellFormedUtf8(row.displayText()) || !Shown(row.memberPath))
            std::abort();
    }
    ::close(fd);
    return 0;
}
