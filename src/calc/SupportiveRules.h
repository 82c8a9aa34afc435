// SPDX-License-Identifier: MIT
// The points of a skill aimed at allies: what each helpful effect is worth, and which
// remarks the report prints for such a skill. Attribute, resistance type and key codes
// are not scored on this side.
#pragma once

#include <string>
#include <vector>

#include "calc/Points.h"
#include "model/SkillRecord.h"

namespace morvat {

// First phase: one item per effect item present, in the fixed item order.
void RateSupportiveEffects(const AllySideRecord& ally, PhaseItems& items);

// How effects were reckoned, then the offensive effects this path left out.
std::vector<std::string> SupportiveRemarks(const SkillRecord& record);

}  // namespace morvat
