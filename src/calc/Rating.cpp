#include "calc/Rating.h"

#include "calc/OffensiveRules.h"
#include "calc/Points.h"
#include "calc/SupportiveRules.h"

namespace morvat {
namespace {

std::string PhaseHeader(const char* phase) {
    return std::string("--") + phase + " フェーズ" + std::string(67, '-');
}

// One modifier on use: every notch of the track bar is worth one point, after the range step.
void UseModifier(std::vector<std::string>& body, Points& running, Flag set, std::uint8_t mod,
                 const char* label) {
    if (!set) return;
    const Points add = Points{mod} - 10;
    body.emplace_back(label);
    body.push_back(PointLine("　追加", add));
    body.emplace_back();
    running += add;
}

}  // namespace

std::vector<std::string> RatingReport::lines() const {
    std::vector<std::string> all = body;
    all.insert(all.end(), trailer.begin(), trailer.end());
    return all;
}

RatingReport RateSkill(const SkillRecord& record) {
    // Only an exact 1 means allies; anything else, also no target chosen, rates as offensive.
    const bool supportive = record.enemy.toAllies == 1;
    const SideHeader& header = supportive ? static_cast<const SideHeader&>(record.ally)
                                          : static_cast<const SideHeader&>(record.enemy);
    RatingReport report;
    std::vector<std::string>& body = report.body;

    body.push_back(PhaseHeader("1st"));
    body.emplace_back();
    Points running = supportive ? RateSupportiveEffects(record.ally, body)
                                : RateOffensiveEffects(record.enemy, body);
    body.emplace_back();
    body.push_back(PointLine("　以上合計", running));
    body.emplace_back();

    body.push_back(PhaseHeader("2nd"));
    body.emplace_back();
    Points second = running;
    if (header.successStep != 5) {
        const Points step = Points{header.successStep} - 5;
        const Points amount = running * step * 15 / 100;
        second += amount;
        body.push_back(PointLine("成功率修正", amount, Slot(running) + "*" + Slot(step) + "*0.15"));
    }
    if (header.needsVoice) {
        second += -50;
        body.push_back(PointLine("要発声", -50));
    }
    if (!supportive) second += RateOffensiveAttributes(record.enemy, body);
    body.emplace_back();
    body.push_back(PointLine("　以上合計", second));
    body.emplace_back();

    body.push_back(PhaseHeader("last"));
    body.emplace_back();
    // The range step starts over from the second-phase total; the first-phase sum is done.
    if (header.toAll == 0) {
        running = second / 7 - 60;
        body.emplace_back("範囲-単体");
        body.push_back(PointLine("　基本値", running, Slot(second) + "/7-60"));
    } else {
        running = second / 4;
        body.emplace_back("範囲-全体");
        body.push_back(PointLine("　基本値", running, Slot(second) + "/4"));
    }
    body.emplace_back();
    UseModifier(body, running, header.hasAvoidMod, header.avoidMod, "使用時回避力修正");
    UseModifier(body, running, header.hasResistMod, header.resistMod, "使用時抵抗力修正");
    UseModifier(body, running, header.hasDefenceMod, header.defenceMod, "使用時防御力修正");
    if (!supportive) running += RateKeyCodes(record.enemy, body);

    body.push_back("合計： " + Num(running));
    body.emplace_back();
    body.emplace_back();
    body.push_back("技能レベル： " + FormatSkillLevel(running.value()));
    body.emplace_back();

    report.remarks = supportive ? SupportiveRemarks(record) : OffensiveRemarks(record);
    report.trailer = {std::string(75, '='), "", "", "", "【備考】"};
    report.trailer.insert(report.trailer.end(), report.remarks.begin(), report.remarks.end());
    report.total = running.value();
    return report;
}

std::string FormatSkillLevel(std::int64_t total) {
    const std::int64_t whole = total / 10;
    const std::int64_t tenth = total % 10 < 0 ? -(total % 10) : total % 10;
    const std::string sign = (total < 0 && whole == 0) ? "-" : "";
    return sign + std::to_string(whole) + "." + std::to_string(tenth);
}

}  // namespace morvat
