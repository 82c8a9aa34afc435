#include "files/SaveFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <random>

namespace morvat {
namespace {

// The kernel follows at most 40 links in one name; a longer chain is a loop.
constexpr int kMaxLinks = 40;

constexpr std::string_view kReadOnlyFile = "読み取り専用のファイルです";
constexpr std::string_view kNotAFile = "通常のファイルではありません";
constexpr std::string_view kNoName = "ファイル名がありません";

struct Reason {
    int error;
    std::string_view text;
};

constexpr std::array kReasons{
    Reason{EACCES, "書き込みの許可がありません"},
    Reason{EPERM, "書き込みの許可がありません"},
    Reason{EROFS, "読み取り専用の場所です"},
    Reason{ENOSPC, "ディスクの空きが足りません"},
    Reason{EDQUOT, "ディスクの割り当てを使い切りました"},
    Reason{EFBIG, "ファイルが大きすぎます"},
    Reason{ENOENT, "フォルダがありません"},
    Reason{ENOTDIR, "途中の名前がフォルダではありません"},
    Reason{EISDIR, "同じ名前のフォルダがあります"},
    Reason{ENAMETOOLONG, "名前が長すぎます"},
    Reason{ELOOP, "シンボリックリンクが多すぎます"},
    Reason{EIO, "ディスクの読み書きに失敗しました"},
};

FileResult Refusal(FileStatus status, int error, std::string_view reason,
                   const std::filesystem::path& path) {
    return {status, error, std::string(reason) + "\n" + path.string()};
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    // Closes now, so that the caller learns whether the last data reached the disk.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

// Removes the temporary file unless it became the target.
class TemporaryName {
public:
    TemporaryName() = default;
    ~TemporaryName() {
        if (!path_.empty()) ::unlink(path_.c_str());
    }
    TemporaryName(const TemporaryName&) = delete;
    TemporaryName& operator=(const TemporaryName&) = delete;

    void set(std::filesystem::path path) { path_ = std::move(path); }
    const std::filesystem::path& path() const { return path_; }
    void release() { path_.clear(); }

private:
    std::filesystem::path path_;
};

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// A new, exclusively created file in `folder`. Its name is short, so that a target whose
// own name is near the system's limit still saves.
int CreateTemporary(const std::filesystem::path& folder, TemporaryName& name) {
    std::random_device random;
    std::uniform_int_distribution<unsigned> digit(0, 15);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string leaf = ".mvx";
        for (int i = 0; i < 8; ++i) leaf += "0123456789abcdef"[digit(random)];
        leaf += ".tmp";
        const std::filesystem::path path = folder / leaf;
        const int fd =
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0) {
            name.set(path);
            return fd;
        }
        if (errno != EEXIST) return -1;
    }
    errno = EEXIST;
    return -1;
}

// The name itself when it is no symbolic link, else the final target of its links. A
// name that does not exist is returned as it is: the save creates it.
std::filesystem::path FollowLinks(const std::filesystem::path& path, int& error) {
    std::filesystem::path current = path;
    for (int hops = 0; hops <= kMaxLinks; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0) {
            if (errno != ENOENT) error = errno;
            return current;
        }
        if (!S_ISLNK(st.st_mode)) return current;
        std::array<char, 4096> buffer{};
        const ssize_t n = ::readlink(current.c_str(), buffer.data(), buffer.size());
        if (n < 0 || static_cast<std::size_t>(n) == buffer.size()) {
            error = n < 0 ? errno : ENAMETOOLONG;
            return current;
        }
        const std::filesystem::path link(std::string(buffer.data(), static_cast<std::size_t>(n)));
        current = link.is_absolute() ? link : current.parent_path() / link;
    }
    error = ELOOP;
    return current;
}

std::filesystem::path FolderOfFile(const std::filesystem::path& file) {
    return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

}  // namespace

std::string SaveFailureReason(int error) {
    const std::string system = std::strerror(error);
    for (const Reason& r : kReasons) {
        if (r.error == error) return std::string(r.text) + " (" + system + ")";
    }
    return system;
}

FileResult SaveFailure(int error, const std::filesystem::path& path) {
    return Refusal(FileStatus::Failed, error, SaveFailureReason(error), path);
}

SaveTarget ExamineSaveTarget(const std::filesystem::path& path) {
    SaveTarget target;
    target.problem.status = FileStatus::Ok;
    struct stat st {};
    target.exists = ::lstat(path.c_str(), &st) == 0;
    if (path.filename().empty()) {
        target.problem = Refusal(FileStatus::Failed, EINVAL, kNoName, path);
        return target;
    }
    int error = 0;
    target.file = FollowLinks(path, error);
    if (error != 0) {
        target.problem = SaveFailure(error, path);
        return target;
    }
    if (::stat(target.file.c_str(), &st) != 0) return target;  // a new file
    if (S_ISDIR(st.st_mode)) {
        target.problem = SaveFailure(EISDIR, path);
    } else if (!S_ISREG(st.st_mode)) {
        target.problem = Refusal(FileStatus::Failed, EINVAL, kNotAFile, path);
    } else if ((st.st_mode & 0222) == 0) {
        // Checked on the mode itself: the super-user may write anywhere, but a file that
        // nobody may write was made read-only on purpose.
        target.problem = Refusal(FileStatus::ReadOnly, EACCES, kReadOnlyFile, path);
    } else if (::faccessat(AT_FDCWD, target.file.c_str(), W_OK, AT_EACCESS) != 0) {
        target.problem = SaveFailure(errno, path);
    }
    return target;
}

FileResult CommitFile(const std::filesystem::path& path, std::string_view bytes) {
    const SaveTarget target = ExamineSaveTarget(path);
    if (!target.problem.ok()) return target.problem;

    // The temporary file lives beside the target so that the rename stays on one file
    // system and replaces the old file in one step.
    const std::filesystem::path folder = FolderOfFile(target.file);
    TemporaryName temporary;
    const int fd = CreateTemporary(folder, temporary);
    if (fd < 0) return SaveFailure(errno, path);
    FileDescriptor file(fd);

    struct stat old {};
    if (::stat(target.file.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        if (::fchmod(file.get(), old.st_mode & 07777) != 0) return SaveFailure(errno, path);
        // Only the super-user may give a file away; for anyone else the owner is already
        // the saving user or the save was refused as not writable.
        if (::geteuid() == 0) {
            [[maybe_unused]] const int ignored = ::fchown(file.get(), old.st_uid, old.st_gid);
        }
    }

    if (!WriteAll(file.get(), bytes)) return SaveFailure(errno, path);
    if (::fsync(file.get()) != 0) return SaveFailure(errno, path);
    if (!file.close()) return SaveFailure(errno, path);
    if (::rename(temporary.path().c_str(), target.file.c_str()) != 0)
        return SaveFailure(errno, path);
    temporary.release();

    // The new name should survive a power cut too. The file itself is complete and in
    // place, so a folder that cannot be synced does not make the save a failure.
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return {FileStatus::Ok, 0, {}};
}

}  // namespace morvat
