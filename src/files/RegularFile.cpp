// SPDX-License-Identifier: MIT
#include "files/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace morvat {
namespace {

PreadFunction g_pread = nullptr;

ssize_t Pread(int fd, void* buffer, std::size_t count, off_t offset) {
    return g_pread != nullptr ? g_pread(fd, buffer, count, offset)
                              : ::pread(fd, buffer, count, offset);
}

}  // namespace

void SetPreadForTesting(PreadFunction function) {
    g_pread = function;
}

RegularFile::RegularFile(const std::filesystem::path& path) : RegularFile(AT_FDCWD, path.c_str()) {}

RegularFile::RegularFile(int folderFd, const char* name)
    : RegularFile(OpenUnchecked(folderFd, name)) {
    Check();
}

RegularFile RegularFile::OpenUnchecked(int folderFd, const char* name) {
    RegularFile file;
    // O_NONBLOCK: opening a FIFO without a writer would otherwise wait forever. It changes
    // nothing for a regular file, so it stays set.
    file.fd_ = ::openat(folderFd, name, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    file.size_ = -1;
    return file;
}

void RegularFile::Check() {
    if (fd_ < 0 || size_ >= 0) return;
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        Close();
        return;
    }
    size_ = st.st_size;
}

RegularFile::~RegularFile() {
    Close();
}

RegularFile::RegularFile(RegularFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), size_(other.size_) {}

RegularFile& RegularFile::operator=(RegularFile&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        size_ = other.size_;
    }
    return *this;
}

void RegularFile::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

ReadAtResult RegularFile::ReadAt(std::int64_t offset, void* buffer, std::size_t count) const {
    ReadAtResult result;
    result.failed = fd_ < 0 || offset < 0;
    auto* bytes = static_cast<unsigned char*>(buffer);
    while (!result.failed && result.got < count) {
        const ReadAtResult part = ReadOnce(offset + static_cast<std::int64_t>(result.got),
                                           bytes + result.got, count - result.got);
        result.failed = part.failed;
        if (part.got == 0) break;  // the end of the file, which may have moved since it was opened
        result.got += part.got;
    }
    return result;
}

ReadAtResult RegularFile::ReadOnce(std::int64_t offset, void* buffer, std::size_t count) const {
    ReadAtResult result;
    if (fd_ < 0 || offset < 0) {
        result.failed = true;
        return result;
    }
    ssize_t n = 0;
    do {
        n = Pread(fd_, buffer, count, static_cast<off_t>(offset));
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        result.failed = true;
    } else {
        result.got = static_cast<std::size_t>(n);
    }
    return result;
}

}  // namespace morvat
