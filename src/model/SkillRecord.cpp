// SPDX-License-Identifier: MIT
#include "model/SkillRecord.h"

#include <algorithm>
#include <array>

#include "model/EffectCatalogue.h"

namespace morvat {
namespace {

SideHeader GatherHeader(const EditorState& editor) {
    SideHeader h;
    // With no target chosen the skill counts as aimed at one enemy.
    h.toAllies = editor.ObTarget == kTargetOneAlly || editor.ObTarget == kTargetAllAllies;
    h.toAll = editor.ObTarget == kTargetAllEnemies || editor.ObTarget == kTargetAllAllies;
    h.needsVoice = editor.ObVoice;
    h.mixedAttribute = editor.ObAttribute == 2 ? 1 : editor.ObAttribute == 3 ? 2 : 0;
    h.successStep = static_cast<std::uint8_t>(std::clamp(editor.ObSuccess, -5, 5) + 5);
    h.resistOnly = editor.ObDefence == 1;
    const auto modifier = [](int position, Flag& has, std::uint8_t& value) {
        position = std::clamp(position, -10, 10);
        has = position != 0;
        value = has ? static_cast<std::uint8_t>(position + 10) : 0;
    };
    modifier(editor.ObEscape, h.hasAvoidMod, h.avoidMod);
    modifier(editor.ObDefuse, h.hasResistMod, h.resistMod);
    modifier(editor.ObGard, h.hasDefenceMod, h.defenceMod);
    return h;
}

// A value effect's three fields: level-relative, fixed and maximum.
struct ValueFields {
    Flag& lv;
    Flag& fixed;
    Flag& max;
    std::int64_t& lvSum;
    std::int64_t& fixedSum;
};

void CountValue(ValueFields f, const EffectEntry& e, std::int64_t amount) {
    switch (e.valueKind) {
        case kValueKindLevel:
            f.lv = 1;
            f.lvSum += amount;
            break;
        case kValueKindFixed:
            f.fixed = 1;
            f.fixedSum += amount;
            break;
        default:
            f.max = 1;
            break;
    }
}

// Duration kept by the enemy mental states and bravery: the kind's own flag already set
// keeps the longer duration, otherwise this entry starts the state afresh.
void EnterState(Flag& flag, std::int64_t& rounds, std::int64_t r) {
    if (flag == 1) {
        rounds = std::max(rounds, r);
    } else {
        flag = 1;
        rounds = r;
    }
}

void LongestRounds(Flag& flag, std::int64_t& rounds, std::int64_t r) {
    rounds = flag == 1 ? std::max(rounds, r) : r;
    flag = 1;
}

// An ability change replaces an earlier one of another size; one of the same size keeps
// the longer duration.
void ChangeAbility(Flag& flag, std::uint8_t& size, std::int64_t& rounds, std::uint8_t m,
                   std::int64_t r) {
    if (flag == 1 && size == m) {
        rounds = std::max(rounds, r);
    } else {
        flag = 1;
        size = m;
        rounds = r;
    }
}

struct WeakDamageSums {
    std::int64_t holyLv = 0, holyFixed = 0, magicLv = 0, magicFixed = 0;
};

// An effect's attribute against the one the rating assumes for its kind.
struct Attribute {
    bool physical;
    bool mental;
};

// One enemy mental state: its flag, its duration and the remark when it is not mental.
struct MentalState {
    Flag& flag;
    std::int64_t& rounds;
    Flag& notMental;
};

// One ability's change on one side: whether it is changed, by how much and for how long.
struct AbilityChange {
    Flag& changed;
    std::uint8_t& size;
    std::int64_t& rounds;
};

// The place of an ability change in the action, avoidance, resistance, defence order.
std::size_t AbilityIndex(EffectKind kind) {
    return static_cast<std::size_t>(KindNumber(kind) - KindNumber(EffectKind::ActionChange));
}

void GatherDamage(EnemySideRecord& en, RemarkFlags& rm, WeakDamageSums& weak, const EffectEntry& e,
                  EffectKind kind) {
    // Drain counts twice: the rating treats it as damage that also heals.
    const bool drain = kind == EffectKind::Drain;
    const std::int64_t amount = drain ? 2 * std::int64_t{e.value} : e.value;
    if (drain) rm.drainDoubled = 1;
    if (e.attribute == kAttributeHoly || e.attribute == kAttributeMagic) {
        const bool holy = e.attribute == kAttributeHoly;
        CountValue({en.weakDamageLv, en.weakDamageFixed, en.weakDamageMax,
                    holy ? weak.holyLv : weak.magicLv, holy ? weak.holyFixed : weak.magicFixed},
                   e, amount);
    } else {
        CountValue({en.damageLv, en.damageFixed, en.damageMax, en.damageLvSum, en.damageFixedSum},
                   e, amount);
    }
}

// One enemy mental state at a time: the last one in the list decides.
void GatherMentalState(EnemySideRecord& en, RemarkFlags& rm, const EffectEntry& e, EffectKind kind,
                       Attribute attribute) {
    const std::array<MentalState, 4> states{{
        {en.sleep, en.sleepRounds, rm.sleepAsMental},
        {en.confusion, en.confusionRounds, rm.confusionAsMental},
        {en.rage, en.rageRounds, rm.rageAsMental},
        {en.fear, en.fearRounds, rm.fearAsMental},
    }};
    const std::size_t own = kind == EffectKind::Sleep       ? 0
                            : kind == EffectKind::Confusion ? 1
                            : kind == EffectKind::Rage      ? 2
                                                            : 3;
    if (!attribute.mental) states[own].notMental = 1;
    for (std::size_t i = 0; i < states.size(); ++i) {
        if (i != own) states[i].flag = 0;
    }
    EnterState(states[own].flag, states[own].rounds, e.rounds);
}

void GatherEnemyEntry(EnemySideRecord& en, RemarkFlags& rm, WeakDamageSums& weak,
                      const EffectEntry& e, EffectKind kind, Attribute attribute) {
    const std::int64_t r = e.rounds;
    switch (kind) {
        case EffectKind::Damage:
        case EffectKind::Drain:
            GatherDamage(en, rm, weak, e, kind);
            break;
        case EffectKind::Paralysis:
        case EffectKind::Poison: {
            const bool poison = kind == EffectKind::Poison;
            if (!attribute.physical) (poison ? rm.poisonAsPhysical : rm.paralysisAsPhysical) = 1;
            CountValue(poison ? ValueFields{en.poisonLv, en.poisonFixed, en.poisonMax,
                                            en.poisonLvSum, en.poisonFixedSum}
                              : ValueFields{en.paralysisLv, en.paralysisFixed, en.paralysisMax,
                                            en.paralysisLvSum, en.paralysisFixedSum},
                       e, e.value);
            break;
        }
        case EffectKind::SkillDisable: en.skillDisable = 1; break;
        case EffectKind::Sleep:
        case EffectKind::Confusion:
        case EffectKind::Rage:
        case EffectKind::Fear:
            GatherMentalState(en, rm, e, kind, attribute);
            break;
        case EffectKind::Bind: LongestRounds(en.bind, en.bindRounds, r); break;
        case EffectKind::Silence: LongestRounds(en.silence, en.silenceRounds, r); break;
        case EffectKind::Expose: LongestRounds(en.expose, en.exposeRounds, r); break;
        case EffectKind::EraseTarget: en.eraseTarget = 1; break;
        case EffectKind::EraseSummon: en.eraseSummon = 1; break;
        case EffectKind::DealConfusion:
            if (!attribute.mental) rm.dealConfusionAsMental = 1;
            en.dealConfusion = 1;
            ++en.dealConfusionCount;
            break;
        default:
            break;  // an ally-side kind
    }
}

// The fields of the three recoveries: heal, cure poison, cure paralysis.
ValueFields RecoveryFields(AllySideRecord& al, EffectKind kind) {
    if (kind == EffectKind::Heal) {
        return {al.healLv, al.healFixed, al.healMax, al.healLvSum, al.healFixedSum};
    }
    if (kind == EffectKind::CurePoison) {
        return {al.curePoisonLv, al.curePoisonFixed, al.curePoisonMax, al.curePoisonLvSum,
                al.curePoisonFixedSum};
    }
    return {al.cureParalysisLv, al.cureParalysisFixed, al.cureParalysisMax,
            al.cureParalysisLvSum, al.cureParalysisFixedSum};
}

void GatherAllyEntry(AllySideRecord& al, RemarkFlags& rm, const EffectEntry& e, EffectKind kind,
                     Attribute attribute) {
    const std::int64_t r = e.rounds;
    switch (kind) {
        case EffectKind::Heal:
        case EffectKind::CureParalysis:
        case EffectKind::CurePoison:
            if (!attribute.physical) rm.recoveryAsPhysical = 1;
            CountValue(RecoveryFields(al, kind), e, e.value);
            break;
        case EffectKind::SkillRecover: al.skillRecover = 1; break;
        case EffectKind::Bravery:
            if (!attribute.mental) rm.braveryAsMental = 1;
            al.mindNormal = 0;
            EnterState(al.bravery, al.braveryRounds, r);
            break;
        case EffectKind::MindNormal:
            if (!attribute.mental) rm.mindNormalAsMental = 1;
            al.bravery = 0;
            al.mindNormal = 1;
            break;
        case EffectKind::Unbind: al.unbind = 1; break;
        case EffectKind::Unsilence: al.unsilence = 1; break;
        case EffectKind::Unexpose: al.unexpose = 1; break;
        case EffectKind::MagicNullify:
            LongestRounds(al.magicNullify, al.magicNullifyRounds, r);
            break;
        case EffectKind::Unnullify: al.unnullify = 1; break;
        case EffectKind::DealSkill:
            al.dealSkill = 1;
            ++al.dealSkillCount;
            break;
        default:
            break;  // an enemy-side kind
    }
}

// A rise works on allies, a fall (or a reset, a change of 0) on enemies.
void GatherAbilityChange(SkillRecord& rec, const EffectEntry& e, EffectKind kind) {
    AllySideRecord& al = rec.ally;
    EnemySideRecord& en = rec.enemy;
    // The four rises, then the four falls.
    const std::array<AbilityChange, 8> changes{{
        {al.actionUp, al.actionUpStep, al.actionUpRounds},
        {al.avoidUp, al.avoidUpStep, al.avoidUpRounds},
        {al.resistUp, al.resistUpStep, al.resistUpRounds},
        {al.defenceUp, al.defenceUpStep, al.defenceUpRounds},
        {en.actionDown, en.actionDownBy, en.actionDownRounds},
        {en.avoidDown, en.avoidDownBy, en.avoidDownRounds},
        {en.resistDown, en.resistDownBy, en.resistDownRounds},
        {en.defenceDown, en.defenceDownBy, en.defenceDownRounds},
    }};
    const std::int32_t c = e.variation;
    const bool rise = c > 0;
    const AbilityChange& change = changes[AbilityIndex(kind) + (rise ? 0 : 4)];
    // A rise is kept as its step, the rise less one; a fall as its size.
    const auto size = static_cast<std::uint8_t>(rise ? c - 1 : -c);
    ChangeAbility(change.changed, change.size, change.rounds, size, e.rounds);
}

void GatherEntry(SkillRecord& rec, WeakDamageSums& weak, const EffectEntry& e) {
    const EffectKindInfo* info = FindEffectKind(e.kind);
    if (info == nullptr) return;  // not an effect kind: the row is skipped
    const auto kind = static_cast<EffectKind>(e.kind);
    const Attribute attribute{e.attribute == kAttributePhysical, e.attribute == kAttributeMental};
    switch (info->side) {
        case EffectSide::Enemy:
            GatherEnemyEntry(rec.enemy, rec.remarks, weak, e, kind, attribute);
            break;
        case EffectSide::Ally:
            GatherAllyEntry(rec.ally, rec.remarks, e, kind, attribute);
            break;
        case EffectSide::ByChange:
            GatherAbilityChange(rec, e, kind);
            break;
    }
}

}  // namespace

SkillRecord GatherSkillRecord(const EditorState& editor) {
    SkillRecord rec;
    const SideHeader header = GatherHeader(editor);
    static_cast<SideHeader&>(rec.enemy) = header;
    static_cast<SideHeader&>(rec.ally) = header;

    WeakDamageSums weak;
    for (const EffectEntry& e : editor.Obelist) GatherEntry(rec, weak, e);

    // Holy and magic damage are rated as one weak-attribute damage: the larger group counts.
    if (rec.enemy.weakDamageLv == 1) {
        rec.enemy.weakDamageLvSum = weak.magicLv > weak.holyLv ? weak.magicLv : weak.holyLv;
    }
    if (rec.enemy.weakDamageFixed == 1) {
        rec.enemy.weakDamageFixedSum =
            weak.magicFixed > weak.holyFixed ? weak.magicFixed : weak.holyFixed;
    }
    rec.enemy.assassin = editor.ObAssasin;
    rec.enemy.longRange = editor.ObFaratack;
    return rec;
}

}  // namespace morvat
