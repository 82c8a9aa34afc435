// SPDX-License-Identifier: MIT
// The command line on the game's skill card files: rating a card, the questions a card can
// raise answered from the command line, read failures, folder listings and summaries.
#include <gtest/gtest.h>

#include <sstream>

#include "CardWriter.h"
#include "Cli.h"
#include "CliRunner.h"
#include "TempDir.h"
#include "TestPaths.h"

namespace morvat::cli {
namespace {

bool Has(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

const std::string kAssassin = "\x88\xc3\x8e\x45";          // 暗殺
const std::string kFireName = "\x89\xce\x89\x8a\x92\x65";  // 火炎弾

// The card of the bundled single-target example: damage by level 10 on one enemy, success
// +1, voice, "魔法的物理属性", avoidance +2 on use and the key code "暗殺".
test::WidCardPlan SingleDamageCard() {
    test::WidCardPlan c;
    c.name = test::Sz(kFireName);
    c.voice = 1;
    c.target = 3;
    c.attribute = 2;
    c.success = 1;
    c.escape = 2;
    c.motions.motions = {test::ValueMotion(0x40800, 0, 1, 0, 10)};
    c.keyCodes[0] = test::Sz(kAssassin);
    c.level = 4;
    return c;
}

std::string WriteCardFile(const test::TempDir& dir, std::string_view name,
                          const test::WidCardPlan& card) {
    return dir.write(name, test::WriteCard(card).bytes).string();
}

TEST(CliCardTest, CardIsRatedLikeTheSameSkillInACwsFile) {
    test::TempDir dir;
    const CliRun card = RunIn({"rate", WriteCardFile(dir, "Skill1.wid", SingleDamageCard())});
    const CliRun cws = RunIn({"rate", (test::ExamplesDir() / "damage-single.cws").string()});
    EXPECT_EQ(card.status, kExitOk);
    EXPECT_EQ(card.err, "");
    EXPECT_EQ(card.out, cws.out);
    EXPECT_TRUE(Has(card.out, "技能レベル： 12.7\n"));
}

TEST(CliCardTest, ReadFailureGivesTheCodeAndNothingOnStdout) {
    test::TempDir dir;
    const std::string bytes = test::WriteCard(SingleDamageCard()).cutAt("level", 2);
    const std::int32_t code = test::ReadCard(bytes).code;
    ASSERT_NE(code, 0);
    const std::string path = dir.write("Skill1.wid", bytes).string();
    const CliRun run = RunIn({"rate", path});
    EXPECT_EQ(run.status, kExitReadFailed);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(Has(run.err, "読み込みに失敗しました " + std::to_string(code)));
    EXPECT_TRUE(Has(run.err, path));
}

TEST(CliCardTest, CwsFileWithUpperCaseExtensionIsReadAsACard) {
    test::TempDir dir;
    const auto path = dir.write("skill.CWS", "0000050\r\n000\r\n0\r\n0\r\n0\r\n");
    const CliRun run = RunIn({"rate", path.string()});
    EXPECT_EQ(run.status, kExitReadFailed);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(Has(run.err, "読み込みに失敗しました "));
}

TEST(CliCardTest, CardWithoutTargetIsRatedAsOneEnemyWithAWarning) {
    test::TempDir dir;
    test::WidCardPlan card = SingleDamageCard();
    card.target = 0;
    card.targetAll = 1;
    const std::string path = WriteCardFile(dir, "Skill1.wid", card);
    const CliRun run = RunIn({"rate", path});
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_TRUE(Has(run.err, "対象なしデータです"));
    EXPECT_TRUE(Has(run.err, path));
    EXPECT_TRUE(Has(run.out, "範囲-単体\n"));
    EXPECT_TRUE(Has(run.out, "基本ダメージ(Lv比)"));
}

// Which target each side gives is the load flow's rule; here: the option reaches the rating.
TEST(CliCardTest, CardForBothSidesTakesTheSideOption) {
    test::TempDir dir;
    test::WidCardPlan card = SingleDamageCard();
    card.target = 4;
    card.targetAll = 1;
    const std::string path = WriteCardFile(dir, "Skill1.wid", card);

    const CliRun enemy = RunIn({"rate", "--side", "enemy", path});
    EXPECT_EQ(enemy.status, kExitOk);
    EXPECT_EQ(enemy.err, "");
    EXPECT_TRUE(Has(enemy.out, "基本ダメージ(Lv比)"));

    const CliRun ally = RunIn({"rate", "--side=ally", path});
    EXPECT_EQ(ally.status, kExitOk);
    EXPECT_EQ(ally.err, "");
    EXPECT_TRUE(Has(ally.out, "ダメージは無視されました\n"));

    // Without the option: the enemy side, and a note on how to choose.
    const CliRun unset = RunIn({"rate", path});
    EXPECT_EQ(unset.status, kExitOk);
    EXPECT_EQ(unset.out, enemy.out);
    EXPECT_TRUE(Has(unset.err, "--side"));
}

TEST(CliCardTest, JsonCarriesTheCardNameAndLevel) {
    test::TempDir dir;
    const CliRun run =
        RunIn({"rate", "--json", WriteCardFile(dir, "Skill1.wid", SingleDamageCard())});
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_TRUE(Has(run.out, "\"cardName\":\"火炎弾\",\"cardLevel\":4,\"side\":\"enemy\",\"total\":127,"));
}

TEST(CliCardTest, ListShowsTheLoaderDialogRows) {
    test::TempDir dir;
    test::WidCardPlan second = SingleDamageCard();
    second.name = test::Sz("");
    WriteCardFile(dir, "Skill2.wid", second);
    WriteCardFile(dir, "skill1.WID", SingleDamageCard());
    test::WidCardPlan longName = SingleDamageCard();
    longName.name = test::Sz(std::string(14, 'x'));  // too long for the list
    WriteCardFile(dir, "Skill3.wid", longName);
    WriteCardFile(dir, "Other.wid", SingleDamageCard());
    const CliRun run = RunIn({"list", dir.path().string()});
    EXPECT_EQ(run.status, kExitOk);
    // In byte order of the file names, as the dialog sorts them.
    EXPECT_EQ(run.out, std::string(13, ' ') + "Skill2.wid\n" + "火炎弾" + std::string(7, ' ') +
                           "skill1.WID\n");
}

TEST(CliCardTest, SummaryOfAFolderAndOfSingleFiles) {
    test::TempDir dir;
    const std::string good = WriteCardFile(dir, "Skill1.wid", SingleDamageCard());
    const std::string broken =
        dir.write("Skill2.wid", test::WriteCard(SingleDamageCard()).cutAt("level")).string();
    const std::int32_t code = test::ReadCard(test::ReadFileBytes(broken)).code;
    dir.write("notes.txt", "not a card");
    const std::string cws = (test::ExamplesDir() / "damage-single.cws").string();

    CliRun run = RunIn({"rate", "--summary", dir.path().string(), cws});
    EXPECT_EQ(run.status, kExitReadFailed);
    EXPECT_EQ(run.out, good + "\t火炎弾\t4\t127\t12.7\tok\n" + broken +
                           "\t\t\t\t\t読み込みに失敗しました " + std::to_string(code) + "\n" + cws +
                           "\tdamage-single\t-\t127\t12.7\tok\n");

    run = RunIn({"rate", "--summary", good, cws});
    EXPECT_EQ(run.status, kExitOk);
}

}  // namespace
}  // namespace morvat::cli
