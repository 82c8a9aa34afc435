// SPDX-License-Identifier: MIT
// One effect of a skill card, as a row of the editor's effect list holds it.
#pragma once

#include <cstdint>

namespace morvat {

struct EffectEntry {
    std::uint8_t kind = 0;          // 1..31, see the effect catalogue
    std::int32_t attribute = 0;     // 0..6, index into kAttributeCaptions
    std::uint8_t valueKind = 0;     // 0..2, index into kValueKindCaptions
    std::int32_t value = 1;         // 1..99, used by the value effects
    std::int32_t variation = 0;     // -10..10, used by the ability changes
    std::int32_t rounds = 1;        // 1..999

    friend bool operator==(const EffectEntry&, const EffectEntry&) = default;
};

// The only maker of entries. Each out-of-range argument is replaced on its own, silently:
// attribute outside 0..6 by 0, valueKind outside 0..2 by 0, value outside 1..99 by 1,
// variation outside -10..10 by 0, rounds outside 1..999 by 1. The kind is kept as given.
EffectEntry MakeEffectEntry(std::uint8_t kind, std::int8_t attribute, std::int8_t valueKind,
                            std::int32_t value, std::int32_t variation, std::int32_t rounds);

}  // namespace morvat
