// Saving all or nothing: what a save replaces, what it refuses before writing a byte, and
// what the user is told when the system says no.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "TempDir.h"
#include "files/SaveFile.h"

namespace morvat {
namespace {

using test::ReadFileBytes;
using test::TempDir;

std::size_t Entries(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                  std::filesystem::directory_iterator()));
}

mode_t Mode(const std::filesystem::path& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

TEST(SaveFileTest, NameNearTheSystemsLimitStillSaves) {
    TempDir dir;
    const auto path = dir.path() / (std::string(236, 'n') + ".cws");
    ASSERT_EQ(path.filename().string().size(), 240u);
    const FileResult saved = CommitFile(path, "new");
    ASSERT_TRUE(saved.ok()) << saved.detail;
    ASSERT_TRUE(CommitFile(path, "newer").ok());
    EXPECT_EQ(ReadFileBytes(path), "newer");
    EXPECT_EQ(Entries(dir.path()), 1u);
}

TEST(SaveFileTest, ReplacedFileKeepsItsPermissions) {
    TempDir dir;
    const auto path = dir.write("kept.cws", "old");
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(CommitFile(path, "new").ok());
    EXPECT_EQ(Mode(path), 0640u);
    EXPECT_EQ(ReadFileBytes(path), "new");

    // A new file gets the usual permissions, not the temporary file's private ones.
    const mode_t mask = ::umask(022);
    ASSERT_TRUE(CommitFile(dir.path() / "fresh.cws", "x").ok());
    ::umask(mask);
    EXPECT_EQ(Mode(dir.path() / "fresh.cws"), 0644u);
}

TEST(SaveFileTest, SaveThroughALinkWritesItsTargetAndKeepsTheLink) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "real");
    const auto target = dir.write("real/skill.cws", "old");
    const auto link = dir.path() / "link.cws";
    std::filesystem::create_symlink("real/skill.cws", link);  // relative to the link
    const auto chain = dir.path() / "chain.cws";
    std::filesystem::create_symlink(link, chain);

    ASSERT_TRUE(CommitFile(chain, "new").ok());
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_TRUE(std::filesystem::is_symlink(chain));
    EXPECT_EQ(ReadFileBytes(target), "new");
    EXPECT_EQ(Entries(dir.path() / "real"), 1u);

    // A link to a file not yet there creates that file.
    const auto dangling = dir.path() / "dangling.cws";
    std::filesystem::create_symlink("real/later.cws", dangling);
    ASSERT_TRUE(CommitFile(dangling, "made").ok());
    EXPECT_TRUE(std::filesystem::is_symlink(dangling));
    EXPECT_EQ(ReadFileBytes(dir.path() / "real" / "later.cws"), "made");

    // Links in a circle lead nowhere.
    std::filesystem::create_symlink("loop-b", dir.path() / "loop-a");
    std::filesystem::create_symlink("loop-a", dir.path() / "loop-b");
    const FileResult loop = CommitFile(dir.path() / "loop-a", "x");
    EXPECT_EQ(loop.error, ELOOP);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "loop-a"));
}

TEST(SaveFileTest, ReadOnlyFileIsRefusedBeforeAnythingIsWritten) {
    TempDir dir;
    const auto path = dir.write("locked.cws", "old");
    ::chmod(path.c_str(), 0444);
    const FileResult saved = CommitFile(path, "new");
    EXPECT_EQ(saved.status, FileStatus::ReadOnly);
    EXPECT_EQ(saved.detail, "読み取り専用のファイルです\n" + path.string());
    EXPECT_EQ(ReadFileBytes(path), "old");
    EXPECT_EQ(Mode(path), 0444u);
    EXPECT_EQ(Entries(dir.path()), 1u);
}

TEST(SaveFileTest, ExamineSeesEveryNameThatExists) {
    TempDir dir;
    const SaveTarget fresh = ExamineSaveTarget(dir.path() / "new.cws");
    EXPECT_FALSE(fresh.exists);
    EXPECT_TRUE(fresh.problem.ok());

    // Not readable by anyone, or a link to nothing: still a name the save would replace.
    const auto hidden = dir.write("hidden.cws", "x");
    ::chmod(hidden.c_str(), 0200);
    EXPECT_TRUE(ExamineSaveTarget(hidden).exists);
    EXPECT_TRUE(ExamineSaveTarget(hidden).problem.ok());
    std::filesystem::create_symlink("nowhere.cws", dir.path() / "dangling.cws");
    const SaveTarget dangling = ExamineSaveTarget(dir.path() / "dangling.cws");
    EXPECT_TRUE(dangling.exists);
    EXPECT_TRUE(dangling.problem.ok());
    EXPECT_EQ(dangling.file, dir.path() / "nowhere.cws");

    // What no save can replace is refused with its reason.
    std::filesystem::create_directory(dir.path() / "folder.cws");
    const SaveTarget folder = ExamineSaveTarget(dir.path() / "folder.cws");
    EXPECT_TRUE(folder.exists);
    EXPECT_EQ(folder.problem.error, EISDIR);
    ASSERT_EQ(::mkfifo((dir.path() / "pipe.cws").c_str(), 0600), 0);
    EXPECT_EQ(ExamineSaveTarget(dir.path() / "pipe.cws").problem.detail,
              "通常のファイルではありません\n" + (dir.path() / "pipe.cws").string());
    EXPECT_FALSE(ExamineSaveTarget(dir.path() / "folder.cws/").problem.ok());
}

TEST(SaveFileTest, FailuresSayWhyInTheUsersWords) {
    EXPECT_EQ(SaveFailureReason(ENOSPC).find("ディスクの空きが足りません ("), 0u);
    EXPECT_EQ(SaveFailureReason(EACCES).find("書き込みの許可がありません ("), 0u);
    EXPECT_EQ(SaveFailureReason(EROFS).find("読み取り専用の場所です ("), 0u);
    EXPECT_EQ(SaveFailureReason(EXDEV), std::strerror(EXDEV));

    TempDir dir;
    const FileResult missing = CommitFile(dir.path() / "gone" / "a.cws", "x");
    EXPECT_EQ(missing.error, ENOENT);
    EXPECT_EQ(missing.detail,
              SaveFailureReason(ENOENT) + "\n" + (dir.path() / "gone" / "a.cws").string());
}

// A folder the user may not write to. Root may write anywhere, so as root the save runs in
// a child process that has given up its privileges; it reports the errno it got.
TEST(SaveFileTest, ReadOnlyFolderIsReportedAndLeftClean) {
    TempDir dir;
    const auto folder = dir.path() / "skills";
    std::filesystem::create_directory(folder);
    const auto path = dir.write("skills/old.cws", "old");
    ::chmod(path.c_str(), 0666);
    ::chmod(dir.path().c_str(), 0755);
    ::chmod(folder.c_str(), 0555);
    const auto save = [&path] {
        const FileResult r = CommitFile(path, "new");
        return r.ok() ? 0 : r.error;
    };
    int error = 0;
    if (::geteuid() != 0) {
        error = save();
    } else {
        const pid_t child = ::fork();
        if (child == 0) ::_exit(::setgid(65534) == 0 && ::setuid(65534) == 0 ? save() : 255);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        error = WEXITSTATUS(status);
    }
    EXPECT_EQ(error, EACCES);
    EXPECT_EQ(ReadFileBytes(path), "old");
    EXPECT_EQ(Entries(folder), 1u);
}

}  // namespace
}  // namespace morvat
