// SPDX-License-Identifier: MIT
// Rates a skill record: the three phases of points, the total in tenths of a skill level,
// and the report that shows the whole calculation line by line. The rating yields a list of
// items; the report's lines are drawn from those items and the phase totals.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "calc/ReportItem.h"
#include "model/SkillRecord.h"

namespace morvat {

struct RatingReport {
    // In report order: the first phase, the second, the last (range step, modifiers on use),
    // the key codes, the remarks.
    std::vector<ReportItem> items;
    std::int64_t firstTotal = 0;   // the first phase's "以上合計"
    std::int64_t secondTotal = 0;  // the second phase's "以上合計"
    std::int64_t total = 0;        // the final total: the skill level in tenths

    // Drawn from the items and totals above (UTF-8).
    std::vector<std::string> body;     // the phases, the total and the level line
    std::vector<std::string> trailer;  // the closing lines, "【備考】" and the remarks
    std::vector<std::string> remarks;  // the remark lines of the trailer, alone

    // Body, then trailer: what the result window shows.
    std::vector<std::string> lines() const;
};

// Rates by the offensive rules, or by the supportive rules when the skill aims at allies.
RatingReport RateSkill(const SkillRecord& record);

// The report's lines for the items and totals of `report`: the body, then the trailer.
std::vector<std::string> ReportBody(const RatingReport& report);
std::vector<std::string> ReportTrailer(const RatingReport& report);

// The skill level of a total in tenths: "12.7", "-0.5", "-1.0", "0.0".
std::string FormatSkillLevel(std::int64_t total);

// The level and total in one short line, as the editor shows it while the card is edited:
// "技能レベル：12.7（合計 127）".
std::string LevelSummary(std::int64_t total);

}  // namespace morvat
