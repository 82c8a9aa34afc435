// SPDX-License-Identifier: MIT
// The rating's items: the report's lines are drawn from them and stay exactly as they were,
// each phase's items add up to its total line, and two ratings compare item by item.
#include <gtest/gtest.h>

#include <limits>
#include <numeric>

#include "TempDir.h"
#include "TestPaths.h"
#include "CaseData.h"
#include "calc/Comparison.h"
#include "calc/Points.h"
#include "calc/Rating.h"
#include "files/LoadFlows.h"

namespace morvat {
namespace {

using Lines = std::vector<std::string>;
using Phase = ReportPhase;

RatingReport Rate(const EditorState& editor) {
    return RateSkill(GatherSkillRecord(editor));
}

EditorState WorkedExample() {
    EditorState e;
    AddEffect(e, {.kind = EffectKind::Damage});
    SelectRow(e, 0);
    SetSelectedValue(e, 10);
    e.ObSuccess = 1;
    e.ObVoice = true;
    e.ObAttribute = 2;
    e.ObEscape = 2;
    e.ObAssasin = true;
    return e;
}

// The sum of the points of the items of `phase` that add to a total, pinned at the limit
// as the rating's own arithmetic is.
std::int64_t Sum(const RatingReport& report, Phase phase) {
    Points sum = 0;
    for (const ReportItem& item : report.items) {
        if (item.phase == phase && item.adds()) sum += item.points;
    }
    return sum.value();
}

// Every phase's items lead to that phase's total line, and each item's running total is
// the total so far.
void ExpectItemsAddUp(const RatingReport& r) {
    EXPECT_EQ(Sum(r, Phase::First), r.firstTotal);
    EXPECT_EQ(r.firstTotal + Sum(r, Phase::Second), r.secondTotal);
    std::int64_t base = 0;
    int bases = 0;
    for (const ReportItem& item : r.items) {
        if (item.replacesTotal) {
            base = item.points;
            ++bases;
        }
    }
    EXPECT_EQ(bases, 1) << "exactly one range step";
    EXPECT_EQ(base + Sum(r, Phase::Last) + Sum(r, Phase::KeyCodes), r.total);

    std::int64_t running = 0;
    Phase last = Phase::First;
    for (const ReportItem& item : r.items) {
        if (item.phase == Phase::Remarks) {
            EXPECT_EQ(item.points, 0);
            EXPECT_FALSE(item.formula);
            continue;
        }
        EXPECT_GE(item.phase, last) << item.label << ": items come in phase order";
        if (item.phase == Phase::Second && last == Phase::First) running = r.firstTotal;
        last = item.phase;
        running = item.replacesTotal ? item.points : running + item.points;
        EXPECT_EQ(item.runningTotal, running) << item.label;
    }
}

TEST(ReportItemsTest, WorkedExampleItems) {
    const RatingReport r = Rate(WorkedExample());
    const std::vector<ReportItem> expected = {
        {Phase::First, "基本ダメージ(Lv比)", 1100, "<10>*(1+<10>*0.1)*55", 1100},
        {Phase::Second, "成功率修正", 165, "<1100>*<1>*0.15", 1265},
        {Phase::Second, "要発声", -50, std::nullopt, 1215},
        {Phase::Second, "魔法的物理属性", 50, std::nullopt, 1265},
        {Phase::Last, "範囲-単体", 120, "<1265>/7-60", 120, true},
        {Phase::Last, "使用時回避力修正", 2, std::nullopt, 122},
        {Phase::KeyCodes, "キーコード[暗殺]", 5, std::nullopt, 127},
    };
    EXPECT_EQ(r.items, expected);
    EXPECT_EQ(r.firstTotal, 1100);
    EXPECT_EQ(r.secondTotal, 1265);
    EXPECT_EQ(r.total, 127);
    EXPECT_EQ(r.lines(), test::WorkedExampleReport());
    // The lines come from the items: a changed item shows in the lines drawn again.
    RatingReport changed = r;
    changed.items[0].label = "別の項目";
    EXPECT_EQ(changed.body()[2], "別の項目： 1100 point  [<10>*(1+<10>*0.1)*55]");
}

// Each example file has its command-line case in tests/data/cases, named after the file
// (with ".ally" for the allies' side of a card aimed at both), whose expected output is the
// report it always had; here its items add up on every side it can be rated for.
TEST(ReportItemsTest, ExampleFilesHaveTheirCasesAndTheirItemsAddUp) {
    int rated = 0;
    for (const auto& entry : std::filesystem::directory_iterator(test::ExamplesDir())) {
        const std::string name = entry.path().filename().string();
        const std::string extension = entry.path().extension().string();
        if (extension != ".cws" && extension != ".wid") continue;
        for (const bool ally : {false, true}) {
            SCOPED_TRACE(name + (ally ? " (ally)" : ""));
            struct Side : LoadPrompts {
                bool enemy = true;
                bool asked = false;
                void WarnNoTarget() override {}
                bool AskEnemySide() override {
                    asked = true;
                    return enemy;
                }
            } prompts;
            prompts.enemy = !ally;
            EditorState editor;
            ASSERT_EQ(LoadSkillFile(entry.path(), editor, prompts).status, LoadStatus::Loaded);
            // Only a card aimed at both sides has a second report, rated for allies.
            if (ally && !prompts.asked) continue;
            ExpectItemsAddUp(Rate(editor));
            const auto folder = test::CaseDir(name + (ally ? ".ally" : ""));
            EXPECT_TRUE(std::filesystem::exists(folder / "args"))
                << "no case for the example; add " << folder / "args"
                << " and run the case with MORVAT_WRITE_CASES=1 to write its expected output";
            ++rated;
        }
    }
    EXPECT_GE(rated, 8);
}

TEST(ReportItemsTest, CardWithoutEffectsHasTheRangeStepAlone) {
    const RatingReport r = Rate(EditorState{});
    ASSERT_EQ(r.items.size(), 1u);
    EXPECT_EQ(r.items[0], (ReportItem{Phase::Last, "範囲-単体", -60, "<0>/7-60", -60, true}));
    EXPECT_FALSE(r.items[0].adds());
    EXPECT_EQ(r.total, -60);
}

TEST(ReportItemsTest, SupportiveCardItemsAndRemarks) {
    EditorState e;
    e.ObTarget = kTargetAllAllies;
    AddEffect(e, {.kind = EffectKind::Heal, .value = 8});    // heal by level, 8
    AddEffect(e, {.kind = EffectKind::Damage, .value = 5});  // damage: ignored on this side
    AddEffect(e,
              {.kind = EffectKind::AvoidChange, .variation = 2, .rounds = 4});  // avoidance raised
    e.ObSuccess = -2;
    e.ObDefuse = 3;
    e.ObAssasin = true;  // key codes do not count here
    const RatingReport r = Rate(e);
    ExpectItemsAddUp(r);
    std::vector<std::pair<Phase, std::string>> labels;
    for (const ReportItem& item : r.items) labels.emplace_back(item.phase, item.label);
    EXPECT_EQ(labels, (std::vector<std::pair<Phase, std::string>>{
                          {Phase::First, "回復(Lv比)"},
                          {Phase::First, "回避力上昇"},
                          {Phase::Second, "成功率修正"},
                          {Phase::Last, "範囲-全体"},
                          {Phase::Last, "使用時抵抗力修正"},
                          {Phase::Remarks, "ダメージは無視されました"},
                      }));
    EXPECT_EQ(r.remarks(), Lines{"ダメージは無視されました"});
    EXPECT_EQ(r.trailer().back(), "ダメージは無視されました");
}

// Every offensive item at once, on all targets with both key codes: the items keep the
// report's order and still add up.
TEST(ReportItemsTest, CardWithEveryOffensiveItem) {
    SkillRecord r;
    EnemySideRecord& e = r.enemy;
    e.damageLv = e.damageFixed = e.damageMax = 1;
    e.weakDamageLv = e.weakDamageFixed = e.weakDamageMax = 1;
    e.poisonLv = e.poisonFixed = e.poisonMax = 1;
    e.paralysisLv = e.paralysisFixed = e.paralysisMax = 1;
    e.skillDisable = e.sleep = e.confusion = e.rage = e.fear = 1;
    e.bind = e.silence = e.expose = 1;
    e.actionDown = e.avoidDown = e.resistDown = e.defenceDown = 1;
    e.eraseTarget = e.eraseSummon = e.dealConfusion = 1;
    e.damageLvSum = e.damageFixedSum = e.weakDamageLvSum = e.weakDamageFixedSum = 4;
    e.poisonLvSum = e.poisonFixedSum = e.paralysisLvSum = e.paralysisFixedSum = 2;
    e.avoidDownBy = -3;
    e.avoidDownRounds = 2;
    e.dealConfusionCount = 2;
    e.toAll = 1;
    e.successStep = 9;
    e.needsVoice = 1;
    e.mixedAttribute = 2;
    e.resistOnly = 1;
    e.hasAvoidMod = e.hasResistMod = e.hasDefenceMod = 1;
    e.avoidMod = 13;
    e.resistMod = 4;
    e.defenceMod = 20;
    e.assassin = e.longRange = 1;
    const RatingReport report = RateSkill(r);
    ExpectItemsAddUp(report);

    std::size_t first = 0;
    for (const ReportItem& item : report.items) first += item.phase == Phase::First ? 1 : 0;
    EXPECT_EQ(first, 27u);
    const auto& items = report.items;
    EXPECT_EQ(items[first].label, "成功率修正");
    EXPECT_EQ(items[first + 1].label, "要発声");
    EXPECT_EQ(items[first + 2].label, "物理的魔法属性");
    EXPECT_EQ(items[first + 3].label, "抵抗属性");
    EXPECT_EQ(items[first + 4].label, "範囲-全体");
    EXPECT_EQ(items.size(), first + 10);
    EXPECT_EQ(items.back().label, "キーコード[遠距離攻撃]");
    // Every item line of the report is an item's line, in the same order.
    Lines itemLines;
    for (const std::string& line : report.body()) {
        if (line.find(" point") != std::string::npos && line.rfind("　", 0) != 0) {
            itemLines.push_back(line.substr(0, line.find("：")));
        }
    }
    ASSERT_EQ(itemLines.size(), first + 4);
    for (std::size_t i = 0; i < itemLines.size(); ++i) EXPECT_EQ(itemLines[i], items[i].label);
}

// Sums beyond the 64-bit range stay pinned in the items as they do in the lines.
TEST(ReportItemsTest, PinnedSumsAddUpTheSameWay) {
    SkillRecord r;
    r.enemy.damageLv = r.enemy.poisonFixed = 1;
    r.enemy.damageLvSum = std::numeric_limits<std::int64_t>::max() / 3;
    r.enemy.poisonFixedSum = -5;
    r.enemy.needsVoice = 1;
    const RatingReport report = RateSkill(r);
    EXPECT_EQ(report.firstTotal, std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(report.secondTotal, std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(report.items[1].runningTotal, std::numeric_limits<std::int64_t>::max());
}

// ---------------------------------------------------------------------------------------

TEST(RatingComparisonTest, IdenticalRatingsDifferInNothing) {
    const RatingReport r = Rate(WorkedExample());
    const RatingComparison c = CompareRatings(r, r);
    EXPECT_TRUE(c.items.empty());
    EXPECT_EQ(c.totalDifference, 0);
    for (const ItemPair& pair : PairItems(r, r)) {
        EXPECT_EQ(pair.a, pair.b);
        EXPECT_EQ(pair.difference, 0);
    }
    EXPECT_EQ(PairItems(r, r).size(), r.items.size());
}

// Items of one side only are kept in the report's order among the items both sides have.
TEST(RatingComparisonTest, ItemsOfOneSideOnlyKeepTheirPlace) {
    EditorState a = WorkedExample();
    EditorState b = WorkedExample();
    AddEffect(a,
              {.kind = EffectKind::Damage,
               .valueKind = kValueKindFixed});  // fixed damage: A only, after the damage by level
    AddEffect(b, {.kind = EffectKind::Rage, .rounds = 3});  // rage: B only
    b.ObVoice = false;
    b.ObTarget = kTargetAllEnemies;
    b.ObEscape = 4;
    b.ObFaratack = true;
    const RatingReport ra = Rate(a);
    const RatingReport rb = Rate(b);

    std::vector<std::tuple<std::string, std::optional<std::int64_t>, std::optional<std::int64_t>>>
        pairs;
    for (const ItemPair& p : PairItems(ra, rb)) pairs.emplace_back(p.label, p.a, p.b);
    using T = decltype(pairs)::value_type;
    const std::vector<T> expected = {
        T{"基本ダメージ(Lv比)", 1100, 1100},
        T{"基本ダメージ(固定)", 4, std::nullopt},
        T{"激昂状態", std::nullopt, 90},
        T{"成功率修正", 165, 178},
        T{"要発声", -50, std::nullopt},
        T{"魔法的物理属性", 50, 50},
        T{"範囲-単体", 121, std::nullopt},
        T{"範囲-全体", std::nullopt, 354},
        T{"使用時回避力修正", 2, 4},
        T{"キーコード[暗殺]", 5, 5},
        T{"キーコード[遠距離攻撃]", std::nullopt, 2},
    };
    EXPECT_EQ(pairs, expected);

    const RatingComparison c = CompareRatings(ra, rb);
    std::vector<std::pair<std::string, std::int64_t>> differences;
    for (const ItemPair& p : c.items) differences.emplace_back(p.label, p.difference);
    EXPECT_EQ(differences, (std::vector<std::pair<std::string, std::int64_t>>{
                               {"基本ダメージ(固定)", -4},
                               {"激昂状態", 90},
                               {"成功率修正", 13},
                               {"要発声", 50},
                               {"範囲-単体", -121},
                               {"範囲-全体", 354},
                               {"使用時回避力修正", 2},
                               {"キーコード[遠距離攻撃]", 2},
                           }));
    EXPECT_EQ(c.totalA, ra.total);
    EXPECT_EQ(c.totalB, rb.total);
    EXPECT_EQ(c.totalDifference, rb.total - ra.total);
}

TEST(RatingComparisonTest, DifferenceTexts) {
    const std::pair<std::int64_t, const char*> levels[] = {
        {8, "+0.8"}, {-8, "-0.8"}, {0, "0.0"}, {13, "+1.3"}, {-127, "-12.7"}, {-10, "-1.0"}};
    for (const auto& [difference, text] : levels) {
        EXPECT_EQ(FormatLevelDifference(difference), text) << difference;
    }
    EXPECT_EQ(FormatPointsDifference(13), "+13");
    EXPECT_EQ(FormatPointsDifference(-50), "-50");
    EXPECT_EQ(FormatPointsDifference(0), "0");
    EXPECT_EQ(LevelSummary(127), "技能レベル：12.7（合計 127）");
    EXPECT_EQ(LevelSummary(-5), "技能レベル：-0.5（合計 -5）");
}

// Totals at opposite ends of the 64-bit range differ by more than it holds: the difference
// sticks at the limit instead of wrapping to the wrong sign.
TEST(RatingComparisonTest, DifferencesOfExtremeTotalsDoNotWrap) {
    RatingReport low;
    RatingReport high;
    low.total = std::numeric_limits<std::int64_t>::min();
    high.total = std::numeric_limits<std::int64_t>::max();
    low.items = {{Phase::First, "x", low.total, std::nullopt, low.total}};
    high.items = {{Phase::First, "x", high.total, std::nullopt, high.total}};
    EXPECT_EQ(CompareRatings(low, high).totalDifference, std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(CompareRatings(high, low).totalDifference, std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(CompareRatings(low, high).items.at(0).difference,
              std::numeric_limits<std::int64_t>::max());
}

}  // namespace
}  // namespace morvat
