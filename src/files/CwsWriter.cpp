// SPDX-License-Identifier: MIT
// Writing the cws file: the skill record's fields in their fixed lines.
#include <array>
#include <initializer_list>

#include "files/CwsFile.h"

namespace morvat {
namespace {

// `high` of kNoUpperEnd: sums and counts have no upper end.
constexpr std::int64_t kNoUpperEnd = -1;

// A value outside its range is written as the lower end, which is 0 for every field: a
// damaged record never produces a line the reader would misread as another field.
void WriteNumber(std::string& out, std::int64_t value, std::int64_t low, std::int64_t high) {
    const bool inRange = value >= low && (high == kNoUpperEnd || value <= high);
    out += std::to_string(inRange ? value : low);
}

void WriteFlag(std::string& out, std::int64_t value) {
    WriteNumber(out, value, 0, 1);
}

void EndLine(std::string& out) {
    out += "\r\n";
}

void FlagLine(std::string& out, std::initializer_list<std::int64_t> flags) {
    for (std::int64_t f : flags) WriteFlag(out, f);
    EndLine(out);
}

void NumberLine(std::string& out, std::int64_t value, std::int64_t low, std::int64_t high) {
    WriteNumber(out, value, low, high);
    EndLine(out);
}

void WriteHeader(std::string& out, const SideHeader& h) {
    WriteFlag(out, h.toAllies);
    WriteFlag(out, h.toAll);
    WriteFlag(out, h.needsVoice);
    WriteNumber(out, h.mixedAttribute, 0, 2);
    // The success step always takes two characters so that the reader finds the
    // resistance flag at the 7th.
    if (h.successStep > 9) {
        out += "10";
    } else {
        out += '0';
        WriteNumber(out, h.successStep, 0, 9);
    }
    WriteFlag(out, h.resistOnly);
    EndLine(out);
    FlagLine(out, {h.hasAvoidMod, h.hasResistMod, h.hasDefenceMod});
    NumberLine(out, h.avoidMod, 0, 20);
    NumberLine(out, h.resistMod, 0, 20);
    NumberLine(out, h.defenceMod, 0, 20);
}

// One value effect's fields: by level, fixed and maximum flags, and the two sums.
struct ValueEffectLines {
    std::int64_t byLevel, fixed, maximum;
    std::int64_t levelSum, fixedSum;
};

// The flags of one or two value effects on one line, then each effect's two sums.
void WriteValueEffects(std::string& out, std::initializer_list<ValueEffectLines> effects) {
    for (const ValueEffectLines& v : effects) {
        WriteFlag(out, v.byLevel);
        WriteFlag(out, v.fixed);
        WriteFlag(out, v.maximum);
    }
    EndLine(out);
    for (const ValueEffectLines& v : effects) {
        NumberLine(out, v.levelSum, 0, kNoUpperEnd);
        NumberLine(out, v.fixedSum, 0, kNoUpperEnd);
    }
}

// The four ability changes of one side, in the action, avoidance, resistance, defence
// order: a line of flags, a line for each size, a line for each duration.
struct AbilityChangeLines {
    std::array<std::int64_t, 4> changed;
    std::array<std::int64_t, 4> sizes;
    std::int64_t largestSize;
    std::array<std::int64_t, 4> rounds;
};

void WriteAbilityChanges(std::string& out, const AbilityChangeLines& lines) {
    for (std::int64_t f : lines.changed) WriteFlag(out, f);
    EndLine(out);
    for (std::int64_t size : lines.sizes) NumberLine(out, size, 0, lines.largestSize);
    for (std::int64_t r : lines.rounds) NumberLine(out, r, 0, 999);
}

void WriteEnemyBlock(std::string& out, const EnemySideRecord& e) {
    WriteValueEffects(out,
                      {{e.damageLv, e.damageFixed, e.damageMax, e.damageLvSum, e.damageFixedSum},
                       {e.weakDamageLv, e.weakDamageFixed, e.weakDamageMax, e.weakDamageLvSum,
                        e.weakDamageFixedSum}});
    WriteValueEffects(
        out,
        {{e.poisonLv, e.poisonFixed, e.poisonMax, e.poisonLvSum, e.poisonFixedSum},
         {e.paralysisLv, e.paralysisFixed, e.paralysisMax, e.paralysisLvSum, e.paralysisFixedSum}});
    FlagLine(out, {e.skillDisable});
    FlagLine(out, {e.sleep, e.confusion, e.rage, e.fear});
    NumberLine(out, e.sleepRounds, 0, 999);
    NumberLine(out, e.confusionRounds, 0, 999);
    NumberLine(out, e.rageRounds, 0, 999);
    NumberLine(out, e.fearRounds, 0, 999);
    FlagLine(out, {e.bind, e.silence, e.expose});
    NumberLine(out, e.bindRounds, 0, 999);
    NumberLine(out, e.silenceRounds, 0, 999);
    NumberLine(out, e.exposeRounds, 0, 999);
    EndLine(out);  // line 26 holds nothing
    WriteAbilityChanges(out,
                        {.changed = {e.actionDown, e.avoidDown, e.resistDown, e.defenceDown},
                         .sizes = {e.actionDownBy, e.avoidDownBy, e.resistDownBy, e.defenceDownBy},
                         .largestSize = 10,
                         .rounds = {e.actionDownRounds, e.avoidDownRounds, e.resistDownRounds,
                                    e.defenceDownRounds}});
    for (std::int64_t f :
         {e.eraseTarget, e.eraseSummon, e.dealConfusion, e.assassin, e.longRange}) {
        WriteFlag(out, f);
    }
    NumberLine(out, e.dealConfusionCount, 0, kNoUpperEnd);
}

void WriteAllyBlock(std::string& out, const AllySideRecord& a) {
    WriteValueEffects(out, {{a.healLv, a.healFixed, a.healMax, a.healLvSum, a.healFixedSum}});
    WriteValueEffects(out, {{a.curePoisonLv, a.curePoisonFixed, a.curePoisonMax, a.curePoisonLvSum,
                             a.curePoisonFixedSum},
                            {a.cureParalysisLv, a.cureParalysisFixed, a.cureParalysisMax,
                             a.cureParalysisLvSum, a.cureParalysisFixedSum}});
    FlagLine(out, {a.skillRecover});
    FlagLine(out, {a.bravery, a.mindNormal});
    NumberLine(out, a.braveryRounds, 0, 999);
    FlagLine(out, {a.unbind, a.unsilence, a.unexpose, a.unnullify});
    WriteAbilityChanges(
        out, {.changed = {a.actionUp, a.avoidUp, a.resistUp, a.defenceUp},
              .sizes = {a.actionUpStep, a.avoidUpStep, a.resistUpStep, a.defenceUpStep},
              .largestSize = 9,
              .rounds = {a.actionUpRounds, a.avoidUpRounds, a.resistUpRounds, a.defenceUpRounds}});
    WriteFlag(out, a.dealSkill);
    NumberLine(out, a.dealSkillCount, 0, kNoUpperEnd);
    WriteFlag(out, a.magicNullify);
    NumberLine(out, a.magicNullifyRounds, 0, 999);
}

}  // namespace

std::string FormatCwsFile(const SkillRecord& record) {
    std::string out;
    if (record.enemy.toAllies == 1) {
        WriteHeader(out, record.ally);
        WriteAllyBlock(out, record.ally);
    } else {
        WriteHeader(out, record.enemy);
        WriteEnemyBlock(out, record.enemy);
    }
    return out;
}

FileResult WriteCwsFile(const std::filesystem::path& path, const SkillRecord& record) {
    return CommitFile(path, FormatCwsFile(record));
}

}  // namespace morvat
