// SPDX-License-Identifier: MIT
// Reading cws files back into the editor: the character rules of each line, files that
// were cut short or written by hand, hostile values, and round trips through the writer.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <map>
#include <sstream>

#include "TestPaths.h"
#include "files/CwsFile.h"
#include "model/EffectCatalogue.h"

namespace morvat {
namespace {

struct Loaded {
    bool ok = false;
    EditorState editor;
};

Loaded Load(std::string_view bytes, std::string_view name = "card") {
    Loaded result;
    // Whatever the editor held before is replaced.
    AddEffect(result.editor, 9, 0, 1, 0, 1);
    result.editor.ObCardname = "before";
    std::istringstream in{std::string(bytes)};
    result.ok = LoadCwsFile(in, result.editor, name);
    return result;
}

// The file of an enemy skill without effects, with some of its 36 lines replaced
// (numbered from 1), joined with `lineEnd`.
std::string EnemyFile(const std::map<int, std::string>& lines, std::string_view lineEnd = "\r\n") {
    std::vector<std::string> all(36, "0");
    all[0] = "0000050";
    all[1] = "000";
    for (int flags : {6, 11}) all[flags - 1] = "000000";
    for (int flags : {17, 27}) all[flags - 1] = "0000";
    all[21] = "000";
    all[25] = "";
    all[35] = "000000";
    for (const auto& [number, text] : lines) all[number - 1] = text;
    std::string out;
    for (const std::string& line : all) out += line + std::string(lineEnd);
    return out;
}

std::string AllyFile(const std::map<int, std::string>& lines) {
    std::vector<std::string> all(28, "0");
    all[0] = "1000050";
    all[1] = "000";
    all[5] = "000";
    all[8] = "000000";
    all[14] = "00";
    all[16] = all[17] = "0000";
    all[26] = all[27] = "00";
    for (const auto& [number, text] : lines) all[number - 1] = text;
    std::string out;
    for (const std::string& line : all) out += line + "\r\n";
    return out;
}

std::string SavedFile(const EditorState& e) {
    return FormatCwsFile(GatherSkillRecord(e));
}

EffectEntry Row(int kind, int attribute, int valueKind, int value, int variation, int rounds) {
    return MakeEffectEntry(static_cast<std::uint8_t>(kind), static_cast<std::int8_t>(attribute),
                           static_cast<std::int8_t>(valueKind), value, variation, rounds);
}

int CountKind(const EditorState& e, int kind) {
    return static_cast<int>(std::count_if(e.Obelist.begin(), e.Obelist.end(),
                                          [kind](const EffectEntry& r) { return r.kind == kind; }));
}

TEST(CwsReaderTest, EmptyFileStopsEarlyWithTheLowestSuccessStep) {
    const Loaded l = Load("");
    EXPECT_FALSE(l.ok);
    EditorState expected;
    expected.ObSuccess = -5;  // the pre-set "0" of line 1 is read as success step 0
    EXPECT_EQ(l.editor, expected);
}

TEST(CwsReaderTest, EarlyStopKeepsOnlyWhatLineOneSet) {
    const Loaded l = Load("1111101\r\n11\r\n5\r\n100000\r\n9\r\n");
    EXPECT_FALSE(l.ok);
    EditorState expected;
    expected.ObTarget = kTargetAllAllies;
    expected.ObVoice = true;
    expected.ObAttribute = 2;
    expected.ObSuccess = 5;
    expected.ObDefence = 1;
    EXPECT_EQ(l.editor, expected);
}

TEST(CwsReaderTest, LineOneCharacterRules) {
    struct Case {
        std::string line;
        int target, attribute, success, defence;
    };
    for (const Case& c : {
             Case{"0100050", kTargetAllEnemies, 0, 0, 0}, Case{"1001050", kTargetOneAlly, 2, 0, 0},
             Case{"0002091", kTargetOneEnemy, 3, 4, 1},
             Case{"0000110", kTargetOneEnemy, 0, 0, 0},  // step 11 is out of range: neutral
             Case{"0000100", kTargetOneEnemy, 0, 5, 0},
             Case{"000005", kTargetOneEnemy, 0, 0, 0},  // too short for the resistance flag
             Case{"00000519", kTargetOneEnemy, 0, 0, 1},
             Case{"01", kTargetAllEnemies, 0, -5, 0},  // the pre-set zeros show through
             Case{"000", kTargetOneEnemy, 3, -5, 0},   // 4th character is the line's end
         }) {
        const Loaded l = Load(EnemyFile({{1, c.line}}));
        ASSERT_TRUE(l.ok) << c.line;
        EXPECT_EQ(l.editor.ObTarget, c.target) << c.line;
        EXPECT_EQ(l.editor.ObAttribute, c.attribute) << c.line;
        EXPECT_EQ(l.editor.ObSuccess, c.success) << c.line;
        EXPECT_EQ(l.editor.ObDefence, c.defence) << c.line;
    }
}

TEST(CwsReaderTest, ModifierLines) {
    Loaded l = Load(EnemyFile({{2, "111"}, {3, "155"}, {4, "155"}, {5, "3"}}));
    EXPECT_EQ(l.editor.ObEscape, 0);  // 155 is out of range: no modifier
    EXPECT_EQ(l.editor.ObDefuse, 5);  // only "15" is taken
    EXPECT_EQ(l.editor.ObGard, -7);
    l = Load(EnemyFile({{2, "010"}, {3, "20"}, {4, ""}, {5, "20"}}));
    EXPECT_EQ(l.editor.ObEscape, 0);
    EXPECT_EQ(l.editor.ObDefuse, -10);
    EXPECT_EQ(l.editor.ObGard, 0);
}

// One above the highest position is as far out of range as 155.
TEST(CwsReaderTest, ModifierOneAboveTheRangeIsNeutral) {
    const Loaded l = Load(EnemyFile({{2, "111"}, {3, "21"}, {4, "21"}, {5, "21"}}));
    EXPECT_EQ(l.editor.ObEscape, 0);
    EXPECT_EQ(l.editor.ObDefuse, 0);
    EXPECT_EQ(l.editor.ObGard, 0);
}

// Flags are read only where the line holds them: a first character other than "1" turns
// the item off whatever follows, and a flag row stops at its own length.
TEST(CwsReaderTest, AllyFlagsAreReadOnlyWhereTheLineHoldsThem) {
    Loaded l = Load(AllyFile({{27, "05"}, {28, "03"}}));
    EXPECT_TRUE(l.editor.Obelist.empty()) << "dealing and nullifying are off";
    l = Load(AllyFile({{17, "00001"}}));
    EXPECT_TRUE(l.editor.Obelist.empty()) << "line 17 holds four releases, not five";
    l = Load(AllyFile({{14, "01"}, {15, "02"}, {16, "4"}}));
    EXPECT_TRUE(l.editor.Obelist.empty()) << "bravery is off, so its rounds add nothing";
}

TEST(CwsReaderTest, LineEndsAndSeparators) {
    EditorState e;
    e.ObTarget = kTargetAllEnemies;
    e.ObAssasin = true;
    AddEffect(e, 2, 0, 45, 0, 1);
    AddEffect(e, 11, 0, 1, 0, 7);
    const std::string crlf = SavedFile(e);
    const Loaded expected = Load(crlf);
    ASSERT_TRUE(expected.ok);

    std::string lf;
    std::string nul;
    for (char c : crlf) {
        if (c != '\r') lf += c;
        if (c != '\r') nul += c == '\n' ? '\0' : c;
    }
    EXPECT_EQ(Load(lf).editor, expected.editor);
    EXPECT_EQ(Load(nul).editor, expected.editor);

    // Anything but a digit ends a line's digits; the rest of that line is skipped.
    const Loaded marked = Load(EnemyFile(
        {{6, "100000 damage"}, {7, "45-3"}, {17, "0100x"}, {19, "7;"}, {36, "000100 key"}},
        "\r\n"));
    EXPECT_EQ(marked.editor.Obelist, expected.editor.Obelist);
}

TEST(CwsReaderTest, LastLineWithoutLineEndKeepsItsDigits) {
    std::string file = EnemyFile({{36, "000110"}});
    file.resize(file.size() - 2);
    const Loaded l = Load(file);
    ASSERT_TRUE(l.ok);
    EXPECT_TRUE(l.editor.ObAssasin);
    EXPECT_TRUE(l.editor.ObFaratack);

    std::string ally = AllyFile({{28, "15"}});
    ally.resize(ally.size() - 2);
    const Loaded healer = Load(ally);
    ASSERT_TRUE(healer.ok);
    EXPECT_EQ(CountKind(healer.editor, 22), 1);
}

// A file that ends early would be rated as a smaller skill: it is not a skill at all. The
// enemy block may lack its key-code line 36, which older files do not have.
TEST(CwsReaderTest, FileCutBeforeTheLastLineOfItsBlockIsNotASkill) {
    const auto firstLines = [](const std::string& file, int count) {
        std::size_t end = 0;
        for (int i = 0; i < count; ++i) end = file.find('\n', end) + 1;
        return file.substr(0, end);
    };
    const std::string enemy = EnemyFile({{6, "100000"}, {7, "3"}});
    const std::string ally = AllyFile({{6, "100"}, {7, "3"}});
    for (int lines = 0; lines <= 36; ++lines) {
        EXPECT_EQ(Load(firstLines(enemy, lines)).ok, lines >= 35) << "enemy, lines " << lines;
    }
    for (int lines = 0; lines <= 28; ++lines) {
        EXPECT_EQ(Load(firstLines(ally, lines)).ok, lines >= 28) << "ally, lines " << lines;
    }
    // Any byte of the last line is enough: its digits, or only its line end.
    EXPECT_TRUE(Load(firstLines(enemy, 34) + "0").ok);
    EXPECT_TRUE(Load(firstLines(enemy, 34) + "\n").ok);
    EXPECT_TRUE(Load(firstLines(ally, 27) + "\r").ok);
    EXPECT_FALSE(Load("0000050\r\n100").ok);
}

TEST(CwsReaderTest, LongLinesKeepTheirFirst49Digits) {
    const std::string line7 = std::string(48, '0') + "7" + "123456789";
    const Loaded l = Load(EnemyFile({{6, "110000"}, {7, line7}, {8, "4"}}));
    ASSERT_TRUE(l.ok);
    // The digits past the 49th neither count nor spill into line 8.
    EXPECT_EQ(l.editor.Obelist, (std::vector{Row(2, 0, 0, 7, 0, 1), Row(2, 0, 1, 4, 0, 1)}));
}

TEST(CwsReaderTest, HostileValuesAddABoundedNumberOfRows) {
    const std::string nines(49, '9');
    const Loaded l = Load(EnemyFile({{6, "100000"},
                                     {7, nines},
                                     {17, "1000"},
                                     {18, nines},
                                     {27, "1000"},
                                     {28, nines},
                                     {32, nines},
                                     {36, "00100" + std::string(44, '9')}}));
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(CountKind(l.editor, 2), 1000);
    EXPECT_EQ(l.editor.Obelist.front(), Row(2, 0, 0, 99, 0, 1));
    EXPECT_EQ(CountKind(l.editor, 30), 1000);
    // One row each; durations and changes out of range are clamped by the entry.
    EXPECT_EQ(CountKind(l.editor, 10), 1);
    EXPECT_EQ(CountKind(l.editor, 24), 1);

    const Loaded ally = Load(AllyFile({{27, "1" + std::string(48, '9')}}));
    EXPECT_EQ(CountKind(ally.editor, 31), 1000);
}

TEST(CwsReaderTest, HugeFileIsReadInLinearTime) {
    std::string file = EnemyFile({});
    file.insert(file.find("\r\n") + 2 + 3, std::string(20'000'000, '1'));  // into line 2
    const auto start = std::chrono::steady_clock::now();
    const Loaded l = Load(file);
    EXPECT_TRUE(l.ok);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(CwsReaderTest, ShortLastEnemyLineDoesNotReadEarlierLines) {
    // Line 35 leaves "1111" in the buffer after the places a short line 36 fills.
    for (const auto& [line36, assassin, longRange] :
         {std::tuple{"", false, false}, std::tuple{"001", false, false},
          std::tuple{"0011", true, false}, std::tuple{"00111", true, true}}) {
        const Loaded l = Load(EnemyFile({{35, "0001111"}, {36, line36}}));
        ASSERT_TRUE(l.ok);
        EXPECT_EQ(CountKind(l.editor, 30), 0) << line36;
        EXPECT_EQ(l.editor.ObAssasin, assassin) << line36;
        EXPECT_EQ(l.editor.ObFaratack, longRange) << line36;
    }
    const Loaded counted = Load(EnemyFile({{36, "1110002"}}));
    EXPECT_EQ(counted.editor.Obelist,
              (std::vector{Row(28, 0, 0, 1, 0, 1), Row(29, 0, 0, 1, 0, 1), Row(30, 2, 0, 1, 0, 1),
                           Row(30, 2, 0, 1, 0, 1)}));
}

TEST(CwsReaderTest, FlagLinesShorterThanTheirFlagsSetNothing) {
    const Loaded l = Load(EnemyFile({{6, "11111"}, {7, "5"}, {8, "5"}, {17, "100"}, {18, "5"}}));
    EXPECT_TRUE(l.editor.Obelist.empty());
    const Loaded ally = Load(AllyFile({{17, "111"}, {15, "1"}, {16, "4"}}));
    EXPECT_EQ(ally.editor.Obelist, (std::vector{Row(13, 2, 0, 1, 0, 4)}));
}

// ---------------------------------------------------------------------------------------
// Through the writer and back

// What the file keeps of a record: no remarks, and no duration of a mental state that a
// later state replaced (the gather leaves those behind, but nothing rates them).
SkillRecord Kept(SkillRecord r) {
    r.remarks = {};
    EnemySideRecord& en = r.enemy;
    for (auto [flag, rounds] :
         {std::pair{en.sleep, &en.sleepRounds}, std::pair{en.confusion, &en.confusionRounds},
          std::pair{en.rage, &en.rageRounds}, std::pair{en.fear, &en.fearRounds},
          std::pair{r.ally.bravery, &r.ally.braveryRounds}}) {
        if (flag == 0) *rounds = 0;
    }
    return r;
}

TEST(CwsRoundTripTest, SplitSumsComeBackAsRowsOf99) {
    EditorState e;
    AddEffect(e, 2, 0, 60, 0, 1);
    AddEffect(e, 2, 0, 70, 0, 1);
    const Loaded l = Load(SavedFile(e));
    EXPECT_EQ(l.editor.Obelist, (std::vector{Row(2, 0, 0, 99, 0, 1), Row(2, 0, 0, 31, 0, 1)}));
}

TEST(CwsRoundTripTest, HolyAndMagicDamageComeBackAsHoly) {
    EditorState e;
    AddEffectWithAttribute(e, 2, kAttributeHoly, 0, 30, 0, 1);
    AddEffectWithAttribute(e, 2, kAttributeMagic, 0, 50, 0, 1);
    AddEffectWithAttribute(e, 3, kAttributeMagic, 1, 4, 0, 1);
    AddEffectWithAttribute(e, 2, kAttributeHoly, 2, 1, 0, 1);
    const Loaded l = Load(SavedFile(e));
    EXPECT_EQ(l.editor.Obelist,
              (std::vector{Row(2, 3, 0, 50, 0, 2), Row(2, 3, 1, 8, 0, 2), Row(2, 3, 2, 1, 0, 2)}));
    EXPECT_EQ(Kept(GatherSkillRecord(l.editor)), Kept(GatherSkillRecord(e)));
}

TEST(CwsRoundTripTest, AbilityChanges) {
    EditorState e;
    AddEffect(e, 24, 0, 1, 0, 7);  // a reset keeps only that it resets
    AddEffect(e, 25, 0, 1, -4, 3);
    Loaded l = Load(SavedFile(e));
    EXPECT_EQ(l.editor.Obelist, (std::vector{Row(24, 0, 0, 1, 0, 1), Row(25, 0, 0, 1, -4, 3)}));

    EditorState ally;
    ally.ObTarget = kTargetAllAllies;
    AddEffect(ally, 26, 0, 1, 3, 5);
    AddEffect(ally, 27, 0, 1, 10, 999);
    l = Load(SavedFile(ally));
    EXPECT_EQ(l.editor.Obelist, (std::vector{Row(26, 0, 0, 1, 3, 5), Row(27, 0, 0, 1, 10, 999)}));
}

TEST(CwsRoundTripTest, DealtCardsComeBackOneRowEach) {
    EditorState e;
    for (int i = 0; i < 3; ++i) AddEffect(e, 30, 0, 1, 0, 10);
    EXPECT_EQ(CountKind(Load(SavedFile(e)).editor, 30), 3);
    e.ObTarget = kTargetOneAlly;
    e.Obelist.clear();
    for (int i = 0; i < 3; ++i) AddEffect(e, 31, 0, 1, 0, 10);
    EXPECT_EQ(CountKind(Load(SavedFile(e)).editor, 31), 3);
}

TEST(CwsRoundTripTest, OffensiveSkillGathersToTheSameRecord) {
    EditorState e;
    e.ObTarget = kTargetAllEnemies;
    e.ObVoice = true;
    e.ObAttribute = 1;  // "魔法属性" is kept as the plain attribute
    e.ObDefence = 1;
    e.ObSuccess = -3;
    e.ObEscape = 5;
    e.ObDefuse = -10;
    e.ObGard = 10;
    e.ObAssasin = true;
    e.ObFaratack = true;
    AddEffect(e, 2, 0, 30, 0, 1);
    AddEffectWithAttribute(e, 3, 5, 0, 10, 0, 1);
    AddEffect(e, 2, 1, 20, 0, 1);
    AddEffect(e, 2, 2, 1, 0, 1);
    AddEffect(e, 6, 0, 5, 0, 1);
    AddEffect(e, 6, 2, 1, 0, 1);
    AddEffect(e, 4, 1, 7, 0, 1);
    AddEffect(e, 9, 0, 1, 0, 1);
    AddEffect(e, 10, 0, 1, 0, 5);
    AddEffect(e, 11, 0, 1, 0, 3);
    AddEffect(e, 10, 0, 1, 0, 10);  // the last mental state wins
    AddEffect(e, 16, 0, 1, 0, 4);
    AddEffect(e, 18, 0, 1, 0, 3);
    AddEffect(e, 20, 0, 1, 0, 2);
    AddEffect(e, 25, 0, 1, -3, 5);
    AddEffect(e, 26, 0, 1, -10, 2);
    AddEffect(e, 27, 0, 1, -1, 999);
    AddEffect(e, 28, 0, 1, 0, 1);
    AddEffect(e, 29, 0, 1, 0, 1);
    AddEffect(e, 30, 0, 1, 0, 1);
    AddEffect(e, 30, 0, 1, 0, 1);
    const Loaded l = Load(SavedFile(e), "storm");
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.editor.ObCardname, "storm");
    EXPECT_EQ(l.editor.ObLevel, "-");
    EXPECT_EQ(l.editor.ObAttribute, 0);
    EXPECT_EQ(Kept(GatherSkillRecord(l.editor)), Kept(GatherSkillRecord(e)));
}

TEST(CwsRoundTripTest, SupportiveSkillsGatherToTheSameRecord) {
    EditorState e;
    e.ObTarget = kTargetOneAlly;
    e.ObSuccess = 5;
    e.ObGard = -1;
    AddEffect(e, 1, 0, 120, 0, 1);
    AddEffect(e, 1, 1, 15, 0, 1);
    AddEffect(e, 1, 2, 1, 0, 1);
    AddEffect(e, 7, 0, 3, 0, 1);
    AddEffect(e, 7, 1, 4, 0, 1);
    AddEffect(e, 7, 2, 1, 0, 1);
    AddEffect(e, 5, 0, 5, 0, 1);
    AddEffect(e, 5, 1, 6, 0, 1);
    AddEffect(e, 5, 2, 1, 0, 1);
    AddEffect(e, 8, 0, 1, 0, 1);
    AddEffect(e, 13, 0, 1, 0, 4);
    for (int kind : {17, 19, 21, 23}) AddEffect(e, static_cast<std::uint8_t>(kind), 0, 1, 0, 1);
    AddEffect(e, 24, 0, 1, 1, 2);
    AddEffect(e, 25, 0, 1, 10, 999);
    AddEffect(e, 31, 0, 1, 0, 1);
    AddEffect(e, 31, 0, 1, 0, 1);
    AddEffect(e, 22, 0, 1, 0, 7);
    Loaded l = Load(SavedFile(e));
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(Kept(GatherSkillRecord(l.editor)), Kept(GatherSkillRecord(e)));
    // The record does not keep the variation or rounds of a release, so compare the rows:
    // they come back in the reader's order, each with its kind's own attribute.
    EditorState expected;
    for (auto [kind, valueKind, value] : {std::array{1, 0, 99}, {1, 0, 21}, {1, 1, 15},
                                          {1, 2, 1}, {7, 0, 3}, {7, 1, 4}, {7, 2, 1},
                                          {5, 0, 5}, {5, 1, 6}, {5, 2, 1}, {8, 0, 1}}) {
        AddEffect(expected, static_cast<std::uint8_t>(kind), static_cast<std::uint8_t>(valueKind),
                  value, 0, 1);
    }
    AddEffect(expected, 13, 0, 1, 0, 4);
    for (int kind : {17, 19, 21, 23}) {
        AddEffect(expected, static_cast<std::uint8_t>(kind), 0, 1, 0, 1);
    }
    AddEffect(expected, 24, 0, 1, 1, 2);
    AddEffect(expected, 25, 0, 1, 10, 999);
    AddEffect(expected, 31, 0, 1, 0, 1);
    AddEffect(expected, 31, 0, 1, 0, 1);
    AddEffect(expected, 22, 0, 1, 0, 7);
    EXPECT_EQ(l.editor.Obelist, expected.Obelist);

    e.Obelist.clear();
    e.ObTarget = kTargetAllAllies;
    AddEffect(e, 13, 0, 1, 0, 4);
    AddEffect(e, 15, 0, 1, 0, 1);  // mind back to normal replaces bravery
    l = Load(SavedFile(e));
    EXPECT_EQ(l.editor.Obelist, (std::vector{Row(15, 2, 0, 1, 0, 1)}));
    EXPECT_EQ(Kept(GatherSkillRecord(l.editor)), Kept(GatherSkillRecord(e)));
}

}  // namespace
}  // namespace morvat
