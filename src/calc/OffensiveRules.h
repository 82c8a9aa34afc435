// SPDX-License-Identifier: MIT
// The points of a skill aimed at enemies: what each harmful effect is worth, what the
// attribute and the resistance type add, what the key codes add at the end, and which
// remarks the report prints for such a skill.
#pragma once

#include <string>
#include <vector>

#include "calc/Points.h"
#include "model/SkillRecord.h"

namespace morvat {

// First phase: one item per effect item present, in the fixed item order.
void RateOffensiveEffects(const EnemySideRecord& enemy, PhaseItems& items);

// Second phase, after the voice item: the mixed attribute and the resistance type.
void RateOffensiveAttributes(const EnemySideRecord& enemy, PhaseItems& items);

// Last phase, after the modifiers on use: the key codes.
void RateKeyCodes(const EnemySideRecord& enemy, PhaseItems& items);

// How effects were reckoned, then the supportive effects this path left out.
std::vector<std::string> OffensiveRemarks(const SkillRecord& record);

}  // namespace morvat
