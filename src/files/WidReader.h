// Reader of the game's skill card files (Skill*.wid), read only. It takes what the rating
// needs (name, level, target, attributes, modifiers, key codes and the card's own effects)
// and walks past everything else, testing the structure as it goes. A failure is a nonzero
// code of the first failing step; the reader never shows anything and never closes the
// stream it was handed.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "model/EffectEntry.h"

namespace morvat {

struct WidCard {
    std::string Cardname;  // Shift-JIS bytes, at most 30
    std::int32_t Level = 0;
    std::uint8_t Voice = 0;
    std::uint8_t TargetAll = 0;
    std::uint8_t Target = 0;
    std::uint8_t Attribute = 0;
    std::uint8_t Defence = 0;
    std::int32_t Success = 0;
    std::int32_t Escape = 0;
    std::int32_t Defuse = 0;
    std::int32_t Gard = 0;
    bool Faratack = false;
    bool Assasin = false;

    friend bool operator==(const WidCard&, const WidCard&) = default;
};

using EffectCollection = std::vector<EffectEntry>;

// Reads one card from `stream`, opened for binary reading at its start. Fills `card` and
// appends the card's rated effects to `effects`. Returns 0, or the code of the first
// failing step. The stream stays open.
std::int32_t ReadWidCard(std::FILE* stream, WidCard& card, EffectCollection& effects);

}  // namespace morvat
