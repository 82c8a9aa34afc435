#include "files/FileOpen.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvat {

FilePtr OpenRegularFile(const std::filesystem::path& path) {
    // O_NONBLOCK: opening a FIFO without a writer would otherwise wait forever.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    std::FILE* f = ::fdopen(fd, "rb");
    if (f == nullptr) {
        ::close(fd);
        return nullptr;
    }
    return FilePtr(f);
}

}  // namespace morvat
