// SPDX-License-Identifier: MIT
// The command line, run in-process with its output captured, and a few runs of the real
// binary for exit codes and the exact bytes on stdout.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <sstream>

#include "Cli.h"
#include "CliRunner.h"
#include "ShellRun.h"
#include "Json.h"
#include "TempDir.h"
#include "TestPaths.h"
#include "Unprivileged.h"
#include "CaseData.h"

namespace morvat::cli {
namespace {

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

std::string Example(const char* name) {
    return (test::ExamplesDir() / name).string();
}

TEST(CliRateTest, FileThatCannotBeOpened) {
    test::TempDir dir;
    const std::string missing = (dir.path() / "missing.cws").string();
    CliRun run = RunIn({"rate", missing});
    EXPECT_EQ(run.status, kExitCannotOpen);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("ファイルが開けません"), std::string::npos);
    EXPECT_NE(run.err.find(missing), std::string::npos);

    // A FIFO or a folder named like a cws file is refused at once, never waited on.
    const auto fifo = dir.path() / "pipe.cws";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(RunIn({"rate", fifo.string()}).status, kExitCannotOpen);
    std::filesystem::create_directory(dir.path() / "folder.cws");
    EXPECT_EQ(RunIn({"rate", (dir.path() / "folder.cws").string()}).status, kExitCannotOpen);
}

// A file cut short is not rated as the smaller skill it would read as.
TEST(CliRateTest, CwsFileThatStopsEarly) {
    test::TempDir dir;
    const std::string whole = test::ReadFileBytes(test::ExamplesDir() / "damage-single.cws");
    const auto firstLines = [&whole](int count) {
        std::size_t end = 0;
        for (int i = 0; i < count; ++i) end = whole.find('\n', end) + 1;
        return whole.substr(0, end);
    };
    for (const std::string& bytes : {std::string(), std::string("0000050\r\n01\r\n0\r\n"),
                                     std::string("not a skill\n"), firstLines(20), firstLines(6),
                                     firstLines(34)}) {
        const auto path = dir.write("short.cws", bytes);
        const CliRun run = RunIn({"rate", path.string()});
        EXPECT_EQ(run.status, kExitReadFailed) << bytes;
        EXPECT_EQ(run.out, "") << bytes;
        EXPECT_NE(run.err.find("読み込みに失敗しました"), std::string::npos);
        EXPECT_NE(run.err.find(path.string()), std::string::npos);
    }
}

// ---------------------------------------------------------------------------------------

TEST(CliJsonTest, FileNamesThatAreNotUtf8StayValidJson) {
    test::TempDir dir;
    const auto path = dir.write("bad\xff\x01\"name\\.cws", test::SmallDamageFile());
    const CliRun run = RunIn({"rate", "--json", path.string()});
    ASSERT_EQ(run.status, kExitOk);
    EXPECT_NE(run.out.find("\"cardName\":\"bad\xEF\xBF\xBD\\u0001\\\"name\\\\\""),
              std::string::npos)
        << run.out;
    EXPECT_EQ(run.out.find('\xff'), std::string::npos);
}

TEST(CliJsonTest, StringEscapes) {
    EXPECT_EQ(JsonString("plain 技能"), "\"plain 技能\"");
    EXPECT_EQ(JsonString("a\"b\\c\nd\te\rf\x1f\x7f"), "\"a\\\"b\\\\c\\nd\\te\\rf\\u001f\\u007f\"");
    EXPECT_EQ(JsonString(std::string("nul\0end", 7)), "\"nul\\u0000end\"");
}

// ---------------------------------------------------------------------------------------

TEST(CliSummaryTest, OneLinePerFileAndFailuresDoNotStopTheRun) {
    test::TempDir dir;
    const auto small = dir.write("small.cws", test::SmallDamageFile());
    const auto shortFile = dir.write("short.cws", "0000050\r\n");
    const std::string missing = (dir.path() / "missing.cws").string();
    const CliRun run = RunIn({"rate", "--summary", Example("damage-single.cws"), shortFile.string(),
                              missing, small.string()});
    EXPECT_EQ(run.status, kExitReadFailed);
    EXPECT_EQ(run.out, Example("damage-single.cws") + "\tdamage-single\t-\t127\t12.7\tok\n" +
                           shortFile.string() + "\t\t\t\t\t読み込みに失敗しました\n" + missing +
                           "\t\t\t\t\tファイルが開けません\n" + small.string() +
                           "\tsmall\t-\t-30\t-3.0\tok\n");
    // The failures are messages too, for the one who watches the terminal.
    EXPECT_EQ(run.err, "morvat-ex-cli: " + shortFile.string() + ": 読み込みに失敗しました\n" +
                           "morvat-ex-cli: " + missing + ": ファイルが開けません\n");

    const CliRun good = RunIn({"rate", "--summary", small.string()});
    EXPECT_EQ(good.status, kExitOk);
}

TEST(CliSummaryTest, FieldsCannotBreakTheLine) {
    test::TempDir dir;
    const auto odd = dir.write("tab\there\nline.cws", test::SmallDamageFile());
    const CliRun run = RunIn({"rate", "--summary", odd.string()});
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1);
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\t'), 5);
    // Escaped, not blanked: the name can still be told from "tab here line.cws".
    EXPECT_EQ(run.out, dir.path().string() +
                           "/tab\\there\\nline.cws\ttab\\there\\nline\t-\t-30\t-3.0\tok\n");
}

// A folder that cannot be read is a failure, not an empty folder.
TEST(CliSummaryTest, UnreadableFolderIsReportedWithItsPath) {
    test::TempDir dir;
    const auto locked = dir.path() / "locked";
    std::filesystem::create_directory(locked);
    dir.write("locked/Skill1.wid", "x");
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    const auto small = dir.write("small.cws", test::SmallDamageFile());
    test::LetOthersIn(dir.path());
    test::Unprivileged user;
    if (!user.usable()) GTEST_SKIP() << "cannot step down from root";

    CliRun run = RunIn({"rate", "--summary", locked.string()});
    EXPECT_EQ(run.status, kExitCannotOpen);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "morvat-ex-cli: " + locked.string() + ": ファイルが開けません\n");

    // The other paths are still rated; the folder's failure decides the exit status.
    run = RunIn({"rate", "--summary", locked.string(), small.string()});
    EXPECT_EQ(run.status, kExitCannotOpen);
    EXPECT_EQ(run.out, small.string() + "\tsmall\t-\t-30\t-3.0\tok\n");
}

// ---------------------------------------------------------------------------------------

TEST(CliListTest, FolderWithoutCardsAndPathsThatAreNoFolder) {
    test::TempDir dir;
    dir.write("notes.txt", "x");
    CliRun run = RunIn({"list", dir.path().string()});
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_EQ(run.out, "");
    run = RunIn({"list", (dir.path() / "notes.txt").string()});
    EXPECT_EQ(run.status, kExitCannotOpen);
    EXPECT_NE(run.err.find("notes.txt"), std::string::npos);
}

TEST(CliListTest, UnreadableFolderIsReportedWithItsPath) {
    test::TempDir dir;
    const auto locked = dir.path() / "locked";
    std::filesystem::create_directory(locked);
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    test::LetOthersIn(dir.path());
    test::Unprivileged user;
    if (!user.usable()) GTEST_SKIP() << "cannot step down from root";
    const CliRun run = RunIn({"list", locked.string()});
    EXPECT_EQ(run.status, kExitCannotOpen);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "morvat-ex-cli: " + locked.string() + ": ファイルが開けません\n");
}

TEST(CliListTest, LineBreaksAndTabsInNamesAreEscaped) {
    test::TempDir dir;
    // A card file whose name is "a<LF>b": tag, empty first block, name length 4, name.
    const std::string card("\x05\0\0\0\0\x04\0\0\0a\nb\0", 13);
    dir.write("Skill\n1.wid", card);
    dir.write("Skill\t2.wid", card);
    const CliRun run = RunIn({"list", dir.path().string()});
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_EQ(run.out,
              "a\\nb          Skill\\t2.wid\n"
              "a\\nb          Skill\\n1.wid\n");
}

// ---------------------------------------------------------------------------------------

TEST(CliUsageTest, HelpAndVersion) {
    for (const auto& args : {std::vector<std::string>{"--help"}, std::vector<std::string>{"-h"},
                             std::vector<std::string>{"help"}}) {
        const CliRun run = RunIn(args);
        EXPECT_EQ(run.status, kExitOk);
        EXPECT_EQ(run.out.rfind("Usage: morvat-ex-cli", 0), 0u);
        EXPECT_NE(run.out.find("list FOLDER"), std::string::npos);
    }
    const CliRun version = RunIn({"--version"});
    EXPECT_EQ(version.status, kExitOk);
    EXPECT_EQ(version.out, std::string("morvat-ex-cli ") + MORVAT_VERSION + "\n");
}

TEST(CliUsageTest, WrongArgumentsAreUsageErrors) {
    const std::string file = Example("damage-single.cws");
    for (const auto& args : std::vector<std::vector<std::string>>{
             {},
             {"frobnicate"},
             {"rate"},
             {"rate", "--jsn", file},
             {"rate", file, file},
             {"rate", "--side", "both", file},
             {"rate", "--side=", file},
             {"rate", file, "--side"},
             {"rate", "--json", "--summary", file},
             {"list"},
             {"list", "a", "b"},
             {"list", "--all", "."},
         }) {
        const CliRun run = RunIn(args);
        std::string shown;
        for (const auto& a : args) shown += a + " ";
        EXPECT_EQ(run.status, kExitUsage) << shown;
        EXPECT_EQ(run.out, "") << shown;
        EXPECT_NE(run.err.find("--help"), std::string::npos) << shown;
    }
}

TEST(CliUsageTest, OptionsMayFollowTheFileAndDoubleDashEndsThem) {
    test::TempDir dir;
    const auto path = dir.write("--json.cws", test::SmallDamageFile());
    EXPECT_EQ(RunIn({"rate", Example("damage-single.cws"), "--side=enemy"}).status, kExitOk);
    const CliRun run = RunIn({"rate", "--", path.string()});
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_EQ(run.out, test::ReadFileBytes(test::CaseDir("small-damage-cws") / "expected.txt"));
}

// ---------------------------------------------------------------------------------------
// The real binary

CliRun RunBinary(const std::vector<std::string>& args) {
    std::string command = ShellQuoted(test::CliPath().string());
    for (const std::string& a : args) command += " " + ShellQuoted(a);
    return RunCaptured(command + " </dev/null");
}

TEST(CliBinaryTest, ExitStatusAndBytesOnStdout) {
    CliRun run = RunBinary({"rate", Example("damage-single.cws")});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, Joined(test::WorkedExampleReport()));

    test::TempDir dir;
    run = RunBinary({"rate", (dir.path() / "missing.cws").string()});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("ファイルが開けません"), std::string::npos);

    run = RunBinary({"rate", dir.write("short.cws", "0000050\n").string()});
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.out, "");

    run = RunBinary({"rate", "--bogus"});
    EXPECT_EQ(run.status, 64);
    EXPECT_EQ(RunBinary({"--version"}).status, 0);
}

}  // namespace
}  // namespace morvat::cli
