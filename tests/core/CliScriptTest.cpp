// SPDX-License-Identifier: MIT
// The command line as scripts use it: standard input and pipes, the summary's fixed
// columns, the JSON shape, the help of each command and failures to write the output.
// Most run the real binary in a shell, since that is where pipes and exit codes live.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "Cli.h"
#include "CliRunner.h"
#include "ShellRun.h"
#include "TempDir.h"
#include "TestPaths.h"
#include "CaseData.h"

namespace morvat::cli {
namespace {

bool Has(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

std::string Example(const char* name) {
    return (test::ExamplesDir() / name).string();
}

// Runs `script` in bash with $CLI set to the built command line; stdout and stderr of the
// whole script are captured.
CliRun RunShell(const std::string& script) {
    return RunCaptured("CLI=" + ShellQuoted(test::CliPath().string()) + " bash -c " +
                       ShellQuoted(script));
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

TEST(CliInputTest, StandardInputPipesAndProcessSubstitution) {
    const std::string card = ShellQuoted(Example("SkillFireBolt.wid"));
    const std::string cws = ShellQuoted(Example("damage-single.cws"));
    const std::string byName = RunIn({"rate", Example("SkillFireBolt.wid")}).out;
    ASSERT_FALSE(byName.empty());

    CliRun run = RunShell("\"$CLI\" rate - < " + card);
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.out, byName);
    run = RunShell("cat " + card + " | \"$CLI\" rate -");
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.out, byName);
    run = RunShell("\"$CLI\" rate <(cat " + card + ")");
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.out, byName);

    // A cws file has no mark of its own: without --cws it is taken for a card, and the
    // card reader refuses it at its first byte.
    run = RunShell("cat " + cws + " | \"$CLI\" rate --cws -");
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.out, Joined(test::WorkedExampleReport()));
    run = RunShell("\"$CLI\" rate --cws --json <(cat " + cws + ")");
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_TRUE(Has(run.out, "\"total\":127")) << run.out;
    run = RunShell("cat " + cws + " | \"$CLI\" rate -");
    EXPECT_EQ(run.status, kExitReadFailed);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(Has(run.err, "-: 読み込みに失敗しました 20")) << run.err;

    // Standard input is a card name of its own in a summary, and never left behind.
    run = RunShell("TMPDIR=$(mktemp -d); export TMPDIR; \"$CLI\" rate --summary --cws - < " +
                   cws + " && rmdir \"$TMPDIR\"");
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.out, "-\t-\t-\t127\t12.7\tok\n");
}

TEST(CliInputTest, EndlessOrEmptyInputIsRefused) {
    CliRun run = RunShell("head -c 70000000 /dev/zero | \"$CLI\" rate -");
    EXPECT_EQ(run.status, kExitCannotOpen);
    EXPECT_TRUE(Has(run.err, "ファイルが開けません (larger than 64 MiB)")) << run.err;
    run = RunShell("\"$CLI\" rate --cws /dev/zero");
    EXPECT_EQ(run.status, kExitCannotOpen);
    run = RunShell("\"$CLI\" rate - < /dev/null");
    EXPECT_EQ(run.status, kExitReadFailed);
}

TEST(CliSummaryColumnsTest, HeaderAndSixColumnsOnEveryRow) {
    test::TempDir dir;
    const auto broken = dir.write("SkillBroken.wid", "not a card");
    const CliRun run =
        RunIn({"rate", "--summary", "--header", Example("heal-single.cws"), broken.string()});
    EXPECT_EQ(run.status, kExitReadFailed);
    std::size_t rows = 0;
    std::size_t start = 0;
    while (start < run.out.size()) {
        const std::size_t end = run.out.find('\n', start);
        const std::string row = run.out.substr(start, end - start);
        EXPECT_EQ(std::count(row.begin(), row.end(), '\t'), 5) << row;
        start = end + 1;
        ++rows;
    }
    EXPECT_EQ(rows, 3u);
    EXPECT_EQ(run.out.rfind("path\tcardName\tcardLevel\ttotal\tskillLevel\tstatus\n", 0), 0u);
    EXPECT_TRUE(Has(run.err, "SkillBroken.wid: 読み込みに失敗しました"));
    EXPECT_EQ(RunIn({"rate", "--header", Example("heal-single.cws")}).status, kExitUsage);
}

TEST(CliJsonShapeTest, SideAndLevelsAsNumbers) {
    const std::string chaos = Example("SkillChaosWave.wid");
    const CliRun enemy = RunIn({"rate", "--json", chaos});
    const CliRun ally = RunIn({"rate", "--json", "--side", "ally", chaos});
    ASSERT_EQ(enemy.status, kExitOk);
    ASSERT_EQ(ally.status, kExitOk);
    EXPECT_TRUE(Has(enemy.out, "\"side\":\"enemy\""));
    EXPECT_TRUE(Has(ally.out, "\"side\":\"ally\""));
    EXPECT_EQ(ally.out.rfind("{\"version\":1,", 0), 0u);
    // Negative levels stay numbers a JSON reader accepts.
    test::TempDir dir;
    const auto small = dir.write("small.cws", test::SmallDamageFile());
    EXPECT_TRUE(Has(RunIn({"rate", "--json", small.string()}).out,
                    "\"total\":-30,\"skillLevel\":-3.0,"));
}

TEST(CliHelpTest, EachCommandHasItsOwnHelp) {
    for (const auto& args : {std::vector<std::string>{"help", "rate"},
                             std::vector<std::string>{"rate", "--help"},
                             std::vector<std::string>{"rate", "-h", "x.cws"}}) {
        const CliRun run = RunIn(args);
        EXPECT_EQ(run.status, kExitOk);
        EXPECT_EQ(run.out.rfind("Usage: morvat-ex-cli rate ", 0), 0u) << run.out;
        EXPECT_TRUE(Has(run.out, "--header"));
    }
    const CliRun list = RunIn({"list", "--help"});
    EXPECT_EQ(list.out.rfind("Usage: morvat-ex-cli list FOLDER", 0), 0u);
    EXPECT_EQ(RunIn({"help", "list"}).out, list.out);
    EXPECT_EQ(RunIn({"help", "frobnicate"}).status, kExitUsage);
    EXPECT_EQ(RunIn({"help", "rate", "list"}).status, kExitUsage);
}

TEST(CliOutputTest, WriteErrorsAreReportedWithTheirOwnStatus) {
    const std::string cws = ShellQuoted(Example("damage-single.cws"));
    CliRun run = RunShell("\"$CLI\" rate " + cws + " > /dev/full");
    EXPECT_EQ(run.status, kExitOutputFailed);
    EXPECT_TRUE(Has(run.err, "cannot write to standard output")) << run.err;
    // A reader that has gone: the pipe's read end is closed by the time the program writes.
    run = RunShell("{ sleep 0.5; \"$CLI\" --help; } | true; exit ${PIPESTATUS[0]}");
    EXPECT_EQ(run.status, kExitOutputFailed);
    EXPECT_TRUE(Has(run.err, "Broken pipe")) << run.err;
    run = RunShell("\"$CLI\" --version >&-");
    EXPECT_EQ(run.status, kExitOutputFailed);
}

}  // namespace
}  // namespace morvat::cli
