// SPDX-License-Identifier: MIT
// Point arithmetic: amounts past the 64-bit range stick at the limit on their side instead
// of wrapping.
#include <gtest/gtest.h>

#include <limits>

#include "calc/Points.h"

namespace morvat {
namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

TEST(RatingPointsTest, OverflowSticksAtTheLimitOfItsSide) {
    const Points high = Points{kMax} * 2;
    const Points low = Points{kMax} * -2;
    EXPECT_TRUE(high.pinned());
    EXPECT_EQ(high.value(), kMax);
    EXPECT_EQ(low.value(), kMin);
    EXPECT_EQ((Points{kMin} * -1).value(), kMax);
    EXPECT_EQ((Points{kMin} / -1).value(), kMax);
    EXPECT_EQ((Points{kMax} + 1).value(), kMax);
    EXPECT_EQ((Points{kMin} - 1).value(), kMin);
    EXPECT_EQ((Points{0} - low).value(), kMax);

    // Once pinned, later steps cannot pull the amount back into range.
    EXPECT_EQ((high / 10 - 60).value(), kMax);
    EXPECT_EQ((low / 7).value(), kMin);
    EXPECT_EQ((high * -5).value(), kMin);
    EXPECT_EQ((high * 0).value(), 0);
    EXPECT_EQ((Points{5} / 0).value(), 0);

    // An exact limit is not an overflow.
    EXPECT_FALSE(Points{kMax}.pinned());
    EXPECT_EQ((Points{kMax} / 10).value(), kMax / 10);
}

}  // namespace
}  // namespace morvat
