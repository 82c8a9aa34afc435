// The settings file of the editor's folders: where it is, that its values come back byte
// for byte, and that no file of the user's is lost, overwritten unread or deleted.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "TempDir.h"
#include "files/FolderSettings.h"
#include "files/IniFile.h"

namespace morvat {
namespace {

using test::ReadFileBytes;
using test::TempDir;

constexpr std::string_view kHome = "/home/user";

struct Files {
    TempDir dir;
    std::filesystem::path beside = dir.path() / "bin" / "morvat-ex.ini";
    std::filesystem::path config = dir.path() / "config" / "MORVAT_Ex" / "morvat-ex.ini";
    SettingsFile settings{beside, config};

    Files() { std::filesystem::create_directory(dir.path() / "bin"); }
};

TEST(FolderSettingsTest, ValuesAreKeptAsTheirBytes) {
    Files f;
    // A folder named in code page 932 is no UTF-8; a hand-written one ends in a backslash.
    const std::string cp932 = "/data/\x83\x51\x81\x5B\x83\x80";
    const std::string text = "[MORVAT.Ex]\r\nOpenFolder=" + cp932 + "\r\nSaveFolder=C:\\CW\\\r\n";
    {
        std::ofstream(f.beside, std::ios::binary) << text;
    }
    const FolderSettingsRead read = f.settings.Read(kHome);
    EXPECT_FALSE(read.refused);
    EXPECT_EQ(read.folders, (FolderSettings{cp932, "C:\\CW\\"}));
    ASSERT_TRUE(f.settings.Write(read.folders).ok());
    EXPECT_EQ(ReadFileBytes(f.beside), text);
}

TEST(FolderSettingsTest, FolderWithALineBreakIsReportedAndTheRestIsKept) {
    Files f;
    ASSERT_TRUE(f.settings.Write({"/open", "/save"}).ok());
    const FileResult saved = f.settings.Write({"/new\nline", "/save2"});
    EXPECT_FALSE(saved.ok());
    EXPECT_EQ(saved.detail, "改行を含むフォルダ名は設定ファイルに書けません\n/new\nline");
    EXPECT_EQ(f.settings.Read(kHome).folders, (FolderSettings{"/open", "/save2"}));
}

TEST(FolderSettingsTest, LargeFilesAreReadAndTooLargeOnesAreLeftAlone) {
    Files f;
    const std::string notes(2 * 1024 * 1024, ';');
    {
        std::ofstream(f.beside, std::ios::binary) << notes << "\n[MORVAT.Ex]\nOpenFolder=/big\n";
    }
    EXPECT_EQ(f.settings.Read(kHome).folders, (FolderSettings{"/big", std::string(kHome)}));

    {
        std::ofstream(f.beside, std::ios::binary)
            << std::string(kMaxIniFileBytes, ';') << "\n[MORVAT.Ex]\nOpenFolder=/huge\n";
    }
    const auto size = std::filesystem::file_size(f.beside);
    const FolderSettingsRead read = f.settings.Read(kHome);
    EXPECT_TRUE(read.refused);
    EXPECT_EQ(read.detail, "16 MiB を超える設定ファイルです\n" + f.beside.string());
    EXPECT_EQ(read.folders, (FolderSettings{std::string(kHome), std::string(kHome)}));
    const FileResult saved = f.settings.Write({"/a", "/b"});
    EXPECT_FALSE(saved.ok());
    EXPECT_EQ(saved.detail, read.detail);
    EXPECT_EQ(std::filesystem::file_size(f.beside), size);
}

TEST(FolderSettingsTest, TheFileBesideTheProgramWinsWheneverItCanBeUsed) {
    Files f;
    std::filesystem::create_directories(f.config.parent_path());
    {
        std::ofstream(f.config, std::ios::binary) << "[MORVAT.Ex]\nOpenFolder=/config\n";
        std::ofstream(f.beside, std::ios::binary) << "[MORVAT.Ex]\nOpenFolder=/beside\n";
    }
    EXPECT_EQ(f.settings.Location(), f.beside);
    EXPECT_EQ(f.settings.Read(kHome).folders.OpenFolder, "/beside");
    ASSERT_TRUE(f.settings.Write({"/new", "/new"}).ok());
    EXPECT_EQ(f.settings.Read(kHome).folders.OpenFolder, "/new");
    // The other file is the user's too: neither overwritten nor deleted.
    EXPECT_EQ(ReadFileBytes(f.config), "[MORVAT.Ex]\nOpenFolder=/config\n");

    // Without a file beside the program, a folder that takes one is enough.
    std::filesystem::remove(f.beside);
    EXPECT_EQ(f.settings.Location(), f.beside);
    ASSERT_TRUE(f.settings.Write({"/again", "/again"}).ok());
    EXPECT_EQ(f.settings.Read(kHome).folders.OpenFolder, "/again");
}

TEST(FolderSettingsTest, UnusableFileBesideTheProgramGivesWayToTheConfigurationFolder) {
    Files f;
    // A folder or a link to nothing where the file would be: not ours to replace.
    std::filesystem::create_directory(f.beside);
    EXPECT_EQ(f.settings.Location(), f.config);
    ASSERT_TRUE(f.settings.Write({"/open", "C:\\save\\"}).ok());  // creates its folder
    EXPECT_EQ(f.settings.Read(kHome).folders, (FolderSettings{"/open", "C:\\save\\"}));
    EXPECT_TRUE(std::filesystem::is_directory(f.beside));
    std::filesystem::remove(f.beside);
    std::filesystem::create_symlink("nowhere.ini", f.beside);
    EXPECT_EQ(f.settings.Location(), f.config);

    // A read-only file there stays as it is.
    std::filesystem::remove(f.beside);
    {
        std::ofstream(f.beside, std::ios::binary) << "[MORVAT.Ex]\nOpenFolder=/locked\n";
    }
    ::chmod(f.beside.c_str(), 0444);
    EXPECT_EQ(f.settings.Location(), f.config);
    ASSERT_TRUE(f.settings.Write({"/c", "/c"}).ok());
    EXPECT_EQ(ReadFileBytes(f.beside), "[MORVAT.Ex]\nOpenFolder=/locked\n");

    // A program folder that takes no new file: here, a "folder" that is a file.
    std::filesystem::remove(f.beside);
    std::filesystem::remove(f.dir.path() / "bin");
    f.dir.write("bin", "");
    EXPECT_EQ(f.settings.Location(), f.config);
}

TEST(FolderSettingsTest, UnreadableFileIsNeverOverwrittenOrDeleted) {
    Files f;
    std::filesystem::remove(f.dir.path() / "bin");
    f.dir.write("bin", "");
    std::filesystem::create_directories(f.config.parent_path());
    ASSERT_EQ(::mkfifo(f.config.c_str(), 0600), 0);
    const FolderSettingsRead read = f.settings.Read(kHome);
    EXPECT_TRUE(read.refused);
    EXPECT_FALSE(f.settings.Write({"/a", "/b"}).ok());
    struct stat st {};
    ASSERT_EQ(::lstat(f.config.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST(FolderSettingsTest, AnInstalledProgramKeepsItsFileInTheUsersConfiguration) {
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "usr" / "bin");
    std::filesystem::create_directories(dir.path() / "usr" / "share" / "applications");
    const auto program = dir.path() / "usr" / "bin" / "morvat-ex";
    const auto config = dir.path() / "home" / ".config" / "MORVAT_Ex";

    // From a build or a copied folder, the file sits beside the program.
    EXPECT_EQ(SettingsFile::ForExecutable(program, config).Location(),
              dir.path() / "usr" / "bin" / "morvat-ex.ini");

    dir.write("usr/share/applications/morvat-ex.desktop", "[Desktop Entry]\n");
    const SettingsFile settings = SettingsFile::ForExecutable(program, config);
    EXPECT_EQ(settings.Location(), config / "morvat-ex.ini");
    ASSERT_TRUE(settings.Write({"/open/", "/save/"}).ok());
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "usr" / "bin" / "morvat-ex.ini"));
    EXPECT_EQ(settings.Read(kHome).folders, (FolderSettings{"/open/", "/save/"}));
}

}  // namespace
}  // namespace morvat
