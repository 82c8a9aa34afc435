// SPDX-License-Identifier: MIT
#include "model/EffectEntry.h"

namespace morvat {
namespace {

std::int32_t InRangeOr(std::int32_t v, std::int32_t low, std::int32_t high, std::int32_t fallback) {
    return (v >= low && v <= high) ? v : fallback;
}

}  // namespace

EffectEntry MakeEffectEntry(std::uint8_t kind, std::int8_t attribute, std::int8_t valueKind,
                            std::int32_t value, std::int32_t variation, std::int32_t rounds) {
    EffectEntry entry;
    entry.kind = kind;
    entry.attribute = InRangeOr(attribute, 0, 6, 0);
    entry.valueKind = static_cast<std::uint8_t>(InRangeOr(valueKind, 0, 2, 0));
    entry.value = InRangeOr(value, 1, 99, 1);
    entry.variation = InRangeOr(variation, -10, 10, 0);
    entry.rounds = InRangeOr(rounds, 1, 999, 1);
    return entry;
}

}  // namespace morvat
