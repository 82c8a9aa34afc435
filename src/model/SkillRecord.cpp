// SPDX-License-Identifier: MIT
#include "model/SkillRecord.h"

#include <algorithm>

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

void GatherEntry(SkillRecord& rec, WeakDamageSums& weak, const EffectEntry& e) {
    EnemySideRecord& en = rec.enemy;
    AllySideRecord& al = rec.ally;
    RemarkFlags& rm = rec.remarks;
    const std::int64_t v = e.value;
    const std::int64_t r = e.rounds;
    const bool physical = e.attribute == kAttributePhysical;
    const bool mental = e.attribute == kAttributeMental;

    switch (e.kind) {
        case 1:
            if (!physical) rm.recoveryAsPhysical = 1;
            CountValue({al.healLv, al.healFixed, al.healMax, al.healLvSum, al.healFixedSum}, e, v);
            break;
        case 2:
        case 3: {
            // Drain counts twice: the rating treats it as damage that also heals.
            const std::int64_t amount = e.kind == 3 ? 2 * v : v;
            if (e.kind == 3) rm.drainDoubled = 1;
            if (e.attribute == kAttributeHoly || e.attribute == kAttributeMagic) {
                const bool holy = e.attribute == kAttributeHoly;
                CountValue({en.weakDamageLv, en.weakDamageFixed, en.weakDamageMax,
                            holy ? weak.holyLv : weak.magicLv,
                            holy ? weak.holyFixed : weak.magicFixed},
                           e, amount);
            } else {
                CountValue({en.damageLv, en.damageFixed, en.damageMax, en.damageLvSum,
                            en.damageFixedSum},
                           e, amount);
            }
            break;
        }
        case 4:
            if (!physical) rm.paralysisAsPhysical = 1;
            CountValue({en.paralysisLv, en.paralysisFixed, en.paralysisMax, en.paralysisLvSum,
                        en.paralysisFixedSum},
                       e, v);
            break;
        case 5:
            if (!physical) rm.recoveryAsPhysical = 1;
            CountValue({al.cureParalysisLv, al.cureParalysisFixed, al.cureParalysisMax,
                        al.cureParalysisLvSum, al.cureParalysisFixedSum},
                       e, v);
            break;
        case 6:
            if (!physical) rm.poisonAsPhysical = 1;
            CountValue({en.poisonLv, en.poisonFixed, en.poisonMax, en.poisonLvSum,
                        en.poisonFixedSum},
                       e, v);
            break;
        case 7:
            if (!physical) rm.recoveryAsPhysical = 1;
            CountValue({al.curePoisonLv, al.curePoisonFixed, al.curePoisonMax,
                        al.curePoisonLvSum, al.curePoisonFixedSum},
                       e, v);
            break;
        case 8: al.skillRecover = 1; break;
        case 9: en.skillDisable = 1; break;
        case 10:
        case 11:
        case 12:
        case 14: {
            // One enemy mental state at a time: the last one in the list decides.
            Flag* flags[] = {&en.sleep, &en.confusion, &en.rage, &en.fear};
            std::int64_t* rounds[] = {&en.sleepRounds, &en.confusionRounds, &en.rageRounds,
                                      &en.fearRounds};
            Flag* remarks[] = {&rm.sleepAsMental, &rm.confusionAsMental, &rm.rageAsMental,
                               &rm.fearAsMental};
            const int own = e.kind == 14 ? 3 : e.kind - 10;
            if (!mental) *remarks[own] = 1;
            for (int i = 0; i < 4; ++i) {
                if (i != own) *flags[i] = 0;
            }
            EnterState(*flags[own], *rounds[own], r);
            break;
        }
        case 13:
            if (!mental) rm.braveryAsMental = 1;
            al.mindNormal = 0;
            EnterState(al.bravery, al.braveryRounds, r);
            break;
        case 15:
            if (!mental) rm.mindNormalAsMental = 1;
            al.bravery = 0;
            al.mindNormal = 1;
            break;
        case 16: LongestRounds(en.bind, en.bindRounds, r); break;
        case 17: al.unbind = 1; break;
        case 18: LongestRounds(en.silence, en.silenceRounds, r); break;
        case 19: al.unsilence = 1; break;
        case 20: LongestRounds(en.expose, en.exposeRounds, r); break;
        case 21: al.unexpose = 1; break;
        case 22: LongestRounds(al.magicNullify, al.magicNullifyRounds, r); break;
        case 23: al.unnullify = 1; break;
        case 24:
        case 25:
        case 26:
        case 27: {
            const int i = e.kind - 24;
            const std::int32_t c = e.variation;
            if (c > 0) {
                Flag* flags[] = {&al.actionUp, &al.avoidUp, &al.resistUp, &al.defenceUp};
                std::uint8_t* steps[] = {&al.actionUpStep, &al.avoidUpStep, &al.resistUpStep,
                                         &al.defenceUpStep};
                std::int64_t* rounds[] = {&al.actionUpRounds, &al.avoidUpRounds,
                                          &al.resistUpRounds, &al.defenceUpRounds};
                ChangeAbility(*flags[i], *steps[i], *rounds[i], static_cast<std::uint8_t>(c - 1),
                              r);
            } else {
                Flag* flags[] = {&en.actionDown, &en.avoidDown, &en.resistDown, &en.defenceDown};
                std::uint8_t* sizes[] = {&en.actionDownBy, &en.avoidDownBy, &en.resistDownBy,
                                         &en.defenceDownBy};
                std::int64_t* rounds[] = {&en.actionDownRounds, &en.avoidDownRounds,
                                          &en.resistDownRounds, &en.defenceDownRounds};
                ChangeAbility(*flags[i], *sizes[i], *rounds[i], static_cast<std::uint8_t>(-c), r);
            }
            break;
        }
        case 28: en.eraseTarget = 1; break;
        case 29: en.eraseSummon = 1; break;
        case 30:
            if (!mental) rm.dealConfusionAsMental = 1;
            en.dealConfusion = 1;
            ++en.dealConfusionCount;
            break;
        case 31:
            al.dealSkill = 1;
            ++al.dealSkillCount;
            break;
        default:
            break;  // not an effect kind: the row is skipped
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
