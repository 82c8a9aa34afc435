// SPDX-License-Identifier: MIT
// A file from outside opened for reading by position: regular files only (links followed),
// never a wait on a FIFO, one descriptor that is always closed. Card files are read
// through this so that a card costs one open, the reads it needs and one close, with no
// stdio stream and no seek, and an fstat where the reads alone cannot tell enough.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace morvat {

struct ReadAtResult {
    std::size_t got = 0;  // bytes read; fewer than asked at the end of the file
    bool failed = false;  // the system refused the read; `got` bytes came before that
};

class RegularFile {
public:
    // Opens `path`; the file is not open (IsOpen() false) when it cannot be opened or is not
    // a regular file.
    explicit RegularFile(const std::filesystem::path& path);
    // Opens `name` relative to the folder open as `folderFd` (AT_FDCWD: the current folder).
    RegularFile(int folderFd, const char* name);
    // Opened without the fstat, for reads that learn what they need from what they get:
    // size() is unknown (-1) until Check(). Should the entry be something other than a
    // regular file, a FIFO or a folder fails every read, and a device gives no more than
    // is asked for; nothing waits (O_NONBLOCK).
    static RegularFile OpenUnchecked(int folderFd, const char* name);
    ~RegularFile();
    RegularFile(RegularFile&& other) noexcept;
    RegularFile& operator=(RegularFile&& other) noexcept;
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    // The size when the file was opened. The file may grow or shrink after that; reads
    // report what they actually get.
    std::int64_t size() const { return size_; }

    // Reads up to `count` bytes at `offset`. Interrupted reads are retried; the read stops
    // at the end of the file or at the first failure.
    ReadAtResult ReadAt(std::int64_t offset, void* buffer, std::size_t count) const;
    // One read (retried only while it is interrupted before it reads anything). Fewer bytes
    // than asked mean the end of a regular file, or else only that the system gave fewer.
    ReadAtResult ReadOnce(std::int64_t offset, void* buffer, std::size_t count) const;

    // For a file opened unchecked: the fstat. A file that is not regular is closed (IsOpen()
    // false); a regular one gets its size. Does nothing for a file already checked.
    void Check();

private:
    RegularFile() = default;
    void Close();

    int fd_ = -1;
    std::int64_t size_ = 0;
};

// The call RegularFile::ReadAt makes for each read; tests put in their own to interrupt
// reads, make them fail, or change the file between the fstat and the read. Not for use
// while reads run on other threads.
using PreadFunction = ssize_t (*)(int fd, void* buffer, std::size_t count, off_t offset);
void SetPreadForTesting(PreadFunction function);  // nullptr: the system's pread

}  // namespace morvat
