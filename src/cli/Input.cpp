// SPDX-License-Identifier: MIT
#include "Input.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <system_error>
#include <vector>

#include "files/CwsFile.h"
#include "files/LoadFlows.h"

namespace morvat::cli {
namespace {

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

std::filesystem::path MakePrivateFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = (tmp != nullptr && *tmp != '\0') ? tmp : "/tmp";
    pattern += "/morvat-ex-cli.XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) == nullptr) return {};
    return std::filesystem::path(buffer.data());
}

}  // namespace

CommandLineInput::CommandLineInput(const std::string& path, bool asCws) : path_(path) {
    const bool fromStdin = path == "-";
    // Folders, missing files and regular files the flow reads as they are keep their own
    // answers from the load flow.
    if (!fromStdin) {
        if (!Exists(path)) return;
        std::error_code ignored;
        if (std::filesystem::is_directory(path, ignored)) return;
        if (IsRegularFile(path) && (!asCws || IsCwsFileName(path))) return;
    }
    // A cws file gives the editor its name as the card name; standard input has none.
    const std::string stem = fromStdin ? "-" : CardNameFromPath(path);
    const std::string name = asCws ? stem + ".cws" : "input";
    if (fromStdin) {
        Spool(STDIN_FILENO, name);
        return;
    }
    // Not waiting for a writer: a named pipe nobody writes to must not hang the command. A
    // pipe with a writer (process substitution) is read to its end all the same.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        problem_ = std::strerror(errno);
        return;
    }
    const bool read = Spool(fd, name);
    ::close(fd);
    if (read && spooledBytes_ == 0 && problem_.empty()) {
        // Nothing came: a pipe without a writer, or one that closed at once.
        problem_ = "nothing to read";
    }
}

CommandLineInput::~CommandLineInput() {
    if (folder_.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

bool CommandLineInput::Spool(int fd, const std::string& name) {
    // Read whole before anything is written: a pipe cannot be read twice, and an input
    // that never ends must stop at the bound rather than fill the disk.
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                // A writer is there but has sent nothing yet: wait for it.
                pollfd ready{fd, POLLIN, 0};
                if (::poll(&ready, 1, -1) >= 0 || errno == EINTR) continue;
            }
            problem_ = std::strerror(errno);
            return false;
        }
        if (got == 0) break;
        if (bytes.size() + static_cast<std::size_t>(got) > kMaxSpooledBytes) {
            problem_ = "larger than " + std::to_string(kMaxSpooledBytes >> 20) + " MiB";
            return false;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    folder_ = MakePrivateFolder();
    if (folder_.empty()) {
        problem_ = std::string("no temporary folder: ") + std::strerror(errno);
        return false;
    }
    spooledBytes_ = bytes.size();
    path_ = folder_ / name;
    std::ofstream out(path_, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) problem_ = "cannot keep a temporary copy";
    return true;
}

}  // namespace morvat::cli
