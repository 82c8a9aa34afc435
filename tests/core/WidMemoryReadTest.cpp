// A card read from bytes already in memory (an archive member) must read exactly as the
// same bytes read from a file: the same code at every place a file can end, the same card.
#include <gtest/gtest.h>

#include "CardWriter.h"
#include "TempDir.h"
#include "TestPaths.h"
#include "files/WidReader.h"

namespace morvat {
namespace {

TEST(WidMemoryRead, EveryCutOfTheExampleCardsReadsAsFromAFile) {
    for (const char* name : {"SkillFireBolt.wid", "SkillChaosWave.wid", "SkillHealingLight.wid"}) {
        const std::string bytes = test::ReadFileBytes(test::ExamplesDir() / name);
        for (std::size_t length = 0; length <= bytes.size() + 1; ++length) {
            SCOPED_TRACE(std::string(name) + " cut at " + std::to_string(length));
            const std::string cut = bytes.substr(0, std::min(length, bytes.size())) +
                                    (length > bytes.size() ? "\x7f" : "");
            // A name left from a card before stays where the read does not reach it.
            WidCard fileCard;
            fileCard.Cardname = "left over";
            WidCard card = fileCard;
            EffectCollection fileEffects;
            EffectCollection effects;
            const std::int32_t code = test::ReadCardBytes(cut, fileCard, fileEffects);
            EXPECT_EQ(ReadWidCardFromBytes(cut, card, effects), code);
            EXPECT_EQ(card, fileCard);
            EXPECT_EQ(effects, fileEffects);
        }
    }
}

}  // namespace
}  // namespace morvat
