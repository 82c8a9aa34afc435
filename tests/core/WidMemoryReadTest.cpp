// A card read from bytes already in memory (an archive member) must read exactly as the
// same bytes read from a file: the same code at every place a file can end, the same card.
#include <gtest/gtest.h>

#include "CardWriter.h"
#include "SeededNumbers.h"
#include "TempDir.h"
#include "TestPaths.h"
#include "files/WidReader.h"
#include "files/WidStream.h"

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

// The rows of a card in memory are read through WidSpan, those of a card from a pipe
// through WidStream. Both must give the same values and fail at the same step with the same
// code, also in the corners no card layout reaches today: reads after a skip past the end,
// an empty Bytes() there, negative counts.
TEST(WidMemoryRead, SpanReadsEveryStepAsTheStreamDoes) {
    test::SeededNumbers next(12345);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(next(24), '\0');
        for (char& c : bytes) c = static_cast<char>(next(256));
        WidStream stream{std::string_view(bytes)};
        WidSpan span{std::string_view(bytes)};
        std::string steps;
        for (int step = 0; step < 8; ++step) {
            const auto code = static_cast<std::int32_t>(step + 1);
            const auto count = static_cast<std::int32_t>(next(14)) - 3;  // -3 .. 10
            const std::uint32_t op = next(5);
            steps += " " + std::to_string(op) + ":" + std::to_string(count);
            SCOPED_TRACE(bytes.size());
            SCOPED_TRACE(steps);
            const auto outcome = [&](auto& in) -> std::string {
                try {
                    switch (op) {
                        case 0:
                            return std::to_string(in.Int32(code));
                        case 1:
                            return std::to_string(in.Byte(code));
                        case 2:
                            return in.Bytes(count, code);
                        case 3:
                            in.Skip(count, code);
                            return "skip";
                        default:
                            in.SkipText(code, code + 100);
                            return "text";
                    }
                } catch (const WidReadFailure& failure) {
                    return "failed " + std::to_string(failure.code);
                }
            };
            const std::string expected = outcome(stream);
            ASSERT_EQ(outcome(span), expected);
            ASSERT_EQ(span.KnownRemaining(), stream.KnownRemaining());
            if (expected.rfind("failed", 0) == 0) break;  // a read ends at its first failure
        }
    }
}

}  // namespace
}  // namespace morvat
