// SPDX-License-Identifier: MIT
// Motion lists: which motions become effects, what the collect flag changes, embedded
// cards, and the code each broken field yields.
#include <gtest/gtest.h>

#include <climits>

#include "CardWriter.h"
#include "files/WidReader.h"
#include "model/EffectCatalogue.h"

namespace morvat {
namespace {

using test::CardFile;
using test::CardRead;
using test::ReadCard;
using test::Sz;
using test::WidCardPlan;
using test::WidEmbeddedCard;
using test::WidMotion;
using test::WriteCard;

WidCardPlan CardWith(std::vector<WidMotion> motions) {
    WidCardPlan card;
    card.name = Sz("motions");
    card.target = 3;
    card.motions.motions = std::move(motions);
    card.level = 5;
    return card;
}

// One motion of every layout, so that a table can cut any of their fields.
std::vector<WidMotion> OneOfEachLayout() {
    return {
        test::ValueMotion(0x40800, 1, 0, 1, 5),   // heal
        test::ValueMotion(0x40801, 2, 2, 0, 10),  // poison
        test::PlainMotion(0x40802, 0, 1),         // mind disabled
        test::RoundsMotion(0x40803, 2, 0, 4),     // sleep
        test::RoundsMotion(0x40804, 4, 2, 3),     // silence
        test::ChangeMotion(0, 3, -2, 3),          // defence down
        test::PlainMotion(0x40806, 0, 0),         // erase target
        test::PlainMotion(0x40807, 0, 7),         // deal a skill
    };
}

// An embedded card with something in every row.
WidEmbeddedCard FullEmbeddedCard() {
    WidEmbeddedCard e;
    e.lead = 1;
    e.title = Sz("title");
    e.note = Sz("note");
    e.name = Sz("inner");
    e.motions.motions = OneOfEachLayout();
    for (std::size_t i = 0; i < e.texts.size(); ++i) e.texts[i] = Sz("t" + std::to_string(i));
    e.moreTexts = {Sz("m0"), Sz("m1")};
    e.events.events = {test::EventOf({test::Content(2)})};
    return e;
}

TEST(WidMotionsTest, EachRatedMotionBecomesAnEntryInFileOrder) {
    const CardRead read = ReadCard(CardWith(OneOfEachLayout()));
    ASSERT_EQ(read.code, 0);
    const EffectCollection expected = {
        MakeEffectEntry(1, 1, 1, 5, 0, 1),  MakeEffectEntry(6, 2, 0, 10, 0, 1),
        MakeEffectEntry(9, 0, 0, 1, 0, 1),  MakeEffectEntry(10, 2, 0, 1, 0, 4),
        MakeEffectEntry(18, 4, 0, 1, 0, 3), MakeEffectEntry(27, 0, 0, 1, -2, 3),
        MakeEffectEntry(28, 0, 0, 1, 0, 1), MakeEffectEntry(31, 0, 0, 1, 0, 1),
    };
    EXPECT_EQ(read.effects, expected);
    EXPECT_EQ(read.card.Level, 5);
}

TEST(WidMotionsTest, DetailCodesSelectTheEffectKind) {
    struct Case {
        std::int32_t type;
        std::uint8_t firstDetail;
        EffectKind firstKind;
        int count;
    };
    const Case runs[] = {
        {0x40800, 0, EffectKind::Heal, 3},          {0x40801, 0, EffectKind::Paralysis, 4},
        {0x40802, 0, EffectKind::SkillRecover, 2},  {0x40803, 0, EffectKind::Sleep, 6},
        {0x40804, 0, EffectKind::Bind, 8},          {0x40805, 0, EffectKind::ActionChange, 4},
        {0x40806, 0, EffectKind::EraseTarget, 1},   {0x40806, 2, EffectKind::EraseSummon, 1},
        {0x40807, 6, EffectKind::DealConfusion, 2},
    };
    std::vector<WidMotion> motions;
    EffectCollection expectedKinds;
    for (const Case& run : runs) {
        for (int i = 0; i < run.count; ++i) {
            WidMotion m =
                test::PlainMotion(run.type, 0, static_cast<std::uint8_t>(run.firstDetail + i));
            motions.push_back(m);
            expectedKinds.push_back(
                MakeEffectEntry(KindNumber(KindAfter(run.firstKind, i)), 0, 0, 1, 0, 1));
        }
    }
    const CardRead read = ReadCard(CardWith(motions));
    ASSERT_EQ(read.code, 0);
    ASSERT_EQ(read.effects.size(), expectedKinds.size());
    for (std::size_t i = 0; i < read.effects.size(); ++i) {
        EXPECT_EQ(read.effects[i].kind, expectedKinds[i].kind) << "motion " << i;
    }
}

TEST(WidMotionsTest, UnratedDetailCodesAddNothingButTheirBytesArePassed) {
    const std::vector<WidMotion> unrated = {
        test::ValueMotion(0x40800, 0, 3, 0, 9), test::ValueMotion(0x40801, 0, 4, 0, 9),
        test::PlainMotion(0x40802, 0, 2),       test::RoundsMotion(0x40803, 0, 6, 2),
        test::RoundsMotion(0x40804, 0, 8, 2),   test::ChangeMotion(0, 4, 1, 2),
        test::PlainMotion(0x40806, 0, 1),       test::PlainMotion(0x40807, 0, 5),
        test::PlainMotion(0x40807, 0, 0xFF),
    };
    for (const WidMotion& m : unrated) {
        SCOPED_TRACE(testing::Message() << std::hex << m.type << " detail " << int{m.detail});
        // The motion after it is read from the right place.
        const CardRead read = ReadCard(CardWith({m, test::ValueMotion(0x40800, 0, 1, 0, 7)}));
        ASSERT_EQ(read.code, 0);
        EXPECT_EQ(read.effects, EffectCollection{MakeEffectEntry(2, 0, 0, 7, 0, 1)});
    }
}

TEST(WidMotionsTest, OutOfRangeValuesAreClampedWhenTheEntryIsMade) {
    const CardRead read = ReadCard(CardWith({
        test::ValueMotion(0x40800, 1, 1, 0, 150),       // damage 150 gives 1, not 99
        test::ValueMotion(0x40800, 7, 0, 3, 0),         // element 7, value kind 3, value 0
        test::ValueMotion(0x40801, 0xFF, 0, 0xFF, 99),  // bytes 0xFF are -1
        test::RoundsMotion(0x40803, 0, 0, 1000),
        test::RoundsMotion(0x40804, 0, 0, 0),
        test::ChangeMotion(6, 0, 11, 999),
        test::ChangeMotion(6, 1, -10, INT_MIN),
    }));
    ASSERT_EQ(read.code, 0);
    const EffectCollection expected = {
        MakeEffectEntry(2, 1, 0, 1, 0, 1),    MakeEffectEntry(1, 0, 0, 1, 0, 1),
        MakeEffectEntry(4, 0, 0, 99, 0, 1),   MakeEffectEntry(10, 0, 0, 1, 0, 1),
        MakeEffectEntry(16, 0, 0, 1, 0, 1),   MakeEffectEntry(24, 6, 0, 1, 0, 999),
        MakeEffectEntry(25, 6, 0, 1, -10, 1),
    };
    EXPECT_EQ(read.effects, expected);
}

TEST(WidMotionsTest, EmbeddedCardEffectsAreNotCollected) {
    WidEmbeddedCard inner = FullEmbeddedCard();
    const CardRead read = ReadCard(CardWith({
        test::ValueMotion(0x40800, 0, 0, 0, 20),
        test::CardsMotion({inner}),
        test::RoundsMotion(0x40803, 2, 1, 3),
    }));
    ASSERT_EQ(read.code, 0);
    const EffectCollection expected = {MakeEffectEntry(1, 0, 0, 20, 0, 1),
                                       MakeEffectEntry(11, 2, 0, 1, 0, 3)};
    EXPECT_EQ(read.effects, expected);
    EXPECT_EQ(read.card.Level, 5);
}

// The game stores how many cards a 0x40808 motion carries, and how many events each
// carried card has.
TEST(WidMotionsTest, EmbeddedCardsAndTheirEventsAreCounted) {
    WidEmbeddedCard twoEvents = FullEmbeddedCard();
    twoEvents.events.events.push_back(test::EventOf({test::Content(11), test::Content(18)}));
    WidEmbeddedCard noEvents = FullEmbeddedCard();
    noEvents.events = {};
    WidEmbeddedCard negativeEvents = FullEmbeddedCard();
    negativeEvents.events = {};
    negativeEvents.events.count = -3;

    const WidMotion after = test::ValueMotion(0x40800, 0, 1, 0, 40);
    for (const WidMotion& carrier :
         {test::CardsMotion({}), test::CardsMotion({twoEvents, noEvents, negativeEvents})}) {
        SCOPED_TRACE(carrier.cards.size());
        const CardRead read = ReadCard(CardWith({carrier, after}));
        ASSERT_EQ(read.code, 0);
        EXPECT_EQ(read.effects, EffectCollection{MakeEffectEntry(2, 0, 0, 40, 0, 1)});
    }
    WidMotion negative = test::CardsMotion({});
    negative.cardCount = -1;
    EXPECT_EQ(ReadCard(CardWith({negative, after})).effects.size(), 1u);
}

TEST(WidMotionsTest, CountOfZeroOrLessMeansNoMotions) {
    for (const std::int32_t count : {0, -1, INT_MIN}) {
        SCOPED_TRACE(count);
        WidCardPlan card = CardWith({});
        card.motions.count = count;
        card.escape = 4;
        const CardRead read = ReadCard(card);
        ASSERT_EQ(read.code, 0);  // the count alone, 4 bytes, then the avoid modifier
        EXPECT_TRUE(read.effects.empty());
        EXPECT_EQ(read.card.Escape, 4);
    }
}

// A count is a claim of the file: room is never reserved for more than the rest of the
// file could hold.
TEST(WidMotionsTest, HugeCountInAShortFileFailsAtTheFirstMissingMotion) {
    WidCardPlan card = CardWith({test::ValueMotion(0x40800, 0, 0, 0, 3)});
    card.motions.count = INT_MAX;
    const std::string bytes = WriteCard(card).cutAt("escape");
    WidCard read;
    EffectCollection effects;
    EXPECT_EQ(test::ReadCardBytes(bytes, read, effects), 261);
    EXPECT_LE(effects.capacity(), bytes.size());
    EXPECT_EQ(effects.size(), 1u);
}

TEST(WidMotionsTest, UnknownTypeFailsAfterItsElementAndDetail) {
    for (const std::int32_t type : {0x40809, 0x407FF, 0, -1, INT_MIN}) {
        SCOPED_TRACE(type);
        const CardFile file = WriteCard(CardWith({test::PlainMotion(type, 0, 0)}));
        EXPECT_EQ(ReadCard(file.bytes).code, 299);
        EXPECT_EQ(ReadCard(file.cutAt("motions[0].detail")).code, 2644);
    }
}

struct CutCase {
    std::string field;
    std::size_t keep;
    std::int32_t code;
};

void ExpectCuts(const CardFile& file, const std::vector<CutCase>& cases) {
    for (const CutCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.field << " +" << c.keep);
        for (const test::Medium medium : test::kEveryMedium) {
            EXPECT_EQ(ReadCard(file.cutAt(c.field, c.keep), medium).code, c.code);
        }
    }
}

TEST(WidMotionsTest, FileEndingInACollectedMotionFailsWithThatReadsCode) {
    const CardFile file = WriteCard(CardWith(OneOfEachLayout()));
    ExpectCuts(file, {
                         {"motions.count", 3, 260},
                         {"motions[0].type", 0, 261},
                         {"motions[0].type", 3, 261},
                         {"motions[0].lead", 1, 2644},
                         {"motions[0].element", 0, 2644},
                         {"motions[0].detail", 0, 2644},
                         {"motions[0].valueKind", 0, 301},
                         {"motions[0].value", 3, 302},
                         {"motions[1].valueKind", 0, 301},
                         {"motions[1].value", 0, 302},
                         {"motions[2].detail", 0, 2644},
                         {"motions[3].type", 0, 261},
                         {"motions[3].rounds", 2, 303},
                         {"motions[4].rounds", 0, 303},
                         {"motions[5].variation", 1, 301},
                         {"motions[5].rounds", 3, 301},
                         {"motions[7].detail", 0, 2644},
                         {"escape", 0, 514},
                     });
}

// Below the card's own list the same motions are passed over by skips: cut inside them,
// the read fails at the next field that is read.
TEST(WidMotionsTest, FileEndingInAnEmbeddedCardFailsWithThatReadsCode) {
    const CardFile file = WriteCard(CardWith({test::CardsMotion({FullEmbeddedCard()})}));
    const std::string in = "motions[0].cards[0].";
    ExpectCuts(file, {
                         {"motions[0].type", 2, 261},
                         {"motions[0].lead", 2, 263},
                         {"motions[0].cardCount", 0, 263},
                         {in + "lead", 0, 269},
                         {in + "title", 0, 269},
                         {in + "title.bytes", 1, 271},
                         {in + "note", 3, 271},
                         {in + "note.bytes", 0, 500},
                         {in + "gap", 0, 500},
                         {in + "name", 0, 500},
                         {in + "name.bytes", 2, 260},
                         {in + "afterName", 17, 260},
                         {in + "motions.count", 0, 260},
                         {in + "motions[0].valueKind", 0, 261},
                         {in + "motions[3].rounds", 0, 261},
                         {in + "motions[5].variation", 4, 261},
                         {in + "motions[7].detail", 0, 2644},
                         {in + "afterMotions", 11, 504},
                         {in + "texts[0]", 0, 504},
                         {in + "texts[0].bytes", 1, 506},
                         {in + "texts[3]", 0, 510},
                         {in + "texts[6]", 0, 516},
                         {in + "texts[6].bytes", 1, 519},
                         {in + "flag", 0, 519},
                         {in + "moreTexts[0]", 0, 519},
                         {in + "moreTexts[0].bytes", 0, 521},
                         {in + "moreTexts[1]", 0, 521},
                         {in + "moreTexts[1].bytes", 2, 523},
                         {in + "events.count", 0, 523},
                         {in + "events[0].treeCount", 0, 100},
                         {in + "end", 4, 514},
                     });
}

TEST(WidMotionsTest, NegativeTextLengthInACarrierOrEmbeddedCardFailsWithItsSkipCode) {
    struct Case {
        const char* what;
        void (*change)(WidEmbeddedCard&);
        std::int32_t code;
    };
    const Case cases[] = {
        {"title", [](WidEmbeddedCard& e) { e.title = test::LengthOnly(-1); }, 270},
        {"note", [](WidEmbeddedCard& e) { e.note = test::LengthOnly(INT_MIN); }, 272},
        {"name", [](WidEmbeddedCard& e) { e.name = test::LengthOnly(-1); }, 501},
        {"text 1", [](WidEmbeddedCard& e) { e.texts[0] = test::LengthOnly(-1); }, 505},
        {"text 2", [](WidEmbeddedCard& e) { e.texts[1] = test::LengthOnly(-1); }, 507},
        {"text 3", [](WidEmbeddedCard& e) { e.texts[2] = test::LengthOnly(-1); }, 509},
        {"text 4", [](WidEmbeddedCard& e) { e.texts[3] = test::LengthOnly(-1); }, 511},
        {"text 5", [](WidEmbeddedCard& e) { e.texts[4] = test::LengthOnly(-1); }, 513},
        {"text 6", [](WidEmbeddedCard& e) { e.texts[5] = test::LengthOnly(-1); }, 515},
        {"text 7", [](WidEmbeddedCard& e) { e.texts[6] = test::LengthOnly(-1); }, 517},
        {"more text 1", [](WidEmbeddedCard& e) { e.moreTexts[0] = test::LengthOnly(-1); }, 520},
        {"more text 2", [](WidEmbeddedCard& e) { e.moreTexts[1] = test::LengthOnly(-7); }, 522},
        {"zero lengths are empty texts",
         [](WidEmbeddedCard& e) {
             e.title = test::LengthOnly(0);
             e.texts[2] = test::LengthOnly(0);
         },
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WidEmbeddedCard inner = FullEmbeddedCard();
        c.change(inner);
        EXPECT_EQ(ReadCard(CardWith({test::CardsMotion({inner})})).code, c.code);
    }
}

// Each embedded card is one level; 64 levels are read, the 65th fails.
TEST(WidMotionsTest, EmbeddedCardsNestUpTo64Levels) {
    const auto nested = [](int levels) {
        WidEmbeddedCard card;
        card.motions.motions = {test::ValueMotion(0x40800, 0, 0, 0, 1)};
        for (int i = 1; i < levels; ++i) {
            WidEmbeddedCard outer;
            outer.motions.motions = {test::CardsMotion({card})};
            card = outer;
        }
        return CardWith({test::CardsMotion({card}), test::PlainMotion(0x40802, 0, 0)});
    };
    const CardRead deepest = ReadCard(nested(64));
    EXPECT_EQ(deepest.code, 0);
    EXPECT_EQ(deepest.effects, EffectCollection{MakeEffectEntry(8, 0, 0, 1, 0, 1)});
    EXPECT_EQ(ReadCard(nested(65)).code, kWidTooDeep);
}

}  // namespace
}  // namespace morvat
