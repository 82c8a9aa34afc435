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

    // The lines, drawn from the items and totals above when they are asked for (UTF-8): a
    // caller that wants the total alone, such as a summary of thousands of cards or the
    // editor's live level, does not pay for them.
    std::vector<std::string> body() const;     // the phases, the total and the level line
    std::vector<std::string> trailer() const;  // the closing lines, "【備考】" and the remarks
    std::vector<std::string> remarks() const;  // the remark lines of the trailer, alone
    // Body, then trailer: what the result window shows.
    std::vector<std::string> lines() const;
};

// Rates by the offensive rules, or by the supportive rules when the skill aims at allies.
RatingReport RateSkill(const SkillRecord& record);

// The final total of RateSkill alone, by the same rules, with no items kept: for callers
// that show only the level, such as a summary of thousands of cards.
std::int64_t RateSkillTotal(const SkillRecord& record);

// The skill level of a total in tenths: "12.7", "-0.5", "-1.0", "0.0".
std::string FormatSkillLevel(std::int64_t total);

// The level and total in one short line, as the editor shows it while the card is edited:
// "技能レベル：12.7（合計 127）".
std::string LevelSummary(std::int64_t total);

}  // namespace morvat
