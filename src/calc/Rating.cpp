// SPDX-License-Identifier: MIT
#include "calc/Rating.h"

#include <cstddef>
#include <iterator>
#include <type_traits>

#include "calc/OffensiveRules.h"
#include "calc/Points.h"
#include "calc/SupportiveRules.h"

namespace morvat {
namespace {

std::string PhaseHeader(const char* phase) {
    return std::string("--") + phase + " フェーズ" + std::string(67, '-');
}

// An item that the rating counts itself, onto a running total it keeps itself; kept only
// when there are `items` to keep it in, and only then is its formula written.
template <typename Formula = std::nullptr_t>
void Record(std::vector<ReportItem>* items, ReportPhase phase, const char* label, Points points,
            Points running, Formula&& formula = nullptr, bool replacesTotal = false) {
    if (items == nullptr) return;
    std::optional<std::string> written;
    if constexpr (!std::is_null_pointer_v<std::remove_cvref_t<Formula>>) written = formula();
    items->emplace_back(phase, label, points.value(), std::move(written), running.value(),
                        replacesTotal);
}

// One modifier on use: every notch of the track bar is worth one point, after the range step.
void UseModifier(std::vector<ReportItem>* items, Points& running, Flag set, std::uint8_t mod,
                 const char* label) {
    if (!set) return;
    const Points add = Points{mod} - 10;
    running += add;
    Record(items, ReportPhase::Last, label, add, running);
}

// The first and second phases' "以上合計" and the final total.
struct Totals {
    Points first;
    Points second;
    Points total;
};

// The three phases by the rules of the skill's side. With `items`, every scored point and
// remark is kept there, in report order; without, only the totals are reckoned.
Totals Rate(const SkillRecord& record, std::vector<ReportItem>* items) {
    // Only an exact 1 means allies; anything else, also no target chosen, rates as offensive.
    const bool supportive = record.enemy.toAllies == 1;
    const SideHeader& header = supportive ? static_cast<const SideHeader&>(record.ally)
                                          : static_cast<const SideHeader&>(record.enemy);

    PhaseItems effects{items, ReportPhase::First};
    if (supportive) {
        RateSupportiveEffects(record.ally, effects);
    } else {
        RateOffensiveEffects(record.enemy, effects);
    }
    Points running = effects.sum;

    Points second = running;
    if (header.successStep != 5) {
        const Points step = Points{header.successStep} - 5;
        const Points amount = running * step * 15 / 100;
        second += amount;
        Record(items, ReportPhase::Second, "成功率修正", amount, second,
               [&] { return Slot(running) + "*" + Slot(step) + "*0.15"; });
    }
    if (header.needsVoice) {
        second += -50;
        Record(items, ReportPhase::Second, "要発声", -50, second);
    }
    if (!supportive) {
        PhaseItems attributes{items, ReportPhase::Second, second};
        RateOffensiveAttributes(record.enemy, attributes);
        second += attributes.sum;
    }

    // The range step starts over from the second-phase total; the first-phase sum is done.
    const Points first = running;
    if (header.toAll == 0) {
        running = second / 7 - 60;
        Record(
            items, ReportPhase::Last, "範囲-単体", running, running,
            [&] { return Slot(second) + "/7-60"; }, true);
    } else {
        running = second / 4;
        Record(
            items, ReportPhase::Last, "範囲-全体", running, running,
            [&] { return Slot(second) + "/4"; }, true);
    }
    UseModifier(items, running, header.hasAvoidMod, header.avoidMod, "使用時回避力修正");
    UseModifier(items, running, header.hasResistMod, header.resistMod, "使用時抵抗力修正");
    UseModifier(items, running, header.hasDefenceMod, header.defenceMod, "使用時防御力修正");
    if (!supportive) {
        PhaseItems keyCodes{items, ReportPhase::KeyCodes, running};
        RateKeyCodes(record.enemy, keyCodes);
        running += keyCodes.sum;
    }

    if (items != nullptr) {
        for (std::string& remark :
             supportive ? SupportiveRemarks(record) : OffensiveRemarks(record)) {
            items->emplace_back(ReportPhase::Remarks, std::move(remark));
        }
    }
    return {first, second, running};
}

}  // namespace

const char* PhaseName(ReportPhase phase) {
    switch (phase) {
        case ReportPhase::First:
            return "first";
        case ReportPhase::Second:
            return "second";
        case ReportPhase::Last:
            return "last";
        case ReportPhase::KeyCodes:
            return "keycodes";
        case ReportPhase::Remarks:
            break;
    }
    return "remarks";
}

std::vector<std::string> RatingReport::lines() const {
    std::vector<std::string> all = body();
    std::vector<std::string> closing = trailer();
    all.insert(all.end(), std::make_move_iterator(closing.begin()),
               std::make_move_iterator(closing.end()));
    return all;
}

RatingReport RateSkill(const SkillRecord& record) {
    RatingReport report;
    report.items.reserve(16);  // a card's effects, the steps of the last phases, some remarks
    const Totals totals = Rate(record, &report.items);
    report.firstTotal = totals.first.value();
    report.secondTotal = totals.second.value();
    report.total = totals.total.value();
    return report;
}

std::int64_t RateSkillTotal(const SkillRecord& record) {
    return Rate(record, nullptr).total.value();
}

std::vector<std::string> RatingReport::body() const {
    std::vector<std::string> body;
    const auto itemLines = [&](ReportPhase phase) {
        for (const ReportItem& item : items) {
            if (item.phase == phase) {
                body.push_back(PointLine(item.label, item.points, item.formula.value_or("")));
            }
        }
    };
    const auto subtotal = [&](std::int64_t total) {
        body.emplace_back();
        body.push_back(PointLine("　以上合計", total));
        body.emplace_back();
    };

    body.push_back(PhaseHeader("1st"));
    body.emplace_back();
    itemLines(ReportPhase::First);
    subtotal(firstTotal);

    body.push_back(PhaseHeader("2nd"));
    body.emplace_back();
    itemLines(ReportPhase::Second);
    subtotal(secondTotal);

    body.push_back(PhaseHeader("last"));
    body.emplace_back();
    // Each step of the last phase is a block: its name, then what it is worth, then a blank.
    for (const ReportItem& item : items) {
        if (item.phase != ReportPhase::Last && item.phase != ReportPhase::KeyCodes) continue;
        body.push_back(item.label);
        body.push_back(PointLine(item.replacesTotal ? "　基本値" : "　追加", item.points,
                                 item.formula.value_or("")));
        body.emplace_back();
    }

    body.push_back("合計： " + Num(total));
    body.emplace_back();
    body.emplace_back();
    body.push_back("技能レベル： " + FormatSkillLevel(total));
    body.emplace_back();
    return body;
}

std::vector<std::string> RatingReport::trailer() const {
    std::vector<std::string> trailer = {std::string(75, '='), "", "", "", "【備考】"};
    std::vector<std::string> remarkLines = remarks();
    trailer.insert(trailer.end(), std::make_move_iterator(remarkLines.begin()),
                   std::make_move_iterator(remarkLines.end()));
    return trailer;
}

std::vector<std::string> RatingReport::remarks() const {
    std::vector<std::string> lines;
    for (const ReportItem& item : items) {
        if (item.phase == ReportPhase::Remarks) lines.push_back(item.label);
    }
    return lines;
}

std::string FormatSkillLevel(std::int64_t total) {
    const std::int64_t whole = total / 10;
    const std::int64_t tenth = total % 10 < 0 ? -(total % 10) : total % 10;
    const std::string sign = (total < 0 && whole == 0) ? "-" : "";
    return sign + std::to_string(whole) + "." + std::to_string(tenth);
}

std::string LevelSummary(std::int64_t total) {
    return "技能レベル：" + FormatSkillLevel(total) + "（合計 " + std::to_string(total) + "）";
}

}  // namespace morvat
