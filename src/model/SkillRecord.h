// SPDX-License-Identifier: MIT
// The skill record: the editor reduced to the flags, sums, durations and counts that the
// rating and the cws file use, split by the side an effect works on, plus the remarks the
// report prints where the rating had to assume something. Sums, durations and counts are
// 64-bit so that no list of rows can overflow them.
#pragma once

#include <cstdint>

#include "model/EditorState.h"

namespace morvat {

using Flag = std::uint8_t;

// The header both side records begin with; the gather writes the same values into both.
struct SideHeader {
    Flag toAllies = 0;
    Flag toAll = 0;
    Flag needsVoice = 0;
    std::uint8_t mixedAttribute = 0;  // 0 plain, 1 "魔法的物理属性", 2 "物理的魔法属性"
    std::uint8_t successStep = 0;     // `ObSuccess` + 5; 5 is neutral
    Flag resistOnly = 0;
    Flag hasAvoidMod = 0;
    Flag hasResistMod = 0;
    Flag hasDefenceMod = 0;
    std::uint8_t avoidMod = 0;    // `ObEscape` + 10 when set, else 0
    std::uint8_t resistMod = 0;   // `ObDefuse` + 10 when set, else 0
    std::uint8_t defenceMod = 0;  // `ObGard` + 10 when set, else 0

    friend bool operator==(const SideHeader&, const SideHeader&) = default;
};

struct EnemySideRecord : SideHeader {
    Flag damageLv = 0, damageFixed = 0, damageMax = 0;
    Flag weakDamageLv = 0, weakDamageFixed = 0, weakDamageMax = 0;
    Flag poisonLv = 0, poisonFixed = 0, poisonMax = 0;
    Flag paralysisLv = 0, paralysisFixed = 0, paralysisMax = 0;
    Flag skillDisable = 0;
    Flag sleep = 0, confusion = 0, rage = 0, fear = 0;
    Flag bind = 0, silence = 0, expose = 0;
    Flag actionDown = 0, avoidDown = 0, resistDown = 0, defenceDown = 0;
    std::uint8_t actionDownBy = 0, avoidDownBy = 0, resistDownBy = 0, defenceDownBy = 0;
    Flag eraseTarget = 0, eraseSummon = 0, dealConfusion = 0;
    Flag assassin = 0, longRange = 0;
    std::int64_t damageLvSum = 0, damageFixedSum = 0;
    std::int64_t weakDamageLvSum = 0, weakDamageFixedSum = 0;
    std::int64_t poisonLvSum = 0, poisonFixedSum = 0;
    std::int64_t paralysisLvSum = 0, paralysisFixedSum = 0;
    std::int64_t sleepRounds = 0, confusionRounds = 0, rageRounds = 0, fearRounds = 0;
    std::int64_t bindRounds = 0, silenceRounds = 0, exposeRounds = 0;
    std::int64_t actionDownRounds = 0, avoidDownRounds = 0, resistDownRounds = 0,
                 defenceDownRounds = 0;
    std::int64_t dealConfusionCount = 0;

    friend bool operator==(const EnemySideRecord&, const EnemySideRecord&) = default;
};

struct AllySideRecord : SideHeader {
    Flag healLv = 0, healFixed = 0, healMax = 0;
    Flag curePoisonLv = 0, curePoisonFixed = 0, curePoisonMax = 0;
    Flag cureParalysisLv = 0, cureParalysisFixed = 0, cureParalysisMax = 0;
    Flag skillRecover = 0;
    Flag bravery = 0, mindNormal = 0;
    Flag unbind = 0, unsilence = 0, unexpose = 0, unnullify = 0;
    Flag actionUp = 0, avoidUp = 0, resistUp = 0, defenceUp = 0;
    std::uint8_t actionUpStep = 0, avoidUpStep = 0, resistUpStep = 0, defenceUpStep = 0;
    Flag dealSkill = 0;
    Flag magicNullify = 0;
    std::int64_t healLvSum = 0, healFixedSum = 0;
    std::int64_t curePoisonLvSum = 0, curePoisonFixedSum = 0;
    std::int64_t cureParalysisLvSum = 0, cureParalysisFixedSum = 0;
    std::int64_t braveryRounds = 0;
    std::int64_t actionUpRounds = 0, avoidUpRounds = 0, resistUpRounds = 0, defenceUpRounds = 0;
    std::int64_t dealSkillCount = 0;
    std::int64_t magicNullifyRounds = 0;

    friend bool operator==(const AllySideRecord&, const AllySideRecord&) = default;
};

struct RemarkFlags {
    Flag poisonAsPhysical = 0;
    Flag paralysisAsPhysical = 0;
    Flag sleepAsMental = 0;
    Flag confusionAsMental = 0;
    Flag rageAsMental = 0;
    Flag fearAsMental = 0;
    Flag dealConfusionAsMental = 0;
    Flag drainDoubled = 0;
    Flag recoveryAsPhysical = 0;
    Flag braveryAsMental = 0;
    Flag mindNormalAsMental = 0;

    friend bool operator==(const RemarkFlags&, const RemarkFlags&) = default;
};

struct SkillRecord {
    EnemySideRecord enemy;
    AllySideRecord ally;
    RemarkFlags remarks;

    friend bool operator==(const SkillRecord&, const SkillRecord&) = default;
};

// Reduces the editor to a fresh record; the editor is not changed.
SkillRecord GatherSkillRecord(const EditorState& editor);

}  // namespace morvat
