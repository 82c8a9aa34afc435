// SPDX-License-Identifier: MIT
// Point rules of both paths: item formulas with their truncation, the order of the items,
// and the remarks each path prints.
#include <gtest/gtest.h>

#include <functional>

#include "calc/Rating.h"

namespace morvat {
namespace {

using Lines = std::vector<std::string>;

// The item lines of the first phase: between the header and its blank and the blank before
// the subtotal.
Lines FirstPhaseItems(const RatingReport& report) {
    const Lines b = report.body();
    auto end = b.begin() + 2;
    while (end != b.end() && !end->empty()) ++end;
    return Lines(b.begin() + 2, end);
}

struct ItemCase {
    const char* name;
    std::function<void(SkillRecord&)> setUp;
    Lines expected;
};

void PrintTo(const ItemCase& c, std::ostream* os) {
    *os << c.name;
}

class ItemTest : public testing::TestWithParam<ItemCase> {};

TEST_P(ItemTest, FirstPhaseLines) {
    SkillRecord r;
    GetParam().setUp(r);
    EXPECT_EQ(FirstPhaseItems(RateSkill(r)), GetParam().expected);
}

void Ally(SkillRecord& r) {
    r.enemy.toAllies = r.ally.toAllies = 1;
}

INSTANTIATE_TEST_SUITE_P(
    Offensive, ItemTest,
    testing::Values(ItemCase{"DamageLv",
                             [](SkillRecord& r) { r.enemy.damageLv = 1, r.enemy.damageLvSum = 10; },
                             {"基本ダメージ(Lv比)： 1100 point  [<10>*(1+<10>*0.1)*55]"}},
                    // 15525 / 1000: the division applies to the whole product, not to 4.5 first.
                    ItemCase{
                        "DamageFixed",
                        [](SkillRecord& r) { r.enemy.damageFixed = 1, r.enemy.damageFixedSum = 3; },
                        {"基本ダメージ(固定)： 15 point  [<3>*(1+<3>*0.05)*4.5]"}},
                    ItemCase{"WeakDamage",
                             [](SkillRecord& r) {
                                 r.enemy.weakDamageLv = r.enemy.weakDamageFixed = 1;
                                 r.enemy.weakDamageLvSum = r.enemy.weakDamageFixedSum = 1;
                             },
                             {"弱属性ダメージ(Lv比)： 42 point  [<1>*(1+<1>*0.05)*40]",
                              "弱属性ダメージ(固定)： 4 point  [<1>*(1+<1>*0.04)*4]"}},
                    // 1375 / 10 truncates to 137 before the 500 is added.
                    ItemCase{"PoisonAndParalysisLv",
                             [](SkillRecord& r) {
                                 r.enemy.poisonLv = r.enemy.paralysisLv = 1;
                                 r.enemy.poisonLvSum = r.enemy.paralysisLvSum = 1;
                             },
                             {"中毒(Lv比)： 637 point  [<1>*(1+<1>*0.1)*125+500]",
                              "麻痺(Lv比)： 865 point  [<1>*(1+<1>*0.1)*150+700]"}},
                    ItemCase{"AbilityResetIgnoresRoundsAndLoweringCounts",
                             [](SkillRecord& r) {
                                 r.enemy.actionDown = r.enemy.defenceDown = r.enemy.avoidDown = 1;
                                 r.enemy.actionDownRounds = 9;
                                 r.enemy.defenceDownRounds = 9;
                                 r.enemy.avoidDownBy = 3, r.enemy.avoidDownRounds = 4;
                             },
                             {"行動力初期化： 50 point", "回避力減衰： 60 point  [<3>*<4>*5]",
                              "防御力初期化： 60 point"}},
                    ItemCase{"StatesAndCounts",
                             [](SkillRecord& r) {
                                 r.enemy.sleep = 1, r.enemy.sleepRounds = 3;
                                 r.enemy.dealConfusion = 1, r.enemy.dealConfusionCount = 2;
                             },
                             {"睡眠状態： 135 point  [<3>*45]", "混乱配布： 160 point  [<2>*80]"}},
                    // 45 × 9 × 145 = 58725 and 45 × 20 × 200 = 180000: a factor, summand or
                    // divisor one off moves these across a thousand (v = 3 cannot tell 45 from 46).
                    ItemCase{
                        "DamageFixedNine",
                        [](SkillRecord& r) { r.enemy.damageFixed = 1, r.enemy.damageFixedSum = 9; },
                        {"基本ダメージ(固定)： 58 point  [<9>*(1+<9>*0.05)*4.5]"}},
                    ItemCase{
                        "DamageFixedTwenty",
                        [](SkillRecord& r) {
                            r.enemy.damageFixed = 1, r.enemy.damageFixedSum = 20;
                        },
                        {"基本ダメージ(固定)： 180 point  [<20>*(1+<20>*0.05)*4.5]"}},
                    ItemCase{"FixedPoisonAndParalysis",
                             [](SkillRecord& r) {
                                 r.enemy.poisonFixed = r.enemy.paralysisFixed = 1;
                                 r.enemy.poisonFixedSum = 2, r.enemy.paralysisFixedSum = 3;
                             },
                             {"中毒(固定)： 240 point  [<2>*120]",
                              "麻痺(固定)： 510 point  [<3>*170]"}},
                    // Each state with its own number of rounds, so a price or a swapped round
                    // count shows.
                    ItemCase{"EveryStatePricedPerRound",
                             [](SkillRecord& r) {
                                 EnemySideRecord& e = r.enemy;
                                 e.confusion = e.rage = e.fear = e.bind = e.silence = e.expose = 1;
                                 e.confusionRounds = 2, e.rageRounds = 3, e.fearRounds = 4;
                                 e.bindRounds = 5, e.silenceRounds = 6, e.exposeRounds = 7;
                             },
                             {"混乱状態： 80 point  [<2>*40]", "激昂状態： 90 point  [<3>*30]",
                              "恐慌状態： 120 point  [<4>*30]", "束縛状態： 350 point  [<5>*70]",
                              "沈黙状態： 390 point  [<6>*65]", "暴露状態： 105 point  [<7>*15]"}},
                    ItemCase{"EveryLoweringPricedPerStepAndRound",
                             [](SkillRecord& r) {
                                 EnemySideRecord& e = r.enemy;
                                 e.actionDown = e.avoidDown = e.resistDown = e.defenceDown = 1;
                                 e.actionDownBy = 2, e.actionDownRounds = 7;
                                 e.avoidDownBy = 1, e.avoidDownRounds = 9;
                                 e.resistDownBy = 4, e.resistDownRounds = 2;
                                 e.defenceDownBy = 3, e.defenceDownRounds = 5;
                             },
                             {"行動力減衰： 70 point  [<2>*<7>*5]", "回避力減衰： 45 point  [<1>*<9>*5]",
                              "抵抗力減衰： 40 point  [<4>*<2>*5]",
                              "防御力減衰： 90 point  [<3>*<5>*6]"}},
                    ItemCase{"ResetsOfAvoidAndResist",
                             [](SkillRecord& r) {
                                 r.enemy.avoidDown = r.enemy.resistDown = 1;
                                 r.enemy.avoidDownRounds = r.enemy.resistDownRounds = 8;
                             },
                             {"回避力初期化： 50 point", "抵抗力初期化： 50 point"}}),
    [](const testing::TestParamInfo<ItemCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Supportive, ItemTest,
    testing::Values(
        ItemCase{"HealLv",
                 [](SkillRecord& r) { Ally(r), r.ally.healLv = 1, r.ally.healLvSum = 10; },
                 {"回復(Lv比)： 750 point  [<10>*(1+<10>*0.05)*50]"}},
        // 525 / 10 truncates to 52.
        ItemCase{"AllThreeHealsAddUp",
                 [](SkillRecord& r) {
                     Ally(r);
                     r.ally.healLv = r.ally.healFixed = r.ally.healMax = 1;
                     r.ally.healLvSum = 1, r.ally.healFixedSum = 30;
                 },
                 {"回復(Lv比)： 52 point  [<1>*(1+<1>*0.05)*50]",
                  "回復(固定)： 300 point  [<30>*10]", "回復(最大)： 700 point"}},
        ItemCase{"CureLvTruncates",
                 [](SkillRecord& r) {
                     Ally(r), r.ally.curePoisonLv = 1, r.ally.curePoisonLvSum = 1;
                     r.ally.cureParalysisLv = 1, r.ally.cureParalysisLvSum = 7;
                 },
                 {"中毒解除(Lv比)： 36 point  [<1>*(1+<1>*0.03)*35]",
                  "麻痺解除(Lv比)： 296 point  [<7>*(1+<7>*0.03)*35]"}},
        ItemCase{"RaiseCountsTheStepPlusOne",
                 [](SkillRecord& r) {
                     Ally(r);
                     r.ally.actionUp = r.ally.defenceUp = 1;
                     r.ally.actionUpStep = r.ally.defenceUpStep = 2;
                     r.ally.actionUpRounds = r.ally.defenceUpRounds = 10;
                 },
                 {"行動力上昇： 60 point  [<3>*<10>*2]", "防御力上昇： 90 point  [<3>*<10>*3]"}},
        ItemCase{"RoundsAndFixedCures",
                 [](SkillRecord& r) {
                     AllySideRecord& a = r.ally;
                     Ally(r);
                     a.curePoisonFixed = a.cureParalysisFixed = a.bravery = a.magicNullify = 1;
                     a.curePoisonFixedSum = 3, a.cureParalysisFixedSum = 11;
                     a.braveryRounds = 2, a.magicNullifyRounds = 3;
                 },
                 {"中毒解除(固定)： 21 point  [<3>*7]", "麻痺解除(固定)： 77 point  [<11>*7]",
                  "勇敢状態： 70 point  [<2>*35]", "魔法無効化： 60 point  [<3>*20]"}},
        ItemCase{"AvoidAndResistRaises",
                 [](SkillRecord& r) {
                     Ally(r);
                     r.ally.avoidUp = r.ally.resistUp = 1;
                     r.ally.avoidUpStep = 1, r.ally.avoidUpRounds = 4;
                     r.ally.resistUpStep = 0, r.ally.resistUpRounds = 5;
                 },
                 {"回避力上昇： 16 point  [<2>*<4>*2]", "抵抗力上昇： 10 point  [<1>*<5>*2]"}},
        ItemCase{"DealSkill",
                 [](SkillRecord& r) { Ally(r), r.ally.dealSkill = 1, r.ally.dealSkillCount = 1; },
                 {"技能配布： 260 point  [200+<1>*60]"}}),
    [](const testing::TestParamInfo<ItemCase>& info) { return std::string(info.param.name); });

// The label of each item line, up to the colon.
Lines Labels(const Lines& items) {
    Lines labels;
    for (const std::string& line : items) labels.push_back(line.substr(0, line.find("：")));
    return labels;
}

TEST(RatingRulesTest, EveryOffensiveItemInOrder) {
    SkillRecord r;
    for (Flag* f : {&r.enemy.damageLv,
                    &r.enemy.damageFixed,
                    &r.enemy.damageMax,
                    &r.enemy.weakDamageLv,
                    &r.enemy.weakDamageFixed,
                    &r.enemy.weakDamageMax,
                    &r.enemy.poisonLv,
                    &r.enemy.poisonFixed,
                    &r.enemy.poisonMax,
                    &r.enemy.paralysisLv,
                    &r.enemy.paralysisFixed,
                    &r.enemy.paralysisMax,
                    &r.enemy.skillDisable,
                    &r.enemy.sleep,
                    &r.enemy.confusion,
                    &r.enemy.rage,
                    &r.enemy.fear,
                    &r.enemy.bind,
                    &r.enemy.silence,
                    &r.enemy.expose,
                    &r.enemy.actionDown,
                    &r.enemy.avoidDown,
                    &r.enemy.resistDown,
                    &r.enemy.defenceDown,
                    &r.enemy.eraseTarget,
                    &r.enemy.eraseSummon,
                    &r.enemy.dealConfusion}) {
        *f = 1;
    }
    r.enemy.resistDownBy = 1;
    const RatingReport report = RateSkill(r);
    EXPECT_EQ(Labels(FirstPhaseItems(report)), (Lines{"基本ダメージ(Lv比)",
                                                      "基本ダメージ(固定)",
                                                      "基本ダメージ(最大)",
                                                      "弱属性ダメージ(Lv比)",
                                                      "弱属性ダメージ(固定)",
                                                      "弱属性ダメージ(最大)",
                                                      "中毒(Lv比)",
                                                      "中毒(固定)",
                                                      "中毒(最大)",
                                                      "麻痺(Lv比)",
                                                      "麻痺(固定)",
                                                      "麻痺(最大)",
                                                      "技能不能",
                                                      "睡眠状態",
                                                      "混乱状態",
                                                      "激昂状態",
                                                      "恐慌状態",
                                                      "束縛状態",
                                                      "沈黙状態",
                                                      "暴露状態",
                                                      "行動力初期化",
                                                      "回避力初期化",
                                                      "抵抗力減衰",
                                                      "防御力初期化",
                                                      "対象消去",
                                                      "召喚獣消去",
                                                      "混乱配布"}));
    // Zero sums still score the flat parts: 500 + 700 for the Lv poisons, the fixed amounts
    // and the three resets.
    EXPECT_EQ(report.body()[30], "　以上合計： 46210 point");
}

TEST(RatingRulesTest, EverySupportiveItemInOrder) {
    SkillRecord r;
    Ally(r);
    for (Flag* f : {&r.ally.healLv,           &r.ally.healFixed,
                    &r.ally.healMax,          &r.ally.curePoisonLv,
                    &r.ally.curePoisonFixed,  &r.ally.curePoisonMax,
                    &r.ally.cureParalysisLv,  &r.ally.cureParalysisFixed,
                    &r.ally.cureParalysisMax, &r.ally.skillRecover,
                    &r.ally.bravery,          &r.ally.mindNormal,
                    &r.ally.unbind,           &r.ally.unsilence,
                    &r.ally.unexpose,         &r.ally.magicNullify,
                    &r.ally.unnullify,        &r.ally.actionUp,
                    &r.ally.avoidUp,          &r.ally.resistUp,
                    &r.ally.defenceUp,        &r.ally.dealSkill}) {
        *f = 1;
    }
    const RatingReport report = RateSkill(r);
    EXPECT_EQ(Labels(FirstPhaseItems(report)),
              (Lines{"回復(Lv比)",     "回復(固定)",     "回復(最大)",     "中毒解除(Lv比)",
                     "中毒解除(固定)", "中毒解除(最大)", "麻痺解除(Lv比)", "麻痺解除(固定)",
                     "麻痺解除(最大)", "技能回復",       "勇敢状態",       "精神正常",
                     "束縛解除",       "沈黙解除",       "暴露解除",       "魔法無効化",
                     "無効化解除",     "行動力上昇",     "回避力上昇",     "抵抗力上昇",
                     "防御力上昇",     "技能配布"}));
    EXPECT_EQ(report.body()[25], "　以上合計： 3930 point");
}

// Remarks come from the editor: how effects were reckoned first, then what the chosen path
// left out, each in the fixed order of its path and never the other path's list.
TEST(RatingRulesTest, RemarksOfEachPath) {
    EditorState e;
    AddEffect(e, {.kind = EffectKind::DealSkill, .rounds = 10});  // "技能配布", supportive
    AddEffect(
        e,
        {.kind = EffectKind::ActionChange, .variation = 2, .rounds = 10});  // action +2, supportive
    AddEffect(e, {.kind = EffectKind::Drain, .value = 10});                 // drain, offensive
    AddEffectWithAttribute(e, {.kind = EffectKind::Heal, .value = 10},
                           0);  // heal of "全", supportive
    AddEffectWithAttribute(e, {.kind = EffectKind::Poison, .value = 5}, 4);    // poison of "魔法"
    AddEffectWithAttribute(e, {.kind = EffectKind::Bravery, .rounds = 5}, 0);  // bravery of "全"
    AddEffect(e, {.kind = EffectKind::Rage, .rounds = 10});                    // rage, offensive
    AddEffect(e, {.kind = EffectKind::EraseSummon, .rounds = 10});  // erase summons, offensive

    RatingReport offensive = RateSkill(GatherSkillRecord(e));
    EXPECT_EQ(offensive.remarks(),
              (Lines{"中毒は肉体属性で計算されました", "吸収は倍の威力で計算されました",
                     "回復は無視されました", "勇敢状態は無視されました",
                     "行動力上昇は無視されました", "技能配布は無視されました"}));
    const Lines remarks = offensive.remarks();
    const Lines trailer = offensive.trailer();
    EXPECT_TRUE(std::equal(remarks.rbegin(), remarks.rend(), trailer.rbegin()))
        << "the remarks end the trailer";
    EXPECT_EQ(trailer.size(), 5 + remarks.size());

    e.ObTarget = kTargetAllAllies;
    RatingReport supportive = RateSkill(GatherSkillRecord(e));
    EXPECT_EQ(supportive.remarks(),
              (Lines{"各種回復は肉体属性で計算されました", "勇敢状態は精神属性で計算されました",
                     "ダメージは無視されました", "中毒は無視されました", "精神異常は無視されました",
                     "召喚獣消去は無視されました"}));
}

// An ally target with only harmful effects scores nothing and says what it ignored.
TEST(RatingRulesTest, AllyTargetWithOffensiveEffectsOnly) {
    EditorState e;
    e.ObTarget = kTargetOneAlly;
    AddEffect(e, {.kind = EffectKind::Damage, .value = 30});
    AddEffect(e, {.kind = EffectKind::Sleep, .rounds = 10});
    const RatingReport r = RateSkill(GatherSkillRecord(e));
    EXPECT_TRUE(FirstPhaseItems(r).empty());
    EXPECT_EQ(r.body()[3], "　以上合計： 0 point");
    EXPECT_EQ(r.remarks(), (Lines{"ダメージは無視されました", "睡眠状態は無視されました"}));
}

}  // namespace
}  // namespace morvat
