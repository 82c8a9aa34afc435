// SPDX-License-Identifier: MIT
#include "calc/OffensiveRules.h"

namespace morvat {
namespace {

// An ability lowered by b for r rounds; a lowering of 0 resets the ability instead, which is
// worth a fixed amount whatever the rounds.
void Lowering(PhaseItems& items, Flag present, const char* ability, std::int64_t b, std::int64_t r,
              std::int64_t resetPoints, std::int64_t perStep) {
    if (!present) return;
    if (b == 0) {
        items.Add(resetPoints, std::string(ability) + "初期化");
        return;
    }
    const Points p = Points{perStep} * b * r;
    items.Add(p, std::string(ability) + "減衰",
              [&] { return Slot(b) + "*" + Slot(r) + "*" + std::to_string(perStep); });
}

// A state that lasts r rounds at a fixed price per round.
void Lasting(PhaseItems& items, Flag present, const char* state, std::int64_t r,
             std::int64_t perRound) {
    if (!present) return;
    const Points p = Points{perRound} * r;
    items.Add(p, state, [&] { return Slot(r) + "*" + std::to_string(perRound); });
}

}  // namespace

void RateOffensiveEffects(const EnemySideRecord& e, PhaseItems& items) {
    if (e.damageLv) {
        const Points v = e.damageLvSum;
        const Points p = Points{55} * v * (v + 10) / 10;
        items.Add(p, "基本ダメージ(Lv比)", [&] { return Growth(v, "0.1", "55"); });
    }
    if (e.damageFixed) {
        const Points v = e.damageFixedSum;
        const Points p = Points{45} * v * (Points{5} * v + 100) / 1000;
        items.Add(p, "基本ダメージ(固定)", [&] { return Growth(v, "0.05", "4.5"); });
    }
    items.AddFixed(e.damageMax, "基本ダメージ(最大)", 1200);

    // Holy or magic damage: the gather keeps the larger of the two groups, drain counted twice.
    if (e.weakDamageLv) {
        const Points v = e.weakDamageLvSum;
        const Points p = Points{40} * v * (Points{5} * v + 100) / 100;
        items.Add(p, "弱属性ダメージ(Lv比)", [&] { return Growth(v, "0.05", "40"); });
    }
    if (e.weakDamageFixed) {
        const Points v = e.weakDamageFixedSum;
        const Points p = Points{4} * v * (Points{4} * v + 100) / 100;
        items.Add(p, "弱属性ダメージ(固定)", [&] { return Growth(v, "0.04", "4"); });
    }
    items.AddFixed(e.weakDamageMax, "弱属性ダメージ(最大)", 800);

    if (e.poisonLv) {
        const Points v = e.poisonLvSum;
        // The 500 comes after the division: it is the price of poisoning at all.
        const Points p = Points{125} * v * (v + 10) / 10 + 500;
        items.Add(p, "中毒(Lv比)", [&] { return Growth(v, "0.1", "125") + "+500"; });
    }
    if (e.poisonFixed) {
        const Points v = e.poisonFixedSum;
        const Points p = Points{120} * v;
        items.Add(p, "中毒(固定)", [&] { return Slot(v) + "*120"; });
    }
    items.AddFixed(e.poisonMax, "中毒(最大)", 10000);

    if (e.paralysisLv) {
        const Points v = e.paralysisLvSum;
        // 15 × v × (v + 10) is v × (1 + v × 0.1) × 150 exactly, so no division is needed.
        const Points p = Points{15} * v * (v + 10) + 700;
        items.Add(p, "麻痺(Lv比)", [&] { return Growth(v, "0.1", "150") + "+700"; });
    }
    if (e.paralysisFixed) {
        const Points v = e.paralysisFixedSum;
        const Points p = Points{170} * v;
        items.Add(p, "麻痺(固定)", [&] { return Slot(v) + "*170"; });
    }
    items.AddFixed(e.paralysisMax, "麻痺(最大)", 15000);

    items.AddFixed(e.skillDisable, "技能不能", 700);

    Lasting(items, e.sleep, "睡眠状態", e.sleepRounds, 45);
    Lasting(items, e.confusion, "混乱状態", e.confusionRounds, 40);
    Lasting(items, e.rage, "激昂状態", e.rageRounds, 30);
    Lasting(items, e.fear, "恐慌状態", e.fearRounds, 30);
    Lasting(items, e.bind, "束縛状態", e.bindRounds, 70);
    Lasting(items, e.silence, "沈黙状態", e.silenceRounds, 65);
    Lasting(items, e.expose, "暴露状態", e.exposeRounds, 15);

    Lowering(items, e.actionDown, "行動力", e.actionDownBy, e.actionDownRounds, 50, 5);
    Lowering(items, e.avoidDown, "回避力", e.avoidDownBy, e.avoidDownRounds, 50, 5);
    Lowering(items, e.resistDown, "抵抗力", e.resistDownBy, e.resistDownRounds, 50, 5);
    Lowering(items, e.defenceDown, "防御力", e.defenceDownBy, e.defenceDownRounds, 60, 6);

    items.AddFixed(e.eraseTarget, "対象消去", 17000);
    items.AddFixed(e.eraseSummon, "召喚獣消去", 150);

    if (e.dealConfusion) {
        const Points n = e.dealConfusionCount;
        const Points p = Points{80} * n;
        items.Add(p, "混乱配布", [&] { return Slot(n) + "*80"; });
    }
}

void RateOffensiveAttributes(const EnemySideRecord& e, PhaseItems& items) {
    // "物理属性" and "魔法属性" are the plain cases and give no line.
    if (e.mixedAttribute == 1) items.Add(50, "魔法的物理属性");
    if (e.mixedAttribute == 2) items.Add(-50, "物理的魔法属性");
    if (e.resistOnly) items.Add(20, "抵抗属性");
}

void RateKeyCodes(const EnemySideRecord& e, PhaseItems& items) {
    // Key codes count after the range step, so they keep their full value.
    if (e.assassin) items.Add(5, "キーコード[暗殺]");
    if (e.longRange) items.Add(2, "キーコード[遠距離攻撃]");
}

std::vector<std::string> OffensiveRemarks(const SkillRecord& record) {
    const RemarkFlags& f = record.remarks;
    const AllySideRecord& a = record.ally;
    const std::pair<bool, const char*> table[] = {
        {f.poisonAsPhysical != 0, "中毒は肉体属性で計算されました"},
        {f.paralysisAsPhysical != 0, "麻痺は肉体属性で計算されました"},
        {f.sleepAsMental != 0, "睡眠状態は精神属性で計算されました"},
        {f.confusionAsMental != 0, "混乱状態は精神属性で計算されました"},
        {f.rageAsMental != 0, "激昂状態は精神属性で計算されました"},
        {f.fearAsMental != 0, "恐慌状態は精神属性で計算されました"},
        {f.dealConfusionAsMental != 0, "混乱配布は精神属性で計算されました"},
        {f.drainDoubled != 0, "吸収は倍の威力で計算されました"},
        {(a.healLv | a.healFixed | a.healMax) != 0, "回復は無視されました"},
        {(a.curePoisonLv | a.curePoisonFixed | a.curePoisonMax) != 0, "中毒解除は無視されました"},
        {(a.cureParalysisLv | a.cureParalysisFixed | a.cureParalysisMax) != 0,
         "麻痺解除は無視されました"},
        {a.skillRecover != 0, "精神力回復は無視されました"},
        {a.bravery != 0, "勇敢状態は無視されました"},
        {a.mindNormal != 0, "精神正常は無視されました"},
        {a.unbind != 0, "束縛解除は無視されました"},
        {a.unsilence != 0, "沈黙解除は無視されました"},
        {a.unexpose != 0, "暴露解除は無視されました"},
        {a.unnullify != 0, "無効化解除は無視されました"},
        {a.magicNullify != 0, "無効化は無視されました"},
        {a.actionUp != 0, "行動力上昇は無視されました"},
        {a.avoidUp != 0, "回避力上昇は無視されました"},
        {a.resistUp != 0, "抵抗力上昇は無視されました"},
        {a.defenceUp != 0, "防御力上昇は無視されました"},
        {a.dealSkill != 0, "技能配布は無視されました"},
    };
    std::vector<std::string> remarks;
    for (const auto& [applies, text] : table) {
        if (applies) remarks.emplace_back(text);
    }
    return remarks;
}

}  // namespace morvat
