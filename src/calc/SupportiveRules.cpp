// SPDX-License-Identifier: MIT
#include "calc/SupportiveRules.h"

namespace morvat {
namespace {

// A cure of level-proportional strength: 35 × v × (3 × v + 100) / 100.
void CureLv(PhaseItems& items, Flag present, const char* label, std::int64_t sum) {
    if (!present) return;
    const Points v = sum;
    const Points p = Points{35} * v * (Points{3} * v + 100) / 100;
    items.Add(p, label, [&] { return Growth(v, "0.03", "35"); });
}

void CureFixed(PhaseItems& items, Flag present, const char* label, std::int64_t sum) {
    if (!present) return;
    const Points v = sum;
    const Points p = Points{7} * v;
    items.Add(p, label, [&] { return Slot(v) + "*7"; });
}

// An ability raised for r rounds; the record keeps the raise minus 1, so a step of 0 is +1.
void Raising(PhaseItems& items, Flag present, const char* label, std::uint8_t step, std::int64_t r,
             std::int64_t factor) {
    if (!present) return;
    const Points s = Points{step} + 1;
    const Points p = Points{factor} * s * r;
    items.Add(p, label, [&] { return Slot(s) + "*" + Slot(r) + "*" + std::to_string(factor); });
}

}  // namespace

void RateSupportiveEffects(const AllySideRecord& a, PhaseItems& items) {
    if (a.healLv) {
        const Points v = a.healLvSum;
        const Points p = Points{5} * v * (Points{5} * v + 100) / 10;
        items.Add(p, "回復(Lv比)", [&] { return Growth(v, "0.05", "50"); });
    }
    if (a.healFixed) {
        const Points v = a.healFixedSum;
        const Points p = Points{10} * v;
        items.Add(p, "回復(固定)", [&] { return Slot(v) + "*10"; });
    }
    items.AddFixed(a.healMax, "回復(最大)", 700);

    CureLv(items, a.curePoisonLv, "中毒解除(Lv比)", a.curePoisonLvSum);
    CureFixed(items, a.curePoisonFixed, "中毒解除(固定)", a.curePoisonFixedSum);
    items.AddFixed(a.curePoisonMax, "中毒解除(最大)", 500);

    CureLv(items, a.cureParalysisLv, "麻痺解除(Lv比)", a.cureParalysisLvSum);
    CureFixed(items, a.cureParalysisFixed, "麻痺解除(固定)", a.cureParalysisFixedSum);
    items.AddFixed(a.cureParalysisMax, "麻痺解除(最大)", 500);

    items.AddFixed(a.skillRecover, "技能回復", 1200);

    if (a.bravery) {
        const Points r = a.braveryRounds;
        const Points p = Points{35} * r;
        items.Add(p, "勇敢状態", [&] { return Slot(r) + "*35"; });
    }
    items.AddFixed(a.mindNormal, "精神正常", 300);
    items.AddFixed(a.unbind, "束縛解除", 180);
    items.AddFixed(a.unsilence, "沈黙解除", 120);
    items.AddFixed(a.unexpose, "暴露解除", 80);
    if (a.magicNullify) {
        const Points r = a.magicNullifyRounds;
        const Points p = Points{20} * r;
        items.Add(p, "魔法無効化", [&] { return Slot(r) + "*20"; });
    }
    items.AddFixed(a.unnullify, "無効化解除", 150);

    Raising(items, a.actionUp, "行動力上昇", a.actionUpStep, a.actionUpRounds, 2);
    Raising(items, a.avoidUp, "回避力上昇", a.avoidUpStep, a.avoidUpRounds, 2);
    Raising(items, a.resistUp, "抵抗力上昇", a.resistUpStep, a.resistUpRounds, 2);
    Raising(items, a.defenceUp, "防御力上昇", a.defenceUpStep, a.defenceUpRounds, 3);

    if (a.dealSkill) {
        const Points n = a.dealSkillCount;
        // Dealing skills is worth 200 in itself and 60 more for each skill-dealing effect.
        const Points p = Points{200} + Points{60} * n;
        items.Add(p, "技能配布", [&] { return "200+" + Slot(n) + "*60"; });
    }
}

std::vector<std::string> SupportiveRemarks(const SkillRecord& record) {
    const RemarkFlags& f = record.remarks;
    const EnemySideRecord& e = record.enemy;
    const std::pair<bool, const char*> table[] = {
        {f.recoveryAsPhysical != 0, "各種回復は肉体属性で計算されました"},
        {f.braveryAsMental != 0, "勇敢状態は精神属性で計算されました"},
        {f.mindNormalAsMental != 0, "精神正常は精神属性で計算されました"},
        {(e.damageLv | e.damageFixed | e.damageMax | e.weakDamageLv | e.weakDamageFixed |
          e.weakDamageMax) != 0,
         "ダメージは無視されました"},
        {(e.poisonLv | e.poisonFixed | e.poisonMax) != 0, "中毒は無視されました"},
        {(e.paralysisLv | e.paralysisFixed | e.paralysisMax) != 0, "麻痺は無視されました"},
        {e.skillDisable != 0, "精神力不能は無視されました"},
        {e.sleep != 0, "睡眠状態は無視されました"},
        {(e.confusion | e.rage | e.fear) != 0, "精神異常は無視されました"},
        {e.bind != 0, "束縛は無視されました"},
        {e.silence != 0, "沈黙は無視されました"},
        {e.expose != 0, "暴露は無視されました"},
        {e.actionDown != 0, "行動力非上昇は無視されました"},
        {e.avoidDown != 0, "回避力非上昇は無視されました"},
        {e.resistDown != 0, "抵抗力非上昇は無視されました"},
        {e.defenceDown != 0, "防御力非上昇は無視されました"},
        {e.eraseTarget != 0, "対象消去は無視されました"},
        {e.eraseSummon != 0, "召喚獣消去は無視されました"},
        {e.dealConfusion != 0, "混乱配布は無視されました"},
    };
    std::vector<std::string> remarks;
    for (const auto& [applies, text] : table) {
        if (applies) remarks.emplace_back(text);
    }
    return remarks;
}

}  // namespace morvat
