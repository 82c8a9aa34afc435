// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "TempDir.h"
#include "files/IniFile.h"

namespace morvat {
namespace {

using test::ReadFileBytes;
using test::TempDir;

constexpr const char* kSection = "MORVAT.Ex";

// Writes `value`, reads the text back as a fresh file and returns what it gives.
std::string RoundTrip(const std::string& value) {
    IniFile file;
    EXPECT_TRUE(file.Set(kSection, "OpenFolder", value));
    return IniFile::Parse(file.Text()).Get(kSection, "OpenFolder").value_or("<missing>");
}

TEST(IniFileValues, HandWrittenBackslashesReadBackVerbatim) {
    const IniFile file = IniFile::Parse(
        "[MORVAT.Ex]\nOpenFolder=C:\\Users\\player\\Documents\\cards\\\nSaveFolder=C:\\\n");
    // A trailing backslash neither continues the line nor eats the next key.
    EXPECT_EQ(file.Get(kSection, "OpenFolder"), "C:\\Users\\player\\Documents\\cards\\");
    EXPECT_EQ(file.Get(kSection, "SaveFolder"), "C:\\");
}

TEST(IniFileValues, RoundTripKeepsEveryByte) {
    EXPECT_EQ(RoundTrip("C:\\Users\\player\\Documents\\cards\\"),
              "C:\\Users\\player\\Documents\\cards\\");
    EXPECT_EQ(RoundTrip("C:\\Users\\player\\Documents\\cards"),
              "C:\\Users\\player\\Documents\\cards");
    EXPECT_EQ(RoundTrip("/home/player/cards/"), "/home/player/cards/");
    EXPECT_EQ(RoundTrip("C:\\Program Files\\Card Tools"), "C:\\Program Files\\Card Tools");
    EXPECT_EQ(RoundTrip("D:\\ゲーム\\スキル\\"), "D:\\ゲーム\\スキル\\");
    EXPECT_EQ(RoundTrip("/tmp/a=b;c#d[e]"), "/tmp/a=b;c#d[e]");
    EXPECT_EQ(RoundTrip(""), "");
    // Spaces at the ends and quotes survive because such values are written quoted.
    EXPECT_EQ(RoundTrip(" /lead and trail/ "), " /lead and trail/ ");
    EXPECT_EQ(RoundTrip("\"quoted\""), "\"quoted\"");
    EXPECT_EQ(RoundTrip("\"half"), "\"half");
}

// Quotes written by hand around an empty value mean an empty value; a value that is itself
// two quotes survives a round trip.
TEST(IniFileValues, EmptyQuotedValueIsEmpty) {
    EXPECT_EQ(IniFile::Parse("[MORVAT.Ex]\nOpenFolder=\"\"\n").Get(kSection, "OpenFolder"), "");
    EXPECT_EQ(RoundTrip("\"\""), "\"\"");
}

TEST(IniFileValues, SpacesAroundKeyAndValueAreNotPartOfThem) {
    const IniFile file = IniFile::Parse("[ MORVAT.Ex ]\n  OpenFolder =  C:\\cards\\  \n");
    EXPECT_EQ(file.Get(kSection, "OpenFolder"), "C:\\cards\\");
}

TEST(IniFileValues, SectionsAndKeysIgnoreCaseAndFirstKeyWins) {
    const IniFile file = IniFile::Parse("[morvat.ex]\nopenfolder=/first\nOpenFolder=/second\n");
    EXPECT_EQ(file.Get(kSection, "OpenFolder"), "/first");
}

TEST(IniFileValues, MissingKeysAndSectionsGiveNothing) {
    const IniFile file = IniFile::Parse(
        "[Other]\nOpenFolder=/elsewhere\n[MORVAT.Ex]\nSaveFolder=/saved\n; OpenFolder=/comment\n");
    EXPECT_FALSE(file.Get(kSection, "OpenFolder").has_value());
    EXPECT_EQ(file.Get(kSection, "SaveFolder"), "/saved");
    EXPECT_FALSE(IniFile::Parse("").Get(kSection, "SaveFolder").has_value());
    EXPECT_FALSE(IniFile::Parse("OpenFolder=/no/section\n").Get(kSection, "OpenFolder"));
}

TEST(IniFileValues, LineBreaksInAValueAreRefused) {
    IniFile file = IniFile::Parse("[MORVAT.Ex]\nOpenFolder=/old\n");
    EXPECT_FALSE(file.Set(kSection, "OpenFolder", "/new\n[Evil]\nkey=1"));
    EXPECT_FALSE(file.Set(kSection, "OpenFolder", "/new\r"));
    EXPECT_EQ(file.Text(), "[MORVAT.Ex]\nOpenFolder=/old\n");
}

TEST(IniFileText, CrLfFilesReadCleanlyAndStayCrLf) {
    IniFile file = IniFile::Parse("[MORVAT.Ex]\r\nOpenFolder=C:\\cards\\\r\nSaveFolder=C:\\\r\n");
    EXPECT_EQ(file.Get(kSection, "OpenFolder"), "C:\\cards\\");
    EXPECT_EQ(file.Get(kSection, "SaveFolder"), "C:\\");
    file.Set(kSection, "SaveFolder", "D:\\");
    EXPECT_EQ(file.Text(), "[MORVAT.Ex]\r\nOpenFolder=C:\\cards\\\r\nSaveFolder=D:\\\r\n");
}

TEST(IniFileText, SettingKeepsEverythingElse) {
    const std::string before =
        "\xEF\xBB\xBF; written by hand\n"
        "[Window]\nLeft=10\n\n"
        "[MORVAT.Ex]\n# old folder below\nOpenFolder=/old\nColour=blue\n\n"
        "[Last]\nkey=value\n";
    IniFile file = IniFile::Parse(before);
    file.Set(kSection, "OpenFolder", "/new/");
    file.Set(kSection, "SaveFolder", "/saved");
    EXPECT_EQ(
        file.Text(),
        "\xEF\xBB\xBF; written by hand\n"
        "[Window]\nLeft=10\n\n"
        "[MORVAT.Ex]\n# old folder below\nOpenFolder=/new/\nColour=blue\nSaveFolder=/saved\n\n"
        "[Last]\nkey=value\n");
}

TEST(IniFileText, MissingSectionIsAppended) {
    IniFile file = IniFile::Parse("[Other]\nx=1");
    file.Set(kSection, "OpenFolder", "/a");
    file.Set(kSection, "SaveFolder", "/b");
    EXPECT_EQ(file.Text(), "[Other]\nx=1\n[MORVAT.Ex]\nOpenFolder=/a\nSaveFolder=/b\n");
}

// A section that holds nothing yet gets the key right below its header, at the start of
// the file as anywhere else.
TEST(IniFileText, KeyOfAnEmptySectionGoesBelowItsHeader) {
    IniFile file = IniFile::Parse("[MORVAT.Ex]\n[Other]\nx=1\n");
    file.Set(kSection, "OpenFolder", "/a");
    EXPECT_EQ(file.Text(), "[MORVAT.Ex]\nOpenFolder=/a\n[Other]\nx=1\n");
    file = IniFile::Parse("[Other]\nx=1\n[MORVAT.Ex]\n\n[Last]\n");
    file.Set(kSection, "OpenFolder", "/b");
    EXPECT_EQ(file.Get(kSection, "OpenFolder"), "/b");
    EXPECT_EQ(file.Text(), "[Other]\nx=1\n[MORVAT.Ex]\nOpenFolder=/b\n\n[Last]\n");
}

TEST(IniFileOnDisk, ReadWriteAndMissingFiles) {
    TempDir dir;
    const auto path = dir.path() / "morvat-ex.ini";
    EXPECT_EQ(ReadIniFile(path).status, FileStatus::Missing);

    IniFile file;
    file.Set(kSection, "OpenFolder", "C:\\cards\\");
    ASSERT_TRUE(WriteIniFile(path, file).ok());
    const IniReadResult read = ReadIniFile(path);
    ASSERT_EQ(read.status, FileStatus::Ok);
    EXPECT_EQ(read.file.Get(kSection, "OpenFolder"), "C:\\cards\\");
    // Only the target is left in the folder: the temporary file was renamed over it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(IniFileOnDisk, ThingsThatAreNotSettingsFilesAreRefused) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "folder.ini");
    EXPECT_EQ(ReadIniFile(dir.path() / "folder.ini").status, FileStatus::Unreadable);

    const auto fifo = dir.path() / "fifo.ini";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(ReadIniFile(fifo).status, FileStatus::Unreadable);

    const auto huge = dir.write("huge.ini", std::string(kMaxIniFileBytes + 1, 'x'));
    EXPECT_EQ(ReadIniFile(huge).status, FileStatus::TooLarge);
    const auto largest = dir.write("largest.ini", std::string(kMaxIniFileBytes, 'x'));
    EXPECT_EQ(ReadIniFile(largest).status, FileStatus::Ok);
}

TEST(IniFileOnDisk, FailedWriteLeavesTheOldFile) {
    TempDir dir;
    // The target is a folder: the rename cannot replace it, and nothing is left behind.
    const auto blocked = dir.path() / "blocked.ini";
    std::filesystem::create_directory(blocked);
    EXPECT_FALSE(WriteIniFile(blocked, IniFile::Parse("[MORVAT.Ex]\nOpenFolder=/x\n")).ok());
    EXPECT_TRUE(std::filesystem::is_directory(blocked));
    EXPECT_FALSE(WriteIniFile(dir.path() / "no-such-folder" / "a.ini", IniFile{}).ok());

    const auto kept = dir.write("kept.ini", "[MORVAT.Ex]\nOpenFolder=/old\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              2);
    EXPECT_EQ(ReadFileBytes(kept), "[MORVAT.Ex]\nOpenFolder=/old\n");
}

}  // namespace
}  // namespace morvat
