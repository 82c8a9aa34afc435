// SPDX-License-Identifier: MIT
// Two ratings side by side: which items differ and by how much. The command line's
// "compare" and the result window's pinned result both ask this, so "what did my change
// cost" has one answer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "calc/Rating.h"

namespace morvat {

// One item of either rating, matched by phase and label. A side without the item has none.
struct ItemPair {
    ReportPhase phase = ReportPhase::First;
    std::string label;
    std::optional<std::int64_t> a;
    std::optional<std::int64_t> b;
    // b - a, a missing item counting 0; pinned at the 64-bit limit rather than wrapping.
    std::int64_t difference = 0;
    // Whether the item adds its points to a total (not the range step, which sets it).
    bool adds = true;

    bool differs() const { return a != b; }

    friend bool operator==(const ItemPair&, const ItemPair&) = default;
};

// Every scored item of `a` and `b` (remarks carry no points and are left out), in report
// order: the items of both in the order the rating lists them, one pair for an item that
// both have.
std::vector<ItemPair> PairItems(const RatingReport& a, const RatingReport& b);

struct RatingComparison {
    std::int64_t totalA = 0;
    std::int64_t totalB = 0;
    std::int64_t totalDifference = 0;  // totalB - totalA, pinned like an item's
    std::vector<ItemPair> items;       // the pairs that differ, alone
};

RatingComparison CompareRatings(const RatingReport& a, const RatingReport& b);

// A difference of points with its sign: "+13", "-50", "0".
std::string FormatPointsDifference(std::int64_t difference);

// A difference of totals as a difference of skill levels: "+0.8", "-1.2", "0.0".
std::string FormatLevelDifference(std::int64_t difference);

}  // namespace morvat
