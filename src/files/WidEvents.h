// SPDX-License-Identifier: MIT
// Events of a card file: lists of content trees that the reader walks past, testing their
// structure on the way. Nothing of an event is kept, and no tree is built: each content is
// read where it stands, its children before its body.
#pragma once

#include <cstdint>

#include "files/WidStream.h"

namespace morvat {

inline constexpr std::int32_t kChildCountBase = 40000;  // a stored child count of no children
inline constexpr std::uint8_t kLastContentKind = 65;

// One event at the current position (made for WidStream and WidSpan).
template <typename In>
void ReadWidEvent(WidReadContext<In>& context);

}  // namespace morvat
