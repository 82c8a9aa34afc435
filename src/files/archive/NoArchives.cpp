// Builds without libarchive (the web edition): no file is an archive.
#include "files/archive/Archive.h"

namespace morvat {

bool ArchivesSupported() {
    return false;
}

ArchiveReadResult ReadArchive(const std::filesystem::path&, const ArchiveMemberFilter&,
                              const ArchiveMemberSink&, const ArchiveLimits&) {
    return {};
}

bool IsArchiveFile(const std::filesystem::path&) {
    return false;
}

}  // namespace morvat
