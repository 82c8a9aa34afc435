// SPDX-License-Identifier: MIT
// Writing cws files: the exact bytes of a skill, the ranges each field is written with, and
// saves that either replace the file whole or leave it as it was.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "CaseData.h"
#include "TempDir.h"
#include "TestPaths.h"
#include "files/CwsFile.h"

namespace morvat {
namespace {

std::string Lines(std::initializer_list<std::string_view> lines) {
    std::string out;
    for (std::string_view line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

// One enemy, "物理属性", avoidable, no modifiers, one damage entry by level of value 3.
EditorState SmallDamageSkill() {
    EditorState e;
    AddEffect(e, {.kind = EffectKind::Damage, .value = 3});
    return e;
}

TEST(CwsFormatTest, SmallDamageSkillIsWrittenLineForLine) {
    const std::string file = FormatCwsFile(GatherSkillRecord(SmallDamageSkill()));
    EXPECT_EQ(file, test::SmallDamageFile());

    EditorState loaded;
    std::istringstream in(file);
    ASSERT_TRUE(LoadCwsFile(in, loaded, "small").ok());
    EditorState expected = SmallDamageSkill();
    expected.ObCardname = "small";
    EXPECT_EQ(loaded, expected);
}

TEST(CwsFormatTest, HeaderFieldsAndSuccessStep) {
    EditorState e;
    e.ObTarget = kTargetAllEnemies;
    e.ObVoice = true;
    e.ObAttribute = 3;
    e.ObDefence = 1;
    e.ObEscape = -10;  // set, written as 0
    e.ObDefuse = 10;
    e.ObSuccess = 5;
    std::string file = FormatCwsFile(GatherSkillRecord(e));
    const std::string header = Lines({"0112101", "110", "0", "20", "0"});
    EXPECT_EQ(file.substr(0, header.size()), header);

    e.ObSuccess = -5;
    file = FormatCwsFile(GatherSkillRecord(e));
    EXPECT_EQ(file.substr(0, 9), "0112001\r\n");
    e.ObSuccess = 4;
    file = FormatCwsFile(GatherSkillRecord(e));
    EXPECT_EQ(file.substr(0, 9), "0112091\r\n");
}

TEST(CwsFormatTest, OutOfRangeFieldsAreWrittenAsZero) {
    SkillRecord r;
    r.enemy.damageLv = 2;        // flags are 0..1
    r.enemy.damageLvSum = -4;    // sums have no upper end but no sign
    r.enemy.sleepRounds = 1000;  // rounds are 0..999
    r.enemy.actionDownBy = 11;   // 0..10
    r.enemy.avoidMod = 21;       // 0..20
    r.enemy.mixedAttribute = 3;  // 0..2
    r.enemy.dealConfusionCount = 123456789012;
    const std::string file = FormatCwsFile(r);
    std::istringstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 36u);
    EXPECT_EQ(lines[0], "0000000\r");
    EXPECT_EQ(lines[2], "0\r");
    EXPECT_EQ(lines[5], "000000\r");
    EXPECT_EQ(lines[6], "0\r");
    EXPECT_EQ(lines[17], "0\r");
    EXPECT_EQ(lines[27], "0\r");
    EXPECT_EQ(lines[35], "00000123456789012\r");
}

std::vector<std::string> FileLines(const SkillRecord& r) {
    std::istringstream in(FormatCwsFile(r));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Each ranged field at both sides of its upper end: the highest value is written, one more
// is written as 0.
TEST(CwsFormatTest, UpperEndsOfRoundsAndSteps) {
    SkillRecord r;
    r.enemy.confusionRounds = r.enemy.rageRounds = r.enemy.fearRounds = 999;
    r.enemy.bindRounds = r.enemy.defenceDownRounds = 999;
    r.enemy.defenceDownBy = 10;
    std::vector<std::string> lines = FileLines(r);
    ASSERT_EQ(lines.size(), 36u);
    for (int line : {19, 20, 21, 23, 35}) EXPECT_EQ(lines[line - 1], "999\r") << line;
    EXPECT_EQ(lines[30], "10\r");

    r.enemy.confusionRounds = r.enemy.rageRounds = r.enemy.fearRounds = 1000;
    r.enemy.bindRounds = r.enemy.defenceDownRounds = 1000;
    r.enemy.defenceDownBy = 11;
    lines = FileLines(r);
    for (int line : {19, 20, 21, 23, 31, 35}) EXPECT_EQ(lines[line - 1], "0\r") << line;

    SkillRecord ally;
    ally.enemy.toAllies = ally.ally.toAllies = 1;
    ally.ally.actionUpStep = ally.ally.defenceUpStep = 9;
    ally.ally.defenceUpRounds = ally.ally.braveryRounds = ally.ally.magicNullifyRounds = 999;
    lines = FileLines(ally);
    ASSERT_EQ(lines.size(), 28u);
    for (int line : {19, 22}) EXPECT_EQ(lines[line - 1], "9\r") << line;
    for (int line : {16, 26}) EXPECT_EQ(lines[line - 1], "999\r") << line;
    EXPECT_EQ(lines[27], "0999\r");

    ally.ally.actionUpStep = ally.ally.defenceUpStep = 10;
    ally.ally.defenceUpRounds = ally.ally.braveryRounds = ally.ally.magicNullifyRounds = 1000;
    ally.ally.actionUpRounds = ally.ally.avoidUpRounds = ally.ally.resistUpRounds = 1000;
    lines = FileLines(ally);
    for (int line : {16, 19, 22, 23, 24, 25, 26}) EXPECT_EQ(lines[line - 1], "0\r") << line;
    EXPECT_EQ(lines[27], "00\r");
}

TEST(CwsFormatTest, AllyBlockFollowsTheHeaderForSkillsAimedAtAllies) {
    EditorState e;
    e.ObTarget = kTargetOneAlly;
    AddEffect(e, {.kind = EffectKind::Heal, .value = 30});
    AddEffect(e, {.kind = EffectKind::Heal, .value = 40});
    AddEffect(
        e,
        {.kind = EffectKind::ActionChange, .variation = 3, .rounds = 5});  // a rise of 3 is step 2
    AddEffect(e, {.kind = EffectKind::DealSkill});
    AddEffect(e, {.kind = EffectKind::DealSkill});
    AddEffect(e, {.kind = EffectKind::MagicNullify, .rounds = 12});
    AddEffect(e, {.kind = EffectKind::Poison, .value = 10});  // an enemy-side effect: not written
    EXPECT_EQ(FormatCwsFile(GatherSkillRecord(e)),
              test::ReadFileBytes(test::CaseDir("ally-block-cws") / "ally.cws"));
}

// Each save replaces the whole file; no temporary file is left beside it.
TEST(CwsSaveTest, WritesAndReplacesTheFile) {
    test::TempDir dir;
    const auto path = dir.path() / "skill.cws";
    ASSERT_TRUE(WriteCwsFile(path, GatherSkillRecord(SmallDamageSkill())).ok());
    EXPECT_EQ(test::ReadFileBytes(path), test::SmallDamageFile());

    EditorState longer = SmallDamageSkill();
    longer.ObTarget = kTargetOneAlly;
    const FileResult again = WriteCwsFile(path, GatherSkillRecord(longer));
    ASSERT_TRUE(again.ok()) << again.detail;
    EXPECT_TRUE(again.detail.empty());
    EXPECT_EQ(test::ReadFileBytes(path).substr(0, 9), "1000050\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
}

void ExpectUntouched(const test::TempDir& dir, const std::filesystem::path& path,
                     const std::string& before) {
    EXPECT_EQ(test::ReadFileBytes(path), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1)
        << "a temporary file was left behind";
}

// The folder is read-only for the saving user. Root may write anywhere, so as root the
// save runs in a child process that has given up its privileges.
bool SaveWithoutPrivileges(const std::filesystem::path& path, const SkillRecord& record) {
    if (::geteuid() != 0) return WriteCwsFile(path, record).ok();
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dropped = ::setgid(65534) == 0 && ::setuid(65534) == 0;
        ::_exit(!dropped ? 2 : WriteCwsFile(path, record).ok() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 2) << "could not drop privileges";
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(CwsSaveTest, FailureInReadOnlyFolderKeepsTheOldFile) {
    test::TempDir dir;
    const auto folder = dir.path() / "skills";
    std::filesystem::create_directory(folder);
    const auto path = folder / "old.cws";
    const std::string before = "0000050\r\n000\r\n";
    std::ofstream(path, std::ios::binary) << before;
    std::filesystem::permissions(path, std::filesystem::perms(0666));
    std::filesystem::permissions(dir.path(), std::filesystem::perms(0755));
    std::filesystem::permissions(folder, std::filesystem::perms(0555));

    EXPECT_FALSE(SaveWithoutPrivileges(path, GatherSkillRecord(SmallDamageSkill())));
    EXPECT_EQ(test::ReadFileBytes(path), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                            std::filesystem::directory_iterator()),
              1);
}

// A disk that fills up part way: the write comes up short and must not count as a save.
TEST(CwsSaveTest, ShortWriteFailsAndKeepsTheOldFile) {
    test::TempDir dir;
    const std::string before(100, 'x');
    const auto path = dir.write("old.cws", before);

    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 20;
    auto* const previous = ::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const FileResult result = WriteCwsFile(path, GatherSkillRecord(SmallDamageSkill()));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, previous);

    EXPECT_FALSE(result.ok());
    EXPECT_NE(result.detail.find("ファイルが大きすぎます"), std::string::npos) << result.detail;
    ExpectUntouched(dir, path, before);
}

TEST(CwsSaveTest, TargetThatIsAFolderOrInAMissingFolderFails) {
    test::TempDir dir;
    std::filesystem::create_directory(dir.path() / "taken.cws");
    std::filesystem::create_directory(dir.path() / "taken.cws" / "inside");
    const SkillRecord record = GatherSkillRecord(SmallDamageSkill());
    EXPECT_FALSE(WriteCwsFile(dir.path() / "taken.cws", record).ok());
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "taken.cws" / "inside"));
    EXPECT_FALSE(WriteCwsFile(dir.path() / "missing" / "a.cws", record).ok());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(CwsSaveTest, CardNameIsTheFileNameWithoutFolderAndExtension) {
    EXPECT_EQ(CardNameFromPath("/games/skills/火炎.cws"), "火炎");
    EXPECT_EQ(CardNameFromPath("a.b.cws"), "a.b");
    EXPECT_EQ(CardNameFromPath("dir.x/noext"), "noext");
    EXPECT_EQ(CardNameFromPath(".cws"), "");
}

// The bundled example of an offensive single-target skill is the skill the rating's worked
// example describes, written by this writer.
TEST(CwsExamplesTest, SingleTargetExampleIsTheWorkedRatingExample) {
    EditorState e;
    e.ObSuccess = 1;
    e.ObVoice = true;
    e.ObAttribute = 2;  // "魔法的物理属性"
    e.ObEscape = 2;
    e.ObAssasin = true;
    AddEffect(e, {.kind = EffectKind::Damage, .value = 10});
    EXPECT_EQ(test::ReadFileBytes(test::ExamplesDir() / "damage-single.cws"),
              FormatCwsFile(GatherSkillRecord(e)));
}

TEST(CwsExamplesTest, ExamplesLoadAsTheSkillsTheirNamesSay) {
    struct Case {
        const char* name;
        int target;
    };
    for (const Case c :
         {Case{"damage-single.cws", kTargetOneEnemy}, Case{"damage-all.cws", kTargetAllEnemies},
          Case{"heal-single.cws", kTargetOneAlly}}) {
        std::istringstream in(test::ReadFileBytes(test::ExamplesDir() / c.name));
        EditorState e;
        ASSERT_TRUE(LoadCwsFile(in, e, c.name).ok()) << c.name;
        EXPECT_EQ(e.ObTarget, c.target) << c.name;
        ASSERT_FALSE(e.Obelist.empty()) << c.name;
        const EffectKind first = c.target == kTargetOneAlly ? EffectKind::Heal : EffectKind::Damage;
        EXPECT_EQ(e.Obelist.front().kind, KindNumber(first)) << c.name;
    }
}

}  // namespace
}  // namespace morvat
