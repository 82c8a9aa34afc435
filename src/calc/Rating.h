// Rates a skill record: the three phases of points, the total in tenths of a skill level,
// and the report that shows the whole calculation line by line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/SkillRecord.h"

namespace morvat {

struct RatingReport {
    std::vector<std::string> body;     // the phases, the total and the level line (UTF-8)
    std::vector<std::string> trailer;  // the closing lines, "【備考】" and the remarks
    std::vector<std::string> remarks;  // the remark lines of the trailer, alone
    std::int64_t total = 0;            // the final total: the skill level in tenths

    // Body, then trailer: what the result window shows.
    std::vector<std::string> lines() const;
};

// Rates by the offensive rules, or by the supportive rules when the skill aims at allies.
RatingReport RateSkill(const SkillRecord& record);

// The skill level of a total in tenths: "12.7", "-0.5", "-1.0", "0.0".
std::string FormatSkillLevel(std::int64_t total);

}  // namespace morvat
