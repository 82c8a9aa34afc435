// SPDX-License-Identifier: MIT
// The example cards in examples/ are exactly what the generator makes, and they read as
// the cards they stand for. Run with MORVAT_WRITE_EXAMPLES=1 to rewrite them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "ExampleCards.h"
#include "TempDir.h"
#include "TestPaths.h"

namespace morvat {
namespace {

TEST(WidExamplesTest, ShippedCardsMatchTheGenerator) {
    const bool rewrite = std::getenv("MORVAT_WRITE_EXAMPLES") != nullptr;
    for (const test::ExampleCard& example : test::ExampleCards()) {
        SCOPED_TRACE(example.fileName);
        const std::string bytes = test::WriteCard(example.plan).bytes;
        const auto path = test::ExamplesDir() / example.fileName;
        if (rewrite) {
            std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
        }
        EXPECT_EQ(test::ReadFileBytes(path), bytes);
    }
}

TEST(WidExamplesTest, ShippedCardsReadAsTheirSkills) {
    struct Expected {
        const char* fileName;
        std::uint8_t target;
        std::uint8_t targetAll;
        std::int32_t level;
        bool farAttack;
        EffectCollection effects;
    };
    const Expected expected[] = {
        {"SkillFireBolt.wid", 3, 0, 5, true, {MakeEffectEntry(2, 5, 0, 10, 0, 1)}},
        {"SkillSleepMist.wid", 3, 1, 4, false, {MakeEffectEntry(10, 2, 0, 1, 0, 5)}},
        {"SkillHealingLight.wid",
         2,
         0,
         3,
         false,
         {MakeEffectEntry(1, 3, 0, 8, 0, 1), MakeEffectEntry(7, 3, 1, 1, 0, 1)}},
        {"SkillChaosWave.wid",
         4,
         1,
         7,
         false,
         {MakeEffectEntry(11, 2, 0, 1, 0, 3), MakeEffectEntry(2, 4, 1, 15, 0, 1),
          MakeEffectEntry(25, 0, 0, 1, -3, 2)}},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.fileName);
        const test::CardRead read =
            test::ReadCard(test::ReadFileBytes(test::ExamplesDir() / e.fileName));
        ASSERT_EQ(read.code, 0);
        EXPECT_EQ(read.card.Target, e.target);
        EXPECT_EQ(read.card.TargetAll, e.targetAll);
        EXPECT_EQ(read.card.Level, e.level);
        EXPECT_EQ(read.card.Faratack, e.farAttack);
        EXPECT_FALSE(read.card.Assasin);
        EXPECT_EQ(read.effects, e.effects);
        // Names fit the loader dialog's 13-byte column.
        EXPECT_LE(read.card.Cardname.size(), 12u);
    }
}

}  // namespace
}  // namespace morvat
