// SPDX-License-Identifier: MIT
// Events and their content trees: every content kind's body, the tests on the way, and
// the files that would make a careless reader allocate, loop or recurse without bound.
#include <gtest/gtest.h>

#include <chrono>
#include <climits>

#include "CardWriter.h"
#include "files/WidReader.h"

namespace morvat {
namespace {

using test::CardFile;
using test::CardRead;
using test::Content;
using test::ReadCard;
using test::Sz;
using test::WidCardPlan;
using test::WidContent;
using test::WidEvent;
using test::WriteCard;

WidCardPlan CardWithEvents(std::vector<WidEvent> events) {
    WidCardPlan card;
    card.target = 3;
    card.motions.motions = {test::ValueMotion(0x40800, 0, 1, 0, 12)};
    card.events.events = std::move(events);
    card.level = 9;
    return card;
}

// A content whose body has every text, pair and item filled in.
WidContent FilledContent(std::uint8_t kind) {
    WidContent c = Content(kind);
    c.texts = {Sz("first"), Sz("second")};
    c.pairs = {{Sz("a"), Sz("b")}, {Sz("c"), Sz("d")}};
    c.motions.motions = {test::ValueMotion(0x40800, 0, 0, 0, 50), test::ChangeMotion(0, 0, 2, 2)};
    return c;
}

TEST(WidEventsTest, EveryContentKindReadsToTheEnd) {
    for (int kind = 0; kind <= 65; ++kind) {
        SCOPED_TRACE(kind);
        // Two of the kind, so that the second starts where the first body ends.
        const CardRead read = ReadCard(
            CardWithEvents({test::EventOf({FilledContent(static_cast<std::uint8_t>(kind)),
                                           FilledContent(static_cast<std::uint8_t>(kind))})}));
        ASSERT_EQ(read.code, 0);
        EXPECT_EQ(read.card.Level, 9);
        // Effects inside events are never the card's own.
        EXPECT_EQ(read.effects, EffectCollection{MakeEffectEntry(2, 0, 0, 12, 0, 1)});
    }
}

// The test card writer checked against bodies written out by hand from the layout of each
// kind, so that the writer cannot merely repeat the reader's table: a text is its Int32
// length and bytes, "*" stands for a skipped byte of any value.
std::string Int32Bytes(std::int32_t v) {
    std::string b(4, '\0');
    const auto u = static_cast<std::uint32_t>(v);
    for (std::size_t i = 0; i < 4; ++i) b[i] = static_cast<char>((u >> (8 * i)) & 0xFF);
    return b;
}

bool MatchesLayout(std::string_view bytes, std::string_view layout) {
    if (bytes.size() != layout.size()) return false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (layout[i] != '*' && layout[i] != bytes[i]) return false;
    }
    return true;
}

TEST(WidEventsTest, WriterLaysOutEveryBodyAsTheFormatDoes) {
    const std::string ab = Int32Bytes(3) + std::string("ab\0", 3);
    const std::string cd = Int32Bytes(3) + std::string("cd\0", 3);
    const std::string p = Int32Bytes(2) + std::string("p\0", 2);
    const std::string q = Int32Bytes(2) + std::string("q\0", 2);
    const auto any = [](std::size_t n) { return std::string(n, '*'); };
    struct Row {
        std::vector<int> kinds;
        std::string body;
    };
    const Row rows[] = {
        {{0, 4, 45, 49, 50, 51, 55, 56, 63, 64}, ""},
        {{1, 7, 9, 52, 57, 58, 59, 60, 61, 62}, ab},
        {{15, 17, 41, 42, 43, 65}, ab},
        {{3}, any(1)},
        {{12, 47}, any(2)},
        {{2, 5, 10, 14, 19, 22, 24, 26, 29, 31, 33, 36, 38, 48, 53, 54}, any(4)},
        {{46}, any(5)},
        {{18, 44}, Int32Bytes(3) + any(4)},
        {{20, 21, 23, 27, 28, 30, 34, 35, 37}, any(9)},
        {{13}, any(13)},
        {{16}, ab + any(1)},
        {{25, 32, 39}, ab + any(5)},
        {{6}, ab + cd},
        {{40}, any(1) + Int32Bytes(1) + p + q},
        {{8}, Int32Bytes(1) + any(16) + p + any(1) + q + any(1)},
        {{11}, any(11) + ab + any(1) + Int32Bytes(0)},
    };
    int covered = 0;
    for (const Row& row : rows) {
        for (const int kind : row.kinds) {
            SCOPED_TRACE(kind);
            WidContent c = Content(static_cast<std::uint8_t>(kind));
            c.texts = {Sz("ab"), Sz("cd")};
            c.pairs = {{Sz("p"), Sz("q")}};
            // The content is the last of its event, so its body ends where the event does.
            const CardFile file = WriteCard(CardWithEvents({test::EventOf({c})}));
            const std::size_t end = file.offsetOf("afterEvents");
            const std::string layout = Int32Bytes(40000) + row.body;
            ASSERT_GE(end, layout.size());
            const std::string_view written =
                std::string_view(file.bytes).substr(end - layout.size(), layout.size());
            EXPECT_TRUE(MatchesLayout(written, layout));
            EXPECT_EQ(ReadCard(file.bytes).code, 0);
            ++covered;
        }
    }
    EXPECT_EQ(covered, 66) << "every kind from 0 to 65 in one row";
}

// The Int32 of kinds 18 and 44 is a value, not the length of something to pass: a card
// holding any value there reads to its end.
TEST(WidEventsTest, StepValueOfAnySizeIsPassedInFourBytes) {
    for (const std::int32_t value : {0, 3, 1000, -1, INT_MIN, INT_MAX}) {
        for (const std::uint8_t kind : {std::uint8_t{18}, std::uint8_t{44}}) {
            SCOPED_TRACE(testing::Message() << "kind " << int{kind} << ", value " << value);
            WidContent c = Content(kind);
            c.stepValue = value;
            const CardRead read = ReadCard(CardWithEvents({test::EventOf({c, Content(3)})}));
            EXPECT_EQ(read.code, 0);
            EXPECT_EQ(read.card.Level, 9);
        }
    }
}

TEST(WidEventsTest, ChildKindAbove65FailsAfterItsChildren) {
    for (const int kind : {66, 100, 254}) {
        SCOPED_TRACE(kind);
        WidContent bad = Content(static_cast<std::uint8_t>(kind), {Content(1)});
        const CardFile file = WriteCard(CardWithEvents({test::EventOf({bad})}));
        EXPECT_EQ(ReadCard(file.bytes).code, 241);
        // Its children are read first: a file cut inside them fails there.
        EXPECT_EQ(ReadCard(file.cutAt("events[0].trees[0].children[0].children[0].kind")).code,
                  111);
    }
}

TEST(WidEventsTest, TopLevelKindHasNoBodyAndIsNeverTested) {
    WidEvent event;
    event.trees = {Content(66, {Content(2)}), Content(200), Content(1)};
    const CardRead read = ReadCard(CardWithEvents({event}));
    EXPECT_EQ(read.code, 0);
    EXPECT_EQ(read.card.Level, 9);
}

TEST(WidEventsTest, EventsAndTreesOfCountZeroOrLessAreEmpty) {
    WidEvent none;
    none.treeCount = 0;
    WidEvent negative;
    negative.treeCount = INT_MIN;
    negative.trees = {};
    EXPECT_EQ(ReadCard(CardWithEvents({none, negative, none})).code, 0);

    WidContent noPairs = Content(40);
    noPairs.pairCount = -2;
    WidContent noItems = Content(8);
    noItems.pairCount = 0;
    EXPECT_EQ(ReadCard(CardWithEvents({test::EventOf({noPairs, noItems})})).code, 0);
}

// A name, or a text used as a skip, with a negative length would move the reader
// backwards; a length of 0 is an empty text.
TEST(WidEventsTest, NegativeLengthFailsWithItsFieldsCode) {
    struct Case {
        std::uint8_t kind;
        void (*change)(WidContent&);
        std::int32_t code;
    };
    const auto first = [](WidContent& c) { c.texts[0] = test::LengthOnly(-1); };
    const auto second = [](WidContent& c) { c.texts[1] = test::LengthOnly(INT_MIN); };
    const Case cases[] = {
        {0, [](WidContent& c) { c.name = test::LengthOnly(-1); }, 117},
        {0, [](WidContent& c) { c.name = test::LengthOnly(0); }, 0},
        {1, first, 201},
        {62, first, 201},
        {15, first, 301},
        {65, first, 301},
        {16, first, 305},
        {25, first, 206},
        {39, first, 206},
        {6, first, 230},
        {6, second, 232},
        {11, first, 219},
        {40, [](WidContent& c) { c.pairs[1].first = test::LengthOnly(-1); }, 226},
        {40, [](WidContent& c) { c.pairs[0].second = test::LengthOnly(-1); }, 228},
        {8, [](WidContent& c) { c.pairs[0].first = test::LengthOnly(-1); }, 253},
        {8, [](WidContent& c) { c.pairs[1].second = test::LengthOnly(-1); }, 255},
        {1, [](WidContent& c) { c.texts[0] = test::LengthOnly(0); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << int{c.kind} << ", code " << c.code);
        WidContent content = FilledContent(c.kind);
        c.change(content);
        EXPECT_EQ(ReadCard(CardWithEvents({test::EventOf({content})})).code, c.code);
    }
    WidEvent topLevelName;
    topLevelName.trees = {Content(3)};
    topLevelName.trees[0].name = test::LengthOnly(-1);
    EXPECT_EQ(ReadCard(CardWithEvents({topLevelName})).code, 117);
}

TEST(WidEventsTest, FileEndingInAnEventFailsWithThatReadsCode) {
    WidContent pairs = FilledContent(40);
    WidContent items = FilledContent(8);
    WidContent motions = FilledContent(11);
    WidContent twoTexts = FilledContent(6);
    WidContent step = FilledContent(18);
    WidContent textByte = FilledContent(16);
    WidContent textFive = FilledContent(32);
    WidContent text = FilledContent(7);
    WidContent textOther = FilledContent(43);
    WidContent parent =
        Content(3, {pairs, items, motions, twoTexts, step, textByte, textFive, text, textOther});
    const CardFile file =
        WriteCard(CardWithEvents({WidEvent{{Content(0, {parent}), Content(5)}, std::nullopt}}));

    const std::string top = "events[0].trees[0].";
    const std::string p = top + "children[0].";
    const auto child = [&p](int i, const std::string& field) {
        return p + "children[" + std::to_string(i) + "]." + field;
    };
    struct Cut {
        std::string field;
        std::size_t keep;
        std::int32_t code;
    };
    const Cut cuts[] = {
        {"events.count", 2, 539},
        {"events[0].treeCount", 3, 100},
        {top + "kind", 0, 112},
        {top + "name", 2, 116},
        {top + "name.bytes", 0, 110},
        {top + "childCount", 3, 110},
        {p + "kind", 0, 111},
        {p + "childCount", 0, 110},
        {child(0, "kind"), 0, 111},
        {child(0, "body.lead"), 0, 224},
        {child(0, "body.count"), 3, 224},
        {child(0, "body.pairs[0].first"), 0, 225},
        {child(0, "body.pairs[0].first.bytes"), 1, 227},
        {child(0, "body.pairs[1].second"), 2, 227},
        {child(1, "kind"), 0, 112},
        {child(1, "body.count"), 0, 250},
        {child(1, "body.items[0].head"), 15, 252},
        {child(1, "body.items[0].first"), 0, 252},
        {child(1, "body.items[0].first.bytes"), 1, 254},
        {child(1, "body.items[0].gap"), 0, 254},
        {child(1, "body.items[1].second"), 0, 254},
        {child(1, "body.items[1].end"), 0, 112},
        {child(2, "body.lead"), 10, 218},
        {child(2, "body.texts[0]"), 1, 218},
        {child(2, "body.gap"), 0, 260},
        {child(2, "body.motions.count"), 0, 260},
        {child(2, "body.motions[0].type"), 0, 261},
        {child(2, "body.motions[1].variation"), 0, 112},
        {child(3, "body.texts[0]"), 0, 229},
        {child(3, "body.texts[0].bytes"), 1, 231},
        {child(3, "body.texts[1]"), 3, 231},
        {child(4, "body.value"), 0, 202},
        {child(4, "body.value"), 3, 202},
        {child(4, "body.skip"), 0, 112},
        {child(4, "body.skip"), 3, 112},
        {child(5, "body.texts[0]"), 0, 208},
        {child(5, "body.tail"), 0, 112},
        {child(6, "body.texts[0]"), 0, 205},
        {child(6, "body.tail"), 4, 112},
        {child(7, "body.texts[0]"), 0, 200},
        {child(8, "body.texts[0]"), 1, 200},
        {child(8, "body.texts[0].bytes"), 2, 112},
        {p + "body.skip", 0, 112},
        {"events[0].trees[1].kind", 0, 112},
        {"events[0].trees[1].childCount", 0, 110},
        {"afterEvents", 0, 541},
    };
    for (const Cut& c : cuts) {
        SCOPED_TRACE(testing::Message() << c.field << " +" << c.keep);
        for (const test::Medium medium : test::kEveryMedium) {
            EXPECT_EQ(ReadCard(file.cutAt(c.field, c.keep), medium).code, c.code);
        }
    }
}

TEST(WidEventsTest, ContentOutsideTheLayoutFails) {
    struct Case {
        const char* what;
        WidEvent event;
        std::int32_t code;
    };
    WidContent below = Content(2, {Content(1)});
    below.childCount = 39999;
    WidContent farBelow = Content(2);
    farBelow.childCount = INT_MIN;
    const Case cases[] = {
        {"child count below 40000", test::EventOf({below}), kWidChildCountBelowBase},
        {"child count INT_MIN", test::EventOf({farBelow}), kWidChildCountBelowBase},
        {"child of kind 255", test::EventOf({Content(255)}), kWidContentKindRoot},
        {"top-level content of kind 255", WidEvent{{Content(255)}, std::nullopt},
         kWidContentKindRoot},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ReadCard(CardWithEvents({c.event})).code, c.code);
    }
}

// Counts are claims of the file. Nothing is made up front for them, so a short file fails
// at its first missing byte instead of exhausting memory or ending the program.
TEST(WidEventsTest, HugeCountsInAShortFileFailWithTheShortReadCode) {
    struct Case {
        const char* what;
        WidCardPlan card;
        std::string countField;  // the file ends right after this count
        std::int32_t code;
    };
    const std::string child = "events[0].trees[0].children[0].";
    WidContent manyChildren = Content(0);
    manyChildren.childCount = 2000000000;
    WidContent manyPairs = Content(40);
    manyPairs.pairCount = INT_MAX;
    WidContent manyItems = Content(8);
    manyItems.pairCount = INT_MAX;
    WidContent manyMotions = Content(11);
    manyMotions.motions.count = INT_MAX;
    WidCardPlan manyEvents = CardWithEvents({});
    manyEvents.events.count = INT_MAX;
    WidEvent manyTrees;
    manyTrees.treeCount = INT_MAX;
    test::WidMotion manyCards = test::CardsMotion({});
    manyCards.cardCount = INT_MAX;
    WidCardPlan carrier = CardWithEvents({});
    carrier.motions.motions = {manyCards};

    const Case cases[] = {
        {"children", CardWithEvents({test::EventOf({manyChildren})}), child + "childCount", 111},
        {"pairs", CardWithEvents({test::EventOf({manyPairs})}), child + "body.count", 225},
        {"items", CardWithEvents({test::EventOf({manyItems})}), child + "body.count", 252},
        {"motions", CardWithEvents({test::EventOf({manyMotions})}), child + "body.motions.count",
         261},
        {"events", manyEvents, "events.count", 100},
        {"trees", CardWithEvents({manyTrees}), "events[0].treeCount", 112},
        {"embedded cards", carrier, "motions[0].cardCount", 269},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(ReadCard(WriteCard(c.card).cutAt(c.countField, 4)).code, c.code);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
    }
}

// Each content is one level, and so is each embedded card: 64 levels are read, the 65th
// fails. Without the limit a small file could nest deep enough to exhaust the stack.
TEST(WidEventsTest, ContentsNestUpTo64Levels) {
    const auto chain = [](int levels) {
        WidContent c = Content(0);
        for (int i = 1; i < levels; ++i) c = Content(3, {c});
        return WidEvent{{c}, std::nullopt};
    };
    EXPECT_EQ(ReadCard(CardWithEvents({chain(64)})).code, 0);
    EXPECT_EQ(ReadCard(CardWithEvents({chain(65)})).code, kWidTooDeep);

    // A content holding an embedded card whose event holds contents: the levels add up.
    WidContent carrier = Content(11);
    test::WidEmbeddedCard inner;
    inner.events.events = {chain(62)};
    carrier.motions.motions = {test::CardsMotion({inner})};
    EXPECT_EQ(ReadCard(CardWithEvents({test::EventOf({carrier})})).code, kWidTooDeep);
    inner.events.events = {chain(61)};
    carrier.motions.motions = {test::CardsMotion({inner})};
    EXPECT_EQ(ReadCard(CardWithEvents({test::EventOf({carrier})})).code, 0);
}

}  // namespace
}  // namespace morvat
