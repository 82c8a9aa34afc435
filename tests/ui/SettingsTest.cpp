// SPDX-License-Identifier: MIT
// The remembered folders: read when the editor starts, written when it closes, kept
// byte for byte, and never lost when the program's folder cannot take the file.
#include <QCoreApplication>
#include <QDir>

#include "QtPaths.h"
#include "UiTestSupport.h"
#include "files/IniFile.h"

namespace morvat::test {
namespace {

std::optional<std::string> Key(const std::filesystem::path& ini, const char* key) {
    const IniReadResult read = ReadIniFile(ini);
    if (read.status != IniReadResult::Status::Read) return std::nullopt;
    return read.file.Get("MORVAT.Ex", key);
}

TEST(Settings, FirstRunUsesTheDefaultAndCloseCreatesTheFile) {
    Editor editor;
    EXPECT_EQ(SettingsStore::DefaultFolder(), QDir::homePath());
    EXPECT_EQ(editor.form1->OpenFolder(), QDir::homePath());
    EXPECT_EQ(editor.form1->SaveFolder(), QDir::homePath());
    EXPECT_FALSE(std::filesystem::exists(editor.iniPath()));
    editor.form1->show();
    editor.form1->close();
    EXPECT_EQ(Key(editor.iniPath(), "OpenFolder"), QDir::homePath().toStdString());
    EXPECT_EQ(Key(editor.iniPath(), "SaveFolder"), QDir::homePath().toStdString());
    EXPECT_TRUE(editor.messages.shown.empty());
}

TEST(Settings, HandWrittenValuesComeBackUnchangedWithTheRestOfTheFile) {
    const std::string ini =
        "; folders of the editor\r\n[MORVAT.Ex]\r\nSaveFolder=C:\\Games\\CW\\\r\n"
        "[Other]\r\nkey=value\r\n";
    Editor editor(ini);
    EXPECT_EQ(editor.form1->OpenFolder(), QDir::homePath());
    EXPECT_EQ(editor.form1->SaveFolder(), "C:\\Games\\CW\\");
    editor.form1->FormClose();
    const std::string text = ReadFileBytes(editor.iniPath());
    EXPECT_EQ(Key(editor.iniPath(), "SaveFolder"), "C:\\Games\\CW\\");
    EXPECT_EQ(Key(editor.iniPath(), "OpenFolder"), QDir::homePath().toStdString());
    EXPECT_NE(text.find("; folders of the editor\r\n"), std::string::npos);
    EXPECT_NE(text.find("[Other]\r\nkey=value\r\n"), std::string::npos);
}

TEST(Settings, CloseWritesTheFoldersTheFlowsChanged) {
    Editor editor("[MORVAT.Ex]\nOpenFolder=/no/such/folder/\nSaveFolder=/kept/ゲーム/ \n");
    EXPECT_EQ(editor.form1->SaveFolder(), "/kept/ゲーム/");
    editor.picker.result = 2;
    editor.form1->Button5Click();  // a folder that is gone gives way to the program's
    editor.form1->FormClose();
    EXPECT_EQ(Key(editor.iniPath(), "OpenFolder"),
              (QCoreApplication::applicationDirPath() + "/").toStdString());
    EXPECT_EQ(Key(editor.iniPath(), "SaveFolder"), "/kept/ゲーム/");
}

TEST(Settings, IniFileIsNamedAfterTheProgram) {
    const SettingsStore store = SettingsStore::ForProgram();
    std::filesystem::path expected = ToPath(QCoreApplication::applicationFilePath());
    expected.replace_extension(".ini");
    EXPECT_EQ(store.besideProgram(), expected);
    EXPECT_EQ(store.fallback().filename(), expected.filename());
    EXPECT_NE(store.fallback().parent_path(), expected.parent_path());
}

TEST(Settings, AnInstalledProgramKeepsItsFileInTheUsersConfiguration) {
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "usr" / "bin");
    std::filesystem::create_directories(dir.path() / "usr" / "share" / "applications");
    const auto program = dir.path() / "usr" / "bin" / "morvat-ex";
    const auto config = dir.path() / "home" / ".config" / "MORVAT_Ex";

    // From a build or a copied folder, the file sits beside the program.
    EXPECT_EQ(SettingsStore::ForExecutable(program, config).besideProgram(),
              dir.path() / "usr" / "bin" / "morvat-ex.ini");

    dir.write("usr/share/applications/morvat-ex.desktop", "[Desktop Entry]\n");
    const SettingsStore store = SettingsStore::ForExecutable(program, config);
    EXPECT_EQ(store.besideProgram(), config / "morvat-ex.ini");
    ASSERT_TRUE(store.Write({"/open/", "/save/"}));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "usr" / "bin" / "morvat-ex.ini"));
    EXPECT_EQ(store.Read(), (FolderSettings{"/open/", "/save/"}));
}

TEST(Settings, UnwritableProgramFolderFallsBackToTheConfigurationFolder) {
    TempDir dir;
    // The program's "folder" is a file: nothing can be written beside the program.
    const auto blocked = dir.write("program", "");
    const SettingsStore store(blocked / "morvat-ex.ini", dir.path() / "config" / "morvat-ex.ini");
    ASSERT_TRUE(store.Write({"/open/", "C:\\save\\"}));
    EXPECT_EQ(Key(store.fallback(), "OpenFolder"), "/open/");
    EXPECT_EQ(store.Read(), (FolderSettings{"/open/", "C:\\save\\"}));

    // Once the program's folder takes the file again, it holds the folders and the
    // fallback copy goes, so that it cannot shadow later changes.
    std::filesystem::remove(blocked);
    std::filesystem::create_directory(blocked);
    ASSERT_TRUE(store.Write({"/open2/", "/save2/"}));
    EXPECT_EQ(Key(store.besideProgram(), "OpenFolder"), "/open2/");
    EXPECT_FALSE(std::filesystem::exists(store.fallback()));
    EXPECT_EQ(store.Read(), (FolderSettings{"/open2/", "/save2/"}));
}

TEST(Settings, AFileBesideTheProgramThatIsNotOursIsLeftAlone) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "morvat-ex.ini");
    const SettingsStore store(dir.path() / "morvat-ex.ini", dir.path() / "config" / "m.ini");
    ASSERT_TRUE(store.Write({"/a", "/b"}));
    EXPECT_TRUE(std::filesystem::is_directory(store.besideProgram()));
    EXPECT_EQ(store.Read(), (FolderSettings{"/a", "/b"}));
}

TEST(Settings, FoldersThatCannotBeKeptAnywhereAreReported) {
    Editor editor;
    const auto blocked = editor.dir.write("blocked", "");
    TForm1 form(editor.messages, SettingsStore(blocked / "a.ini", blocked / "b" / "c.ini"));
    form.FormClose();
    EXPECT_EQ(editor.messages.shown,
              std::vector<ShownMessage>({{"warn", "設定を保存できませんでした", "Error"}}));
}

}  // namespace
}  // namespace morvat::test
