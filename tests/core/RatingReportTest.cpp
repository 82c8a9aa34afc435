// SPDX-License-Identifier: MIT
// The report as a whole: phases, range steps, modifiers on use, the level line, the trailer.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>

#include "CaseData.h"
#include "SeededNumbers.h"
#include "calc/Rating.h"

namespace morvat {
namespace {

using Lines = std::vector<std::string>;

RatingReport Rate(const EditorState& editor) {
    return RateSkill(GatherSkillRecord(editor));
}

// True when `expected` appears in `lines` as consecutive lines.
bool HasRun(const Lines& lines, const Lines& expected) {
    return std::search(lines.begin(), lines.end(), expected.begin(), expected.end()) != lines.end();
}

std::string Dump(const Lines& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

TEST(RatingReportTest, WorkedExampleLineByLine) {
    EditorState e;
    AddEffect(e, {.kind = EffectKind::Damage});  // the "ダメージ" palette button
    SelectRow(e, 0);
    SetSelectedValue(e, 10);
    e.ObSuccess = 1;
    e.ObVoice = true;
    e.ObAttribute = 2;  // "魔法的物理属性"
    e.ObEscape = 2;
    e.ObAssasin = true;

    const RatingReport r = Rate(e);
    const Lines& expected = test::WorkedExampleReport();
    EXPECT_EQ(r.lines(), expected) << Dump(r.lines());
    EXPECT_EQ(r.body().size(), 30u);
    EXPECT_TRUE(r.remarks().empty());
    EXPECT_EQ(r.total, 127);
}

struct RangeCase {
    const char* name;
    std::function<void(EditorState&)> setUp;
    Lines expected;  // consecutive lines that must appear
    std::int64_t total;
};

void PrintTo(const RangeCase& c, std::ostream* os) {
    *os << c.name;
}

class RangeAndLevelTest : public testing::TestWithParam<RangeCase> {};

TEST_P(RangeAndLevelTest, Report) {
    EditorState e;
    GetParam().setUp(e);
    const RatingReport r = Rate(e);
    EXPECT_TRUE(HasRun(r.body(), GetParam().expected)) << Dump(r.body());
    EXPECT_EQ(r.total, GetParam().total);
}

// Negative totals must truncate toward zero at every division: floor would be one lower.
INSTANTIATE_TEST_SUITE_P(
    Cases, RangeAndLevelTest,
    testing::Values(
        RangeCase{"SingleTargetNothing",
                  [](EditorState&) {},
                  {"範囲-単体", "　基本値： -60 point  [<0>/7-60]", "", "合計： -60", "", "",
                   "技能レベル： -6.0", ""},
                  -60},
        RangeCase{"AllTargetsNothing",
                  [](EditorState& e) { e.ObTarget = kTargetAllEnemies; },
                  {"範囲-全体", "　基本値： 0 point  [<0>/4]", "", "合計： 0", "", "",
                   "技能レベル： 0.0"},
                  0},
        RangeCase{"NoTargetChosenRatesAsSingleEnemy",
                  [](EditorState& e) { e.ObTarget = kNoSelection; },
                  {"範囲-単体"},
                  -60},
        RangeCase{"VoiceSingleTargetTruncates",
                  [](EditorState& e) { e.ObVoice = true; },
                  {"　以上合計： -50 point", "", "--last フェーズ" + std::string(67, '-'), "",
                   "範囲-単体", "　基本値： -67 point  [<-50>/7-60]"},
                  -67},
        RangeCase{"VoiceAllTargetsTruncates",
                  [](EditorState& e) {
                      e.ObTarget = kTargetAllEnemies;
                      e.ObVoice = true;
                  },
                  {"　基本値： -12 point  [<-50>/4]"},
                  -12},
        RangeCase{
            "LevelBetweenMinusOneAndZero",
            [](EditorState& e) {
                e.ObTarget = kTargetAllEnemies;
                e.ObEscape = -5;
            },
            {"使用時回避力修正", "　追加： -5 point", "", "合計： -5", "", "", "技能レベル： -0.5"},
            -5},
        RangeCase{
            "ModifiersOnUseInOrderAtOnePointANotch",
            [](EditorState& e) {
                e.ObGard = -3;
                e.ObDefuse = 10;
                e.ObEscape = -10;
            },
            {"使用時回避力修正", "　追加： -10 point", "", "使用時抵抗力修正", "　追加： 10 point",
             "", "使用時防御力修正", "　追加： -3 point", "", "合計： -63"},
            -63},
        RangeCase{"BothKeyCodesAfterTheRangeStep",
                  [](EditorState& e) {
                      e.ObAssasin = true;
                      e.ObFaratack = true;
                  },
                  {"キーコード[暗殺]", "　追加： 5 point", "", "キーコード[遠距離攻撃]",
                   "　追加： 2 point", "", "合計： -53"},
                  -53},
        RangeCase{"MixedAttributeAndResistanceAfterVoice",
                  [](EditorState& e) {
                      e.ObVoice = true;
                      e.ObAttribute = 3;  // "物理的魔法属性"
                      e.ObDefence = 1;
                  },
                  {"要発声： -50 point", "物理的魔法属性： -50 point", "抵抗属性： 20 point", "",
                   "　以上合計： -80 point"},
                  -71},
        RangeCase{
            "SupportiveMaxHealSingle",
            [](EditorState& e) {
                e.ObTarget = kTargetOneAlly;
                AddEffect(e, {.kind = EffectKind::Heal, .valueKind = kValueKindMax});
            },
            {"回復(最大)： 700 point", "", "　以上合計： 700 point", "",
             "--2nd フェーズ" + std::string(67, '-'), "", "", "　以上合計： 700 point", "",
             "--last フェーズ" + std::string(67, '-'), "", "範囲-単体",
             "　基本値： 40 point  [<700>/7-60]", "", "合計： 40", "", "", "技能レベル： 4.0"},
            40},
        RangeCase{"SupportiveMaxHealAll",
                  [](EditorState& e) {
                      e.ObTarget = kTargetAllAllies;
                      AddEffect(e, {.kind = EffectKind::Heal, .valueKind = kValueKindMax});
                  },
                  {"範囲-全体", "　基本値： 175 point  [<700>/4]", "", "合計： 175", "", "",
                   "技能レベル： 17.5"},
                  175}),
    [](const testing::TestParamInfo<RangeCase>& info) { return std::string(info.param.name); });

TEST(RatingReportTest, SuccessRateTruncatesTowardZeroAndIsSkippedWhenNeutral) {
    EditorState e;
    e.ObTarget = kTargetOneAlly;
    AddEffect(e, {.kind = EffectKind::CurePoison,
                  .valueKind = kValueKindFixed});  // "中毒解除(固定)" worth 7
    e.ObSuccess = -1;
    Lines body = Rate(e).body();
    EXPECT_TRUE(
        HasRun(body, {"成功率修正： -1 point  [<7>*<-1>*0.15]", "", "　以上合計： 6 point"}))
        << Dump(body);

    const auto hasSuccessLine = [](const Lines& lines) {
        return std::any_of(lines.begin(), lines.end(),
                           [](const std::string& l) { return l.rfind("成功率修正", 0) == 0; });
    };
    e.ObSuccess = 0;
    EXPECT_FALSE(hasSuccessLine(Rate(e).body()));
    EditorState nothing;
    EXPECT_FALSE(hasSuccessLine(Rate(nothing).body())) << "a first phase of 0 still gives no line";
    nothing.ObSuccess = 5;
    EXPECT_TRUE(HasRun(Rate(nothing).body(), {"成功率修正： 0 point  [<0>*<5>*0.15]"}));
}

TEST(RatingReportTest, SupportivePathIgnoresAttributeResistanceAndKeyCodes) {
    EditorState e;
    e.ObTarget = kTargetOneAlly;
    AddEffect(e, {.kind = EffectKind::Heal, .valueKind = kValueKindMax});
    const RatingReport plain = Rate(e);
    e.ObAttribute = 2;
    e.ObDefence = 1;
    e.ObAssasin = true;
    e.ObFaratack = true;
    EXPECT_EQ(Rate(e).lines(), plain.lines());
    EXPECT_EQ(plain.trailer().back(), "【備考】");
}

TEST(RatingReportTest, SkillLevelText) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {-5, "-0.5"},
        {-9, "-0.9"},
        {-10, "-1.0"},
        {-15, "-1.5"},
        {-25, "-2.5"},
        {0, "0.0"},
        {7, "0.7"},
        {9, "0.9"},
        {120, "12.0"},
        {1234, "123.4"},
        {std::numeric_limits<std::int64_t>::min(), "-922337203685477580.8"},
        {std::numeric_limits<std::int64_t>::max(), "922337203685477580.7"}};
    for (const auto& [total, text] : cases) EXPECT_EQ(FormatSkillLevel(total), text) << total;
}

// Sums far beyond anything an editor can hold (a hand-made file) stick at the 64-bit limit
// instead of wrapping around into a negative level.
TEST(RatingReportTest, HugeSumsStickAtTheLimit) {
    SkillRecord r;
    r.enemy.damageLv = 1;
    r.enemy.damageLvSum = std::numeric_limits<std::int64_t>::max() / 3;
    r.enemy.successStep = 10;
    r.enemy.hasAvoidMod = 1;
    r.enemy.avoidMod = 0;
    const RatingReport report = RateSkill(r);
    const std::string max = std::to_string(std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(report.body()[2].substr(0, report.body()[2].find(" point")),
              "基本ダメージ(Lv比)： " + max);
    EXPECT_EQ(report.total, std::numeric_limits<std::int64_t>::max());

    r.enemy.damageLvSum = -std::numeric_limits<std::int64_t>::max() / 3;
    r.enemy.successStep = 0;
    EXPECT_EQ(RateSkill(r).total, std::numeric_limits<std::int64_t>::max())
        << "a huge negative sum squared is still a huge positive amount";
}

// The total alone goes through the same rules with nothing kept: on skills of every side,
// effect, attribute and modifier, also with sums pinned at the 64-bit limit, it is the
// report's total.
TEST(RatingReportTest, TotalAloneIsTheReportsTotal) {
    test::SeededNumbers next(12345);
    for (int i = 0; i < 2000; ++i) {
        EditorState e;
        e.ObTarget = static_cast<int>(next(5)) - 1;  // no selection too
        e.ObVoice = next(2) == 1;
        e.ObAttribute = static_cast<int>(next(4));
        e.ObDefence = static_cast<int>(next(2));
        e.ObSuccess = static_cast<int>(next(11)) - 5;
        e.ObEscape = static_cast<int>(next(21)) - 10;
        e.ObDefuse = static_cast<int>(next(21)) - 10;
        e.ObGard = static_cast<int>(next(21)) - 10;
        e.ObFaratack = next(2) == 1;
        e.ObAssasin = next(2) == 1;
        for (std::uint32_t n = next(8); n > 0; --n) {
            AddEffectWithAttribute(e,
                                   {.kind = static_cast<EffectKind>(next(31) + 1),
                                    .valueKind = static_cast<std::uint8_t>(next(3)),
                                    .value = static_cast<std::int32_t>(next(120)),
                                    .variation = static_cast<std::int32_t>(next(21)) - 10,
                                    .rounds = static_cast<std::int32_t>(next(12))},
                                   static_cast<std::int32_t>(next(7)));
        }
        SkillRecord record = GatherSkillRecord(e);
        if (i % 50 == 0) {
            // Sums no card reaches, pinned at the limit on the way.
            record.enemy.damageLvSum = record.ally.healLvSum =
                std::numeric_limits<std::int64_t>::max() / 3;
        }
        ASSERT_EQ(RateSkillTotal(record), RateSkill(record).total) << "skill " << i;
    }
}

}  // namespace
}  // namespace morvat
