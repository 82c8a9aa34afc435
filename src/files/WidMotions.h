// SPDX-License-Identifier: MIT
// Motion lists of a card file: the card's own effects, and the lists inside embedded cards
// and event contents that the reader only walks past. A motion of type 0x40808 carries
// whole cards of its own, so motion lists, embedded cards and events call one another.
#pragma once

#include <cstdint>

#include "files/WidStream.h"

namespace morvat {

inline constexpr std::int32_t kMotionFirstType = 0x40800;
inline constexpr std::int32_t kMotionEmbedsCards = 0x40808;

// The effect kind that a motion's type and detail code rate as; 0 when the tool does not
// rate it.
std::uint8_t RatedEffectKind(std::int32_t type, std::uint8_t detail);

// One motion list at the current position. With `collect` set, every rated motion becomes
// an entry appended to the context's effects; otherwise the same bytes are passed over.
// Lists below an embedded card are always read with `collect` off.
// Both are made for WidStream and WidSpan.
template <typename In>
void ReadMotionList(WidReadContext<In>& context, bool collect);

// One embedded card; nothing of it is kept.
template <typename In>
void ReadEmbeddedCard(WidReadContext<In>& context);

}  // namespace morvat
