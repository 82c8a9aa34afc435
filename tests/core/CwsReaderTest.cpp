// SPDX-License-Identifier: MIT
// Reading cws files back into the editor: the character rules of each line, files that
// were cut short or written by hand, hostile values, and round trips through the writer.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <map>
#include <sstream>
#include <streambuf>
#include <system_error>

#include "TempDir.h"
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
    AddEffect(result.editor, {.kind = EffectKind::SkillDisable});
    result.editor.ObCardname = "before";
    std::istringstream in{std::string(bytes)};
    result.ok = LoadCwsFile(in, result.editor, name).ok();
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

EffectEntry Row(EffectKind kind, int attribute, int valueKind, int value, int variation,
                int rounds) {
    return MakeEffectEntry(KindNumber(kind), static_cast<std::int8_t>(attribute),
                           static_cast<std::int8_t>(valueKind), value, variation, rounds);
}

int CountKind(const EditorState& e, EffectKind kind) {
    return static_cast<int>(
        std::count_if(e.Obelist.begin(), e.Obelist.end(),
                      [kind](const EffectEntry& r) { return r.kind == KindNumber(kind); }));
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
    AddEffect(e, {.kind = EffectKind::Damage, .value = 45});
    AddEffect(e, {.kind = EffectKind::Confusion, .rounds = 7});
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
    EXPECT_EQ(CountKind(healer.editor, EffectKind::MagicNullify), 1);
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
    EXPECT_EQ(l.editor.Obelist, (std::vector{Row(EffectKind::Damage, 0, 0, 7, 0, 1),
                                             Row(EffectKind::Damage, 0, 1, 4, 0, 1)}));
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
    EXPECT_EQ(CountKind(l.editor, EffectKind::Damage), 1000);
    EXPECT_EQ(l.editor.Obelist.front(), Row(EffectKind::Damage, 0, 0, 99, 0, 1));
    EXPECT_EQ(CountKind(l.editor, EffectKind::DealConfusion), 1000);
    // One row each; durations and changes out of range are clamped by the entry.
    EXPECT_EQ(CountKind(l.editor, EffectKind::Sleep), 1);
    EXPECT_EQ(CountKind(l.editor, EffectKind::ActionChange), 1);

    const Loaded ally = Load(AllyFile({{27, "1" + std::string(48, '9')}}));
    EXPECT_EQ(CountKind(ally.editor, EffectKind::DealSkill), 1000);
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
        EXPECT_EQ(CountKind(l.editor, EffectKind::DealConfusion), 0) << line36;
        EXPECT_EQ(l.editor.ObAssasin, assassin) << line36;
        EXPECT_EQ(l.editor.ObFaratack, longRange) << line36;
    }
    const Loaded counted = Load(EnemyFile({{36, "1110002"}}));
    EXPECT_EQ(counted.editor.Obelist, (std::vector{Row(EffectKind::EraseTarget, 0, 0, 1, 0, 1),
                                                   Row(EffectKind::EraseSummon, 0, 0, 1, 0, 1),
                                                   Row(EffectKind::DealConfusion, 2, 0, 1, 0, 1),
                                                   Row(EffectKind::DealConfusion, 2, 0, 1, 0, 1)}));
}

TEST(CwsReaderTest, FlagLinesShorterThanTheirFlagsSetNothing) {
    const Loaded l = Load(EnemyFile({{6, "11111"}, {7, "5"}, {8, "5"}, {17, "100"}, {18, "5"}}));
    EXPECT_TRUE(l.editor.Obelist.empty());
    const Loaded ally = Load(AllyFile({{17, "111"}, {15, "1"}, {16, "4"}}));
    EXPECT_EQ(ally.editor.Obelist, (std::vector{Row(EffectKind::Bravery, 2, 0, 1, 0, 4)}));
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
    AddEffect(e, {.kind = EffectKind::Damage, .value = 60});
    AddEffect(e, {.kind = EffectKind::Damage, .value = 70});
    const Loaded l = Load(SavedFile(e));
    EXPECT_EQ(l.editor.Obelist, (std::vector{Row(EffectKind::Damage, 0, 0, 99, 0, 1),
                                             Row(EffectKind::Damage, 0, 0, 31, 0, 1)}));
}

TEST(CwsRoundTripTest, HolyAndMagicDamageComeBackAsHoly) {
    EditorState e;
    AddEffectWithAttribute(e, {.kind = EffectKind::Damage, .value = 30}, kAttributeHoly);
    AddEffectWithAttribute(e, {.kind = EffectKind::Damage, .value = 50}, kAttributeMagic);
    AddEffectWithAttribute(e, {.kind = EffectKind::Drain, .valueKind = kValueKindFixed, .value = 4},
                           kAttributeMagic);
    AddEffectWithAttribute(e, {.kind = EffectKind::Damage, .valueKind = kValueKindMax},
                           kAttributeHoly);
    const Loaded l = Load(SavedFile(e));
    EXPECT_EQ(l.editor.Obelist, (std::vector{Row(EffectKind::Damage, 3, 0, 50, 0, 2),
                                             Row(EffectKind::Damage, 3, 1, 8, 0, 2),
                                             Row(EffectKind::Damage, 3, 2, 1, 0, 2)}));
    EXPECT_EQ(Kept(GatherSkillRecord(l.editor)), Kept(GatherSkillRecord(e)));
}

TEST(CwsRoundTripTest, AbilityChanges) {
    EditorState e;
    AddEffect(
        e, {.kind = EffectKind::ActionChange, .rounds = 7});  // a reset keeps only that it resets
    AddEffect(e, {.kind = EffectKind::AvoidChange, .variation = -4, .rounds = 3});
    Loaded l = Load(SavedFile(e));
    EXPECT_EQ(l.editor.Obelist, (std::vector{Row(EffectKind::ActionChange, 0, 0, 1, 0, 1),
                                             Row(EffectKind::AvoidChange, 0, 0, 1, -4, 3)}));

    EditorState ally;
    ally.ObTarget = kTargetAllAllies;
    AddEffect(ally, {.kind = EffectKind::ResistChange, .variation = 3, .rounds = 5});
    AddEffect(ally, {.kind = EffectKind::DefenceChange, .variation = 10, .rounds = 999});
    l = Load(SavedFile(ally));
    EXPECT_EQ(l.editor.Obelist, (std::vector{Row(EffectKind::ResistChange, 0, 0, 1, 3, 5),
                                             Row(EffectKind::DefenceChange, 0, 0, 1, 10, 999)}));
}

TEST(CwsRoundTripTest, DealtCardsComeBackOneRowEach) {
    EditorState e;
    for (int i = 0; i < 3; ++i) AddEffect(e, {.kind = EffectKind::DealConfusion, .rounds = 10});
    EXPECT_EQ(CountKind(Load(SavedFile(e)).editor, EffectKind::DealConfusion), 3);
    e.ObTarget = kTargetOneAlly;
    e.Obelist.clear();
    for (int i = 0; i < 3; ++i) AddEffect(e, {.kind = EffectKind::DealSkill, .rounds = 10});
    EXPECT_EQ(CountKind(Load(SavedFile(e)).editor, EffectKind::DealSkill), 3);
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
    AddEffect(e, {.kind = EffectKind::Damage, .value = 30});
    AddEffectWithAttribute(e, {.kind = EffectKind::Drain, .value = 10}, 5);
    AddEffect(e, {.kind = EffectKind::Damage, .valueKind = kValueKindFixed, .value = 20});
    AddEffect(e, {.kind = EffectKind::Damage, .valueKind = kValueKindMax});
    AddEffect(e, {.kind = EffectKind::Poison, .value = 5});
    AddEffect(e, {.kind = EffectKind::Poison, .valueKind = kValueKindMax});
    AddEffect(e, {.kind = EffectKind::Paralysis, .valueKind = kValueKindFixed, .value = 7});
    AddEffect(e, {.kind = EffectKind::SkillDisable});
    AddEffect(e, {.kind = EffectKind::Sleep, .rounds = 5});
    AddEffect(e, {.kind = EffectKind::Confusion, .rounds = 3});
    AddEffect(e, {.kind = EffectKind::Sleep, .rounds = 10});  // the last mental state wins
    AddEffect(e, {.kind = EffectKind::Bind, .rounds = 4});
    AddEffect(e, {.kind = EffectKind::Silence, .rounds = 3});
    AddEffect(e, {.kind = EffectKind::Expose, .rounds = 2});
    AddEffect(e, {.kind = EffectKind::AvoidChange, .variation = -3, .rounds = 5});
    AddEffect(e, {.kind = EffectKind::ResistChange, .variation = -10, .rounds = 2});
    AddEffect(e, {.kind = EffectKind::DefenceChange, .variation = -1, .rounds = 999});
    AddEffect(e, {.kind = EffectKind::EraseTarget});
    AddEffect(e, {.kind = EffectKind::EraseSummon});
    AddEffect(e, {.kind = EffectKind::DealConfusion});
    AddEffect(e, {.kind = EffectKind::DealConfusion});
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
    // Added in the order the reader adds them back.
    const NewEffect rows[] = {
        {.kind = EffectKind::Heal, .value = 120},
        {.kind = EffectKind::Heal, .valueKind = kValueKindFixed, .value = 15},
        {.kind = EffectKind::Heal, .valueKind = kValueKindMax},
        {.kind = EffectKind::CurePoison, .value = 3},
        {.kind = EffectKind::CurePoison, .valueKind = kValueKindFixed, .value = 4},
        {.kind = EffectKind::CurePoison, .valueKind = kValueKindMax},
        {.kind = EffectKind::CureParalysis, .value = 5},
        {.kind = EffectKind::CureParalysis, .valueKind = kValueKindFixed, .value = 6},
        {.kind = EffectKind::CureParalysis, .valueKind = kValueKindMax},
        {.kind = EffectKind::SkillRecover},
        {.kind = EffectKind::Bravery, .rounds = 4},
        {.kind = EffectKind::Unbind},
        {.kind = EffectKind::Unsilence},
        {.kind = EffectKind::Unexpose},
        {.kind = EffectKind::Unnullify},
        {.kind = EffectKind::ActionChange, .variation = 1, .rounds = 2},
        {.kind = EffectKind::AvoidChange, .variation = 10, .rounds = 999},
        {.kind = EffectKind::DealSkill},
        {.kind = EffectKind::DealSkill},
        {.kind = EffectKind::MagicNullify, .rounds = 7},
    };
    for (const NewEffect& row : rows) AddEffect(e, row);
    ASSERT_EQ(e.Obelist.at(1).value, 21) << "the heal of 120 is two rows";
    Loaded l = Load(SavedFile(e));
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(Kept(GatherSkillRecord(l.editor)), Kept(GatherSkillRecord(e)));
    // The record does not keep the variation or rounds of a release, so compare the rows:
    // they come back in the reader's order, each with its kind's own attribute.
    EXPECT_EQ(l.editor.Obelist, e.Obelist);

    e.Obelist.clear();
    e.ObTarget = kTargetAllAllies;
    AddEffect(e, {.kind = EffectKind::Bravery, .rounds = 4});
    AddEffect(e, {.kind = EffectKind::MindNormal});  // mind back to normal replaces bravery
    l = Load(SavedFile(e));
    EXPECT_EQ(l.editor.Obelist, (std::vector{Row(EffectKind::MindNormal, 2, 0, 1, 0, 1)}));
    EXPECT_EQ(Kept(GatherSkillRecord(l.editor)), Kept(GatherSkillRecord(e)));
}

}  // namespace
}  // namespace morvat

namespace morvat {
namespace {

// A stream whose reads fail after `given` bytes, as a file on a failing disk does.
class FailingBuffer : public std::streambuf {
public:
    explicit FailingBuffer(std::string given) : given_(std::move(given)) {}

protected:
    int_type underflow() override {
        if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
        if (handedOut_ || given_.empty()) {
            throw std::system_error(EIO, std::generic_category(), "read");
        }
        handedOut_ = true;
        setg(given_.data(), given_.data(), given_.data() + given_.size());
        return traits_type::to_int_type(*gptr());
    }

private:
    std::string given_;
    bool handedOut_ = false;
};

// The reader tells a failed read from a file that ends early: both leave no skill, but only
// the first is the disk's fault. A failure after the last line the reader needs is none.
TEST(CwsReaderTest, ReadThatFailsPartWayIsUnreadableNotShort) {
    const std::string whole = test::ReadFileBytes(test::ExamplesDir() / "damage-single.cws");
    for (const std::size_t cut : {std::size_t{0}, std::size_t{20}, whole.size() - 10}) {
        SCOPED_TRACE(cut);
        FailingBuffer buffer(whole.substr(0, cut));
        std::istream in(&buffer);
        EditorState editor;
        const FileResult read = LoadCwsFile(in, editor, "card");
        EXPECT_EQ(read.status, FileStatus::Unreadable);
        EXPECT_EQ(read.error, EIO);
    }
    std::istringstream cut(whole.substr(0, 20));
    EditorState editor;
    EXPECT_EQ(LoadCwsFile(cut, editor, "card").status, FileStatus::NotWhole);
    FailingBuffer afterTheEnd(whole);
    std::istream all(&afterTheEnd);
    EXPECT_TRUE(LoadCwsFile(all, editor, "card").ok());
}

}  // namespace
}  // namespace morvat
