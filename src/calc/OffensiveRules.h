// The points of a skill aimed at enemies: what each harmful effect is worth, what the
// attribute and the resistance type add, what the key codes add at the end, and which
// remarks the report prints for such a skill.
#pragma once

#include <string>
#include <vector>

#include "calc/Points.h"
#include "model/SkillRecord.h"

namespace morvat {

// First phase: appends one line per effect item present, in the fixed item order, and
// returns the sum of their points.
Points RateOffensiveEffects(const EnemySideRecord& enemy, std::vector<std::string>& lines);

// Second phase, after the voice item: the mixed attribute and the resistance type.
Points RateOffensiveAttributes(const EnemySideRecord& enemy, std::vector<std::string>& lines);

// Last phase, after the modifiers on use: the key codes, each with its blank line.
Points RateKeyCodes(const EnemySideRecord& enemy, std::vector<std::string>& lines);

// How effects were reckoned, then the supportive effects this path left out.
std::vector<std::string> OffensiveRemarks(const SkillRecord& record);

}  // namespace morvat
