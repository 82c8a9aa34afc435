// SPDX-License-Identifier: MIT
// Reducing the editor to the skill record: header, sums, states, ability changes, remarks.
#include <gtest/gtest.h>

#include "model/EffectCatalogue.h"
#include "model/SkillRecord.h"

namespace morvat {
namespace {

EditorState WithRows(std::initializer_list<EffectEntry> rows) {
    EditorState e;
    e.Obelist.assign(rows.begin(), rows.end());
    return e;
}

EffectEntry Row(EffectKind kind, int attribute, int valueKind, int value, int variation,
                int rounds) {
    return MakeEffectEntry(KindNumber(kind), static_cast<std::int8_t>(attribute),
                           static_cast<std::int8_t>(valueKind), value, variation, rounds);
}

TEST(GatherTest, EmptyListStillFillsHeaderAndKeyCodes) {
    EditorState e;
    e.ObTarget = kTargetAllAllies;
    e.ObVoice = true;
    e.ObAttribute = 3;
    e.ObDefence = 1;
    e.ObAssasin = true;
    const SkillRecord r = GatherSkillRecord(e);
    for (const SideHeader* h : {static_cast<const SideHeader*>(&r.enemy),
                                static_cast<const SideHeader*>(&r.ally)}) {
        EXPECT_EQ(h->toAllies, 1);
        EXPECT_EQ(h->toAll, 1);
        EXPECT_EQ(h->needsVoice, 1);
        EXPECT_EQ(h->mixedAttribute, 2);
        EXPECT_EQ(h->resistOnly, 1);
        EXPECT_EQ(h->successStep, 5);
    }
    EXPECT_EQ(r.enemy.assassin, 1);
    EXPECT_EQ(r.enemy.longRange, 0);
    EXPECT_EQ(r.enemy.damageLv, 0);
    EXPECT_EQ(r.remarks, RemarkFlags{});
}

TEST(GatherTest, HeaderModifiersAndSuccessStep) {
    EditorState e;
    e.ObTarget = kNoSelection;
    e.ObEscape = -10;
    e.ObDefuse = 10;
    e.ObGard = 0;
    e.ObSuccess = -5;
    const SkillRecord r = GatherSkillRecord(e);
    EXPECT_EQ(r.enemy.toAllies, 0);
    EXPECT_EQ(r.enemy.toAll, 0);
    EXPECT_EQ(r.enemy.hasAvoidMod, 1);
    EXPECT_EQ(r.enemy.avoidMod, 0);
    EXPECT_EQ(r.enemy.hasResistMod, 1);
    EXPECT_EQ(r.enemy.resistMod, 20);
    EXPECT_EQ(r.enemy.hasDefenceMod, 0);
    EXPECT_EQ(r.enemy.defenceMod, 0);
    EXPECT_EQ(r.enemy.successStep, 0);
    e.ObSuccess = 5;
    e.ObAttribute = 1;  // "魔法属性" rates like the plain attribute
    EXPECT_EQ(GatherSkillRecord(e).enemy.successStep, 10);
    EXPECT_EQ(GatherSkillRecord(e).enemy.mixedAttribute, 0);
}

TEST(GatherTest, ValueSumsByValueKind) {
    const SkillRecord r = GatherSkillRecord(
        WithRows({Row(EffectKind::Heal, 1, 0, 30, 0, 1), Row(EffectKind::Heal, 1, 0, 40, 0, 1),
                  Row(EffectKind::Heal, 1, 1, 8, 0, 1), Row(EffectKind::Heal, 1, 2, 50, 0, 1)}));
    EXPECT_EQ(r.ally.healLv, 1);
    EXPECT_EQ(r.ally.healLvSum, 70);
    EXPECT_EQ(r.ally.healFixed, 1);
    EXPECT_EQ(r.ally.healFixedSum, 8);
    EXPECT_EQ(r.ally.healMax, 1);
    EXPECT_EQ(r.remarks.recoveryAsPhysical, 0);
}

TEST(GatherTest, WeakDamageKeepsTheLargerOfHolyAndMagicAndDrainCountsTwice) {
    const SkillRecord r = GatherSkillRecord(
        WithRows({Row(EffectKind::Damage, 3, 0, 30, 0, 1), Row(EffectKind::Damage, 4, 0, 50, 0, 1),
                  Row(EffectKind::Drain, 3, 0, 20, 0, 1)}));
    EXPECT_EQ(r.enemy.weakDamageLv, 1);
    EXPECT_EQ(r.enemy.weakDamageLvSum, 70);
    EXPECT_EQ(r.enemy.damageLv, 0);
    EXPECT_EQ(r.remarks.drainDoubled, 1);

    const SkillRecord fire = GatherSkillRecord(WithRows({Row(EffectKind::Drain, 5, 0, 10, 0, 1)}));
    EXPECT_EQ(fire.enemy.damageLv, 1);
    EXPECT_EQ(fire.enemy.damageLvSum, 20);

    const SkillRecord magic = GatherSkillRecord(
        WithRows({Row(EffectKind::Damage, 4, 1, 9, 0, 1), Row(EffectKind::Damage, 3, 1, 5, 0, 1)}));
    EXPECT_EQ(magic.enemy.weakDamageFixedSum, 9);
}

TEST(GatherTest, LastEnemyMentalStateDecides) {
    SkillRecord r = GatherSkillRecord(WithRows(
        {Row(EffectKind::Sleep, 2, 0, 1, 0, 5), Row(EffectKind::Sleep, 2, 0, 1, 0, 10),
         Row(EffectKind::Confusion, 2, 0, 1, 0, 3), Row(EffectKind::Sleep, 2, 0, 1, 0, 2)}));
    EXPECT_EQ(r.enemy.sleep, 1);
    EXPECT_EQ(r.enemy.sleepRounds, 2);
    EXPECT_EQ(r.enemy.confusion, 0);
    r = GatherSkillRecord(
        WithRows({Row(EffectKind::Sleep, 2, 0, 1, 0, 5), Row(EffectKind::Sleep, 2, 0, 1, 0, 10)}));
    EXPECT_EQ(r.enemy.sleepRounds, 10);
    r = GatherSkillRecord(WithRows({Row(EffectKind::Fear, 0, 0, 1, 0, 4)}));
    EXPECT_EQ(r.enemy.fear, 1);
    EXPECT_EQ(r.remarks.fearAsMental, 1);
}

TEST(GatherTest, BraveryAndMindNormalReplaceEachOther) {
    SkillRecord r = GatherSkillRecord(WithRows(
        {Row(EffectKind::Bravery, 2, 0, 1, 0, 5), Row(EffectKind::MindNormal, 2, 0, 1, 0, 1)}));
    EXPECT_EQ(r.ally.bravery, 0);
    EXPECT_EQ(r.ally.mindNormal, 1);
    r = GatherSkillRecord(WithRows({Row(EffectKind::MindNormal, 1, 0, 1, 0, 1),
                                    Row(EffectKind::Bravery, 2, 0, 1, 0, 6),
                                    Row(EffectKind::Bravery, 2, 0, 1, 0, 3)}));
    EXPECT_EQ(r.ally.bravery, 1);
    EXPECT_EQ(r.ally.braveryRounds, 6);
    EXPECT_EQ(r.ally.mindNormal, 0);
    EXPECT_EQ(r.remarks.mindNormalAsMental, 1);
}

TEST(GatherTest, DurationStatesKeepTheLongest) {
    const SkillRecord r = GatherSkillRecord(
        WithRows({Row(EffectKind::Bind, 0, 0, 1, 0, 8), Row(EffectKind::Bind, 0, 0, 1, 0, 3),
                  Row(EffectKind::MagicNullify, 0, 0, 1, 0, 4),
                  Row(EffectKind::MagicNullify, 0, 0, 1, 0, 9)}));
    EXPECT_EQ(r.enemy.bind, 1);
    EXPECT_EQ(r.enemy.bindRounds, 8);
    EXPECT_EQ(r.ally.magicNullify, 1);
    EXPECT_EQ(r.ally.magicNullifyRounds, 9);
}

TEST(GatherTest, AbilityChangesOfAnotherSizeReplaceEarlierOnes) {
    SkillRecord r = GatherSkillRecord(WithRows({Row(EffectKind::ActionChange, 0, 0, 1, 3, 5),
                                                Row(EffectKind::ActionChange, 0, 0, 1, 3, 8)}));
    EXPECT_EQ(r.ally.actionUp, 1);
    EXPECT_EQ(r.ally.actionUpStep, 2);
    EXPECT_EQ(r.ally.actionUpRounds, 8);
    r = GatherSkillRecord(WithRows({Row(EffectKind::ActionChange, 0, 0, 1, 3, 5),
                                    Row(EffectKind::ActionChange, 0, 0, 1, 3, 8),
                                    Row(EffectKind::ActionChange, 0, 0, 1, 1, 2)}));
    EXPECT_EQ(r.ally.actionUpStep, 0);
    EXPECT_EQ(r.ally.actionUpRounds, 2);

    r = GatherSkillRecord(WithRows({Row(EffectKind::ActionChange, 0, 0, 1, 0, 7),
                                    Row(EffectKind::DefenceChange, 0, 0, 1, -4, 3)}));
    EXPECT_EQ(r.enemy.actionDown, 1);
    EXPECT_EQ(r.enemy.actionDownBy, 0);
    EXPECT_EQ(r.enemy.defenceDown, 1);
    EXPECT_EQ(r.enemy.defenceDownBy, 4);
    EXPECT_EQ(r.enemy.defenceDownRounds, 3);
    EXPECT_EQ(r.ally.actionUp, 0);
}

TEST(GatherTest, CountsAndRemarks) {
    const SkillRecord r = GatherSkillRecord(WithRows(
        {Row(EffectKind::DealConfusion, 1, 0, 1, 0, 1),
         Row(EffectKind::DealConfusion, 2, 0, 1, 0, 1), Row(EffectKind::DealSkill, 0, 0, 1, 0, 1),
         Row(EffectKind::Poison, 0, 0, 5, 0, 1), Row(EffectKind::Paralysis, 1, 1, 5, 0, 1),
         Row(EffectKind::Heal, 0, 0, 5, 0, 1)}));
    EXPECT_EQ(r.enemy.dealConfusionCount, 2);
    EXPECT_EQ(r.ally.dealSkillCount, 1);
    EXPECT_EQ(r.remarks.dealConfusionAsMental, 1);
    EXPECT_EQ(r.remarks.poisonAsPhysical, 1);
    EXPECT_EQ(r.remarks.paralysisAsPhysical, 0);
    EXPECT_EQ(r.remarks.recoveryAsPhysical, 1);
    EXPECT_EQ(r.ally.healLvSum, 5) << "the remark does not change how the value counts";
}

// The gather sends each row to the side the catalogue gives its kind; a kind the catalogue
// and the gather place on different sides would vanish from the record without a word.
TEST(GatherTest, EveryKindLandsOnTheSideTheCatalogueNames) {
    const SkillRecord empty = GatherSkillRecord(EditorState{});
    for (const EffectKindInfo& info : EffectCatalogue()) {
        for (const int variation : {-2, 2}) {
            const SkillRecord r = GatherSkillRecord(
                WithRows({MakeEffectEntry(static_cast<std::uint8_t>(info.kind),
                                          static_cast<std::int8_t>(info.defaultAttribute),
                                          kValueKindLevel, 5, variation, 3)}));
            EffectSide side = info.side;
            if (side == EffectSide::ByChange)
                side = variation > 0 ? EffectSide::Ally : EffectSide::Enemy;
            EXPECT_EQ(r.enemy != empty.enemy, side == EffectSide::Enemy)
                << "kind " << info.kind << ", change " << variation;
            EXPECT_EQ(r.ally != empty.ally, side == EffectSide::Ally)
                << "kind " << info.kind << ", change " << variation;
        }
    }
    // Rows that are no effect kind are skipped.
    EXPECT_EQ(GatherSkillRecord(WithRows(
                  {MakeEffectEntry(0, 0, 0, 5, 0, 1), MakeEffectEntry(32, 0, 0, 5, 0, 1)})),
              empty);
}

}  // namespace
}  // namespace morvat
