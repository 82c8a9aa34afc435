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
    if (read.status != FileStatus::Ok) return std::nullopt;
    return read.file.Get("MORVAT.Ex", key);
}

std::string Home() {
    return ToPath(QDir::homePath()).string();
}

TEST(Settings, FirstRunUsesTheDefaultAndCloseCreatesTheFile) {
    Editor editor;
    EXPECT_EQ(SettingsStore::DefaultFolder(), Home());
    EXPECT_EQ(editor.form1->OpenFolder(), Home());
    EXPECT_EQ(editor.form1->SaveFolder(), Home());
    EXPECT_FALSE(std::filesystem::exists(editor.iniPath()));
    editor.form1->show();
    editor.form1->close();
    EXPECT_EQ(Key(editor.iniPath(), "OpenFolder"), QDir::homePath().toStdString());
    EXPECT_EQ(Key(editor.iniPath(), "SaveFolder"), QDir::homePath().toStdString());
    EXPECT_TRUE(editor.messages.shown.empty());
}

TEST(Settings, HandWrittenValuesComeBackUnchangedWithTheRestOfTheFile) {
    const std::string ini =
        "; folders of the "
        "editor\r\n[MORVAT.Ex]\r\nSaveFolder=C:\\Users\\player\\Documents\\cards\\\r\n"
        "[Other]\r\nkey=value\r\n";
    Editor editor(ini);
    EXPECT_EQ(editor.form1->OpenFolder(), Home());
    EXPECT_EQ(editor.form1->SaveFolder(), "C:\\Users\\player\\Documents\\cards\\");
    editor.form1->FormClose();
    const std::string text = ReadFileBytes(editor.iniPath());
    EXPECT_EQ(Key(editor.iniPath(), "SaveFolder"), "C:\\Users\\player\\Documents\\cards\\");
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

TEST(Settings, FoldersThatCannotBeKeptAnywhereAreReported) {
    Editor editor;
    const auto blocked = editor.dir.write("blocked", "");
    TForm1 form(editor.messages, SettingsStore(blocked / "a.ini", blocked / "b" / "c.ini"));
    form.FormClose();
    ASSERT_EQ(editor.messages.shown.size(), 1u);
    EXPECT_EQ(editor.messages.shown[0].text, "設定を保存できませんでした");
    EXPECT_EQ(editor.messages.shown[0].caption, "Error");
    EXPECT_TRUE(editor.messages.shown[0].detail.startsWith("途中の名前がフォルダではありません"))
        << editor.messages.shown[0].detail.toStdString();
}

// A folder in code page 932 (a card folder copied from another system) is no UTF-8: it
// comes back from the file and goes back into it unchanged.
TEST(Settings, FolderThatIsNotUtf8SurvivesStartAndClose) {
    const std::string text = "[MORVAT.Ex]\nOpenFolder=/cards/\x83\x51\x81\x5B\x83\x80\n"
                             "SaveFolder=/save/\xff\n";
    Editor editor(text);
    EXPECT_EQ(editor.form1->OpenFolder(), "/cards/\x83\x51\x81\x5B\x83\x80");
    editor.form1->FormClose();
    EXPECT_EQ(ReadFileBytes(editor.iniPath()), text);
    EXPECT_TRUE(editor.messages.shown.empty());
}

// The settings file cannot hold a line break in a value: the user hears of it, and the
// other folder is still kept.
TEST(Settings, FolderWithALineBreakIsReportedOnClose) {
    Editor editor("[MORVAT.Ex]\nOpenFolder=/old/open\nSaveFolder=/old/save\n");
    const auto folder = editor.dir.path() / "two\nlines";
    std::filesystem::create_directory(folder);
    editor.messages.saveFileAnswer = FromPath(folder / "skill.cws");
    editor.form1->Button2Click();
    ASSERT_EQ(editor.form1->SaveFolder(), folder.string());
    editor.form1->FormClose();
    ASSERT_EQ(editor.messages.shown.size(), 1u);
    EXPECT_EQ(editor.messages.shown[0].text, "設定を保存できませんでした");
    EXPECT_EQ(editor.messages.shown[0].detail.toStdString(),
              "改行を含むフォルダ名は設定ファイルに書けません\n" + folder.string());
    const std::string written = ReadFileBytes(editor.iniPath());
    EXPECT_NE(written.find("SaveFolder=/old/save\n"), std::string::npos) << written;
    EXPECT_EQ(Key(editor.iniPath(), "OpenFolder"), "/old/open");
}

// A settings file too large to be one is named at start, and left as it is at close.
TEST(Settings, TooLargeSettingsFileIsReportedAndKept) {
    const std::string text =
        std::string(kMaxIniFileBytes, ';') + "\n[MORVAT.Ex]\nOpenFolder=/lost\n";
    Editor editor(text);
    ASSERT_EQ(editor.messages.shown.size(), 1u);
    EXPECT_EQ(editor.messages.shown[0].text, "設定ファイルを読み込めませんでした");
    EXPECT_EQ(editor.messages.shown[0].detail.toStdString(),
              "16 MiB を超える設定ファイルです\n" + editor.iniPath().string());
    EXPECT_EQ(editor.form1->OpenFolder(), Home());
    editor.form1->FormClose();
    EXPECT_EQ(editor.messages.shown.size(), 2u);
    EXPECT_EQ(std::filesystem::file_size(editor.iniPath()), text.size());
}

}  // namespace
}  // namespace morvat::test
