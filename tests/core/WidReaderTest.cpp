// SPDX-License-Identifier: MIT
// The card rows of a skill card file: what is kept, what is tested, and the code each
// broken field yields.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdio>

#include "CardWriter.h"
#include "SystemCallHooks.h"
#include "ExampleCards.h"
#include "files/WidReader.h"

namespace morvat {
namespace {

using test::CardFile;
using test::CardRead;
using test::Medium;
using test::ReadCard;
using test::ReadFromPipe;
using test::Sz;
using test::WidCardPlan;
using test::WriteCard;

const std::string kFarAttack = "\x89\x93\x8b\x97\x97\xa3\x8d\x55\x8c\x82";  // 遠距離攻撃
const std::string kAssassin = "\x88\xc3\x8e\x45";                           // 暗殺
const std::string kFireName = "\x89\xce\x89\x8a\x92\x65";                   // 火炎弾

// A card with something in every row, so that every field can be cut or changed.
WidCardPlan FullCard() {
    WidCardPlan c;
    c.firstBlock = Sz("image");
    c.name = Sz(kFireName);
    c.secondBlock = Sz("description");
    c.voice = 1;
    c.targetAll = 0;
    c.target = 3;
    c.attribute = 1;
    c.defence = 1;
    c.success = -2;
    c.motions.motions = {test::ValueMotion(0x40800, 5, 1, 0, 30)};
    c.escape = 3;
    c.defuse = -4;
    c.gard = 10;
    c.thirdBlock = Sz("sound");
    c.fourthBlock = Sz("sound2");
    c.keyCodes = {Sz("abc"), Sz(kFarAttack), Sz("xyz"), Sz(kAssassin), Sz("last")};
    c.fifthBlock = Sz("x");
    c.sixthBlock = Sz("y");
    c.events.events = {test::EventOf({test::Content(1)})};
    c.level = 7;
    return c;
}

TEST(WidCardTest, FullCardKeepsEveryValue) {
    for (const Medium medium : test::kEveryMedium) {
        const CardRead read = ReadCard(FullCard(), medium);
        ASSERT_EQ(read.code, 0);
        EXPECT_EQ(read.card.Cardname, kFireName);
        EXPECT_EQ(read.card.Level, 7);
        EXPECT_EQ(read.card.Voice, 1);
        EXPECT_EQ(read.card.TargetAll, 0);
        EXPECT_EQ(read.card.Target, 3);
        EXPECT_EQ(read.card.Attribute, 1);
        EXPECT_EQ(read.card.Defence, 1);
        EXPECT_EQ(read.card.Success, -2);
        EXPECT_EQ(read.card.Escape, 3);
        EXPECT_EQ(read.card.Defuse, -4);
        EXPECT_EQ(read.card.Gard, 10);
        EXPECT_TRUE(read.card.Faratack);
        EXPECT_TRUE(read.card.Assasin);
        ASSERT_EQ(read.effects.size(), 1u);
        EXPECT_EQ(read.effects[0], MakeEffectEntry(2, 5, 0, 30, 0, 1));
    }
}

struct CutCase {
    const char* field;
    std::size_t keep;  // bytes of the field still in the file
    std::int32_t code;
};

// Cutting the file inside a skipped block or skipped bytes is no failure by itself: the
// next read comes up short.
TEST(WidCardTest, FileEndingAtAFieldFailsWithThatReadsCode) {
    const CardFile file = WriteCard(FullCard());
    const CutCase cases[] = {
        {"tag", 0, 50},
        {"firstBlock", 0, 53},
        {"firstBlock", 3, 53},
        {"firstBlock.bytes", 2, 53},
        {"name", 0, 53},
        {"name.bytes", 0, 55},
        {"name.bytes", 6, 55},
        {"afterName", 2, 500},
        {"secondBlock", 1, 500},
        {"secondBlock.bytes", 4, 503},
        {"afterSecondBlock", 7, 503},
        {"voice", 0, 503},
        {"targetAll", 0, 505},
        {"target", 0, 505},
        {"attribute", 0, 507},
        {"defence", 0, 509},
        {"success", 3, 511},
        {"afterSuccess", 0, 260},
        {"motions.count", 2, 260},
        {"escape", 0, 514},
        {"defuse", 1, 516},
        {"gard", 3, 518},
        {"thirdBlock", 0, 520},
        {"thirdBlock.bytes", 1, 522},
        {"fourthBlock", 0, 522},
        {"fourthBlock.bytes", 1, 524},
        {"keyCodes[0]", 0, 524},
        {"keyCodes[0].bytes", 3, 525},
        {"keyCodes[1]", 2, 526},
        {"keyCodes[1].bytes", 10, 527},
        {"keyCodes[2]", 0, 528},
        {"keyCodes[2].bytes", 0, 529},
        {"keyCodes[3]", 0, 530},
        {"keyCodes[3].bytes", 1, 531},
        {"keyCodes[4]", 0, 532},
        {"keyCodes[4].bytes", 4, 531},
        {"afterKeyCodes", 0, 535},
        {"fifthBlock", 0, 535},
        {"fifthBlock.bytes", 1, 537},
        {"sixthBlock", 3, 537},
        {"sixthBlock.bytes", 0, 539},
        {"events.count", 0, 539},
        {"afterEvents", 0, 541},
        {"level", 3, 541},
        {"tail", 0, 0},
        {"tail", 3, 0},
    };
    for (const CutCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.field << " +" << c.keep);
        for (const Medium medium : test::kEveryMedium) {
            EXPECT_EQ(ReadCard(file.cutAt(c.field, c.keep), medium).code, c.code);
        }
    }
}

TEST(WidCardTest, KeyCodeLongerThanItCanBeComparedIsSkippedEvenWhenCut) {
    WidCardPlan card = FullCard();
    card.keyCodes[2] = Sz(std::string(40, 'k'));
    const CardFile file = WriteCard(card);
    EXPECT_EQ(ReadCard(file.cutAt("keyCodes[2].bytes", 20)).code, 530);
}

struct ValueCase {
    const char* what;
    void (*change)(WidCardPlan&);
    std::int32_t code;
};

TEST(WidCardTest, ValueOutsideItsRangeFailsWithTheRowsCode) {
    const ValueCase cases[] = {
        {"tag 4", [](WidCardPlan& c) { c.tag = 4; }, 20},
        {"tag 0", [](WidCardPlan& c) { c.tag = 0; }, 20},
        {"name length 31", [](WidCardPlan& c) { c.name = Sz(std::string(30, 'n')); }, 54},
        {"name length -1", [](WidCardPlan& c) { c.name = test::LengthOnly(-1); }, 54},
        {"name length INT_MAX", [](WidCardPlan& c) { c.name = test::LengthOnly(INT_MAX); }, 54},
        {"voice 2", [](WidCardPlan& c) { c.voice = 2; }, 504},
        {"voice 0x80", [](WidCardPlan& c) { c.voice = 0x80; }, 504},
        {"whole side 2", [](WidCardPlan& c) { c.targetAll = 2; }, 506},
        {"whole side 0xFF", [](WidCardPlan& c) { c.targetAll = 0xFF; }, 506},
        {"target 5", [](WidCardPlan& c) { c.target = 5; }, 506},
        {"target 0x80", [](WidCardPlan& c) { c.target = 0x80; }, 506},
        {"attribute 4", [](WidCardPlan& c) { c.attribute = 4; }, 508},
        {"attribute 0xFF", [](WidCardPlan& c) { c.attribute = 0xFF; }, 508},
        {"defence 2", [](WidCardPlan& c) { c.defence = 2; }, 510},
        {"defence 0x81", [](WidCardPlan& c) { c.defence = 0x81; }, 510},
        {"success 6", [](WidCardPlan& c) { c.success = 6; }, 512},
        {"success -6", [](WidCardPlan& c) { c.success = -6; }, 512},
        {"success INT_MIN", [](WidCardPlan& c) { c.success = INT_MIN; }, 512},
        {"escape 11", [](WidCardPlan& c) { c.escape = 11; }, 515},
        {"escape -11", [](WidCardPlan& c) { c.escape = -11; }, 515},
        {"defuse 11", [](WidCardPlan& c) { c.defuse = 11; }, 517},
        {"gard -11", [](WidCardPlan& c) { c.gard = -11; }, 519},
        {"level 1000", [](WidCardPlan& c) { c.level = 1000; }, 542},
        {"level -1", [](WidCardPlan& c) { c.level = -1; }, 542},
    };
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(c.what);
        WidCardPlan card = FullCard();
        c.change(card);
        EXPECT_EQ(ReadCard(card).code, c.code);
    }
}

TEST(WidCardTest, RangeLimitsAreAccepted) {
    WidCardPlan card = FullCard();
    card.name = Sz(std::string(29, 'n'));  // 30 bytes with the NUL
    card.voice = 0;
    card.targetAll = 1;
    card.target = 4;
    card.attribute = 3;
    card.defence = 0;
    card.success = 5;
    card.escape = -10;
    card.defuse = 10;
    card.gard = -10;
    card.level = 999;
    const CardRead read = ReadCard(card);
    ASSERT_EQ(read.code, 0);
    EXPECT_EQ(read.card.Cardname, std::string(29, 'n'));
    EXPECT_EQ(read.card.Target, 4);
    EXPECT_EQ(read.card.Level, 999);
    card.success = -5;
    card.level = 0;
    EXPECT_EQ(ReadCard(card).code, 0);
}

// A negative length would move the reader backwards, where a crafted file can make it go
// round in circles; it fails with the code of the skip.
TEST(WidCardTest, NegativeLengthOfASkippedTextFailsWithItsSkipCode) {
    const ValueCase cases[] = {
        {"first block", [](WidCardPlan& c) { c.firstBlock = test::LengthOnly(-1); }, 55},
        {"second block", [](WidCardPlan& c) { c.secondBlock = test::LengthOnly(-5); }, 501},
        {"third block", [](WidCardPlan& c) { c.thirdBlock = test::LengthOnly(INT_MIN); }, 521},
        {"fourth block", [](WidCardPlan& c) { c.fourthBlock = test::LengthOnly(-1); }, 523},
        {"key code 1", [](WidCardPlan& c) { c.keyCodes[0] = test::LengthOnly(-1); }, 525},
        {"key code 2", [](WidCardPlan& c) { c.keyCodes[1] = test::LengthOnly(-2); }, 527},
        {"key code 3", [](WidCardPlan& c) { c.keyCodes[2] = test::LengthOnly(-3); }, 529},
        {"key code 4", [](WidCardPlan& c) { c.keyCodes[3] = test::LengthOnly(-4); }, 531},
        {"key code 5", [](WidCardPlan& c) { c.keyCodes[4] = test::LengthOnly(-1); }, 533},
        {"fifth block", [](WidCardPlan& c) { c.fifthBlock = test::LengthOnly(-1); }, 536},
        {"sixth block", [](WidCardPlan& c) { c.sixthBlock = test::LengthOnly(-1); }, 538},
    };
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(c.what);
        WidCardPlan card = FullCard();
        c.change(card);
        EXPECT_EQ(ReadCard(card).code, c.code);
    }
}

TEST(WidCardTest, ShortestCardsAre97And98Bytes) {
    WidCardPlan card;  // every length, count and value 0
    card.withTail = false;
    const std::string shortest = WriteCard(card).bytes;
    ASSERT_EQ(shortest.size(), 97u);
    CardRead read = ReadCard(shortest);
    EXPECT_EQ(read.code, 0);
    EXPECT_EQ(ReadCard(shortest.substr(0, 96)).code, 541);

    card.name = Sz("");  // a lone NUL
    const std::string withNul = WriteCard(card).bytes;
    ASSERT_EQ(withNul.size(), 98u);
    read = ReadCard(withNul);
    ASSERT_EQ(read.code, 0);
    EXPECT_EQ(read.card.Cardname, "");
    EXPECT_EQ(read.card.Level, 0);
    EXPECT_TRUE(read.effects.empty());
    EXPECT_FALSE(read.card.Faratack);
    EXPECT_FALSE(read.card.Assasin);

    // Bytes after the last row are never looked at.
    EXPECT_EQ(ReadCard(withNul + std::string(10, '\xFF')).code, 0);
}

TEST(WidCardTest, NameIsTheTextUpToItsFirstNul) {
    WidCardPlan card = FullCard();
    card.name = test::WidText{std::string("ab\0cd", 5), std::nullopt};
    EXPECT_EQ(ReadCard(card).card.Cardname, "ab");
    card.name = test::WidText{"abcdef", std::nullopt};  // no NUL at all
    EXPECT_EQ(ReadCard(card).card.Cardname, "abcdef");
}

TEST(WidCardTest, ReadSetsTheNameAndResetsTheRestOnEntry) {
    WidCard card;
    EffectCollection effects;
    card.Cardname = "previous";
    card.Level = 12;
    card.Faratack = true;
    card.Assasin = true;
    card.Voice = 1;
    card.Target = 3;
    card.Gard = 5;

    // A name of length 0 is an empty name, not the previous card's.
    WidCardPlan plan;
    plan.name = test::LengthOnly(0);
    plan.level = 4;
    ASSERT_EQ(test::ReadCardBytes(WriteCard(plan).bytes, card, effects), 0);
    EXPECT_EQ(card.Cardname, "");
    EXPECT_EQ(card.Level, 4);
    EXPECT_FALSE(card.Faratack);
    EXPECT_FALSE(card.Assasin);
    EXPECT_EQ(card.Voice, 0);
    EXPECT_EQ(card.Target, 0);
    EXPECT_EQ(card.Gard, 0);

    // A read that stops before the level keeps the earlier level.
    card.Level = 12;
    card.Gard = 5;
    EXPECT_EQ(test::ReadCardBytes(WriteCard(FullCard()).cutAt("level"), card, effects), 541);
    EXPECT_EQ(card.Level, 12);
    EXPECT_EQ(card.Cardname, kFireName);
    EXPECT_EQ(card.Gard, 10);
}

// A read that fails before the rows are reached must not leave the previous card's values
// behind: the editor would otherwise show a mix of two cards.
TEST(WidCardTest, ReadFailingBeforeTheRowsLeavesNothingOfThePreviousCard) {
    WidCard card;
    EffectCollection effects;
    ASSERT_EQ(test::ReadCardBytes(WriteCard(FullCard()).bytes, card, effects), 0);
    ASSERT_EQ(card.Target, 3);
    ASSERT_EQ(card.Attribute, 1);
    ASSERT_TRUE(card.Faratack && card.Assasin);

    const std::string cut = WriteCard(FullCard()).cutAt("voice");
    EXPECT_EQ(test::ReadCardBytes(cut, card, effects), 503);
    WidCard expected;
    expected.Cardname = kFireName;  // the name is written as soon as it is read
    expected.Level = 7;             // the level only when it is reached
    EXPECT_EQ(card, expected);
}

// The size taken when the read begins may be more than is there by the time the bytes are
// read. The bytes that are read count, as if the file had always been that short.
TEST(WidCardTest, FileCutShortAfterItsSizeWasTakenReadsAsTheShortFile) {
    for (const bool big : {false, true}) {
        WidCardPlan plan = FullCard();
        // Over a mebibyte, the card is read field by field rather than whole.
        if (big) plan.firstBlock = test::WidText{std::string((1 << 20) + 10, 'x'), std::nullopt};
        const CardFile file = WriteCard(plan);
        for (const char* field : {"level", "gard", "voice"}) {
            const std::string shortFile = file.cutAt(field);
            const CardRead honest = ReadCard(shortFile);
            ASSERT_NE(honest.code, 0) << field;
            const test::FstatOvercount shrunk(
                static_cast<std::int64_t>(file.bytes.size() - shortFile.size()));
            const CardRead read = ReadCard(shortFile);
            EXPECT_EQ(read.code, honest.code) << field << (big ? " big" : "");
            EXPECT_EQ(read.card, honest.card) << field << (big ? " big" : "");
            EXPECT_EQ(read.effects, honest.effects) << field << (big ? " big" : "");
        }
        const test::FstatOvercount grownNothing(100);
        EXPECT_EQ(ReadCard(file.bytes).code, 0) << "a complete card still reads";
    }
}

TEST(WidCardTest, KeyCodesMatchOnlyTheirExactBytes) {
    struct Case {
        const char* what;
        std::array<test::WidText, 5> keyCodes;
        bool farAttack;
        bool assassin;
    };
    const auto none = test::LengthOnly(0);
    const Case cases[] = {
        {"none", {none, none, none, none, none}, false, false},
        {"far attack in 3, assassin in 5",
         {none, none, Sz(kFarAttack), none, Sz(kAssassin)},
         true,
         true},
        {"without the NUL",
         {test::WidText{kFarAttack, std::nullopt}, none, none, none, none},
         true,
         false},
        {"followed by more text", {Sz(kFarAttack + "x"), none, none, none, none}, false, false},
        {"text after the NUL",
         {test::WidText{kAssassin + '\0' + "zz", std::nullopt}, none, none, none, none},
         false,
         true},
        {"only a prefix", {Sz(kFarAttack.substr(0, 8)), none, none, none, none}, false, false},
        {"padded to 30 bytes",
         {test::WidText{kAssassin + std::string(26, '\0'), std::nullopt}, none, none, none, none},
         false,
         false},
        {"padded to 29 bytes",
         {test::WidText{kAssassin + std::string(25, '\0'), std::nullopt}, none, none, none, none},
         false,
         true},
        {"empty lengths skip nothing", {none, none, none, Sz(kAssassin), none}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WidCardPlan card = FullCard();
        card.keyCodes = c.keyCodes;
        const CardRead read = ReadCard(card);
        ASSERT_EQ(read.code, 0);
        EXPECT_EQ(read.card.Faratack, c.farAttack);
        EXPECT_EQ(read.card.Assasin, c.assassin);
    }
}

TEST(WidCardTest, ReaderLeavesTheStreamOpenAndReadsFromItsStart) {
    const std::string bytes = WriteCard(FullCard()).bytes;
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    std::rewind(f);
    WidCard card;
    EffectCollection effects;
    EXPECT_EQ(ReadWidCard(f, card, effects), 0);
    // Still open and usable: the caller closes it.
    std::rewind(f);
    EXPECT_EQ(std::fgetc(f), 5);
    std::fclose(f);
}

// The card starts where the stream stands, not at the start of the file, whether the card
// is read whole or field by field.
TEST(WidCardTest, CardIsReadFromTheStreamsPosition) {
    for (const bool big : {false, true}) {
        WidCardPlan plan = FullCard();
        if (big) plan.firstBlock = test::WidText{std::string((1 << 20) + 10, 'x'), std::nullopt};
        const std::string bytes = std::string(37, '\x05') + WriteCard(plan).bytes;
        std::FILE* f = std::tmpfile();
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
        ASSERT_EQ(std::fseek(f, 37, SEEK_SET), 0);
        CardRead read;
        read.code = ReadWidCard(f, read.card, read.effects);
        std::fclose(f);
        const CardRead expected = ReadCard(plan);
        EXPECT_EQ(read.code, 0) << big;
        EXPECT_EQ(read.card, expected.card) << big;
        EXPECT_EQ(read.effects, expected.effects) << big;
    }
}

// Long blocks are passed by seeking, short ones through the stream's buffer; a stream that
// cannot seek at all (a pipe) is read through. All three end in the same place.
// A card is read whole when it is small, and field by field from the stream when it is
// larger than that (a first block of 3 MiB); both ways read the same.
TEST(WidCardTest, BlocksOfAnySizeArePassedOnEveryKindOfStream) {
    for (const std::size_t firstBlock : {std::size_t{30000}, std::size_t{3} << 20}) {
        SCOPED_TRACE(firstBlock);
        WidCardPlan card = FullCard();
        card.firstBlock = Sz(std::string(firstBlock, 'a'));
        card.secondBlock = Sz(std::string(255, 'b'));
        card.thirdBlock = Sz(std::string(256, 'c'));
        card.fourthBlock = Sz(std::string(257, 'd'));
        card.keyCodes[0] = Sz(std::string(5000, 'k'));
        const CardFile file = WriteCard(card);

        const struct {
            std::string bytes;
            std::int32_t code;
        } cases[] = {
            {file.bytes, 0},
            {file.cutAt("firstBlock.bytes", firstBlock - 1), 53},
            {file.cutAt("fourthBlock.bytes", 256), 524},
            {file.cutAt("keyCodes[0].bytes", 4999), 526},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.bytes.size());
            for (const Medium medium : test::kEveryMedium) {
                const CardRead read = ReadCard(c.bytes, medium);
                EXPECT_EQ(read.code, c.code);
                if (c.code == 0) {
                    EXPECT_EQ(read.card.Level, 7);
                }
            }
            if (c.bytes.size() > test::kLargestPipedCard) continue;
            const CardRead piped = ReadFromPipe(c.bytes);
            EXPECT_EQ(piped.code, c.code);
            if (c.code == 0) {
                EXPECT_EQ(piped.card.Level, 7);
            }
        }
    }
}

// `bytes` (not empty) read from a stream over memory, whole or (with a limit of 0) field by
// field.
CardRead ReadInMemory(std::string_view bytes, std::int64_t wholeReadLimit) {
    std::string buffer(bytes);
    std::FILE* f = ::fmemopen(buffer.data(), bytes.size(), "rb");
    EXPECT_NE(f, nullptr);
    CardRead read;
    if (f == nullptr) return read;
    read.code = ReadWidCard(f, read.card, read.effects, wholeReadLimit);
    std::fclose(f);
    return read;
}

// Cards over the whole-read size are read in chunks, and cards from a pipe field by field;
// those ways must agree with the whole read on every card and on every place a card can
// end, not only on the big ones.
TEST(WidCardTest, EveryCutOfTheExamplesReadsAlikeWholeAndFieldByField) {
    for (const test::ExampleCard& example : test::ExampleCards()) {
        const std::string bytes = WriteCard(example.plan).bytes;
        for (std::size_t size = 1; size <= bytes.size(); ++size) {
            SCOPED_TRACE(testing::Message() << example.fileName << " cut at " << size);
            const std::string_view cut(bytes.data(), size);
            const CardRead whole = ReadInMemory(cut, kWidWholeReadLimit);
            const CardRead large = ReadInMemory(cut, 0);
            ASSERT_EQ(large.code, whole.code);
            ASSERT_EQ(large.card, whole.card);
            ASSERT_EQ(large.effects, whole.effects);
            const CardRead piped = ReadFromPipe(cut);
            ASSERT_EQ(piped.code, whole.code);
            ASSERT_EQ(piped.card, whole.card);
            ASSERT_EQ(piped.effects, whole.effects);
        }
    }
}

// With no size to compare with, a motion count reserves nothing: the list grows as the
// motions come.
TEST(WidCardTest, HugeMotionCountOnAPipeReservesNothing) {
    WidCardPlan card = FullCard();
    card.motions.count = INT_MAX;
    const CardRead read = ReadFromPipe(WriteCard(card).cutAt("escape"));
    EXPECT_EQ(read.code, 261);
    EXPECT_EQ(read.effects.size(), 1u);
    EXPECT_LT(read.effects.capacity(), 1000u);
}

TEST(WidCardTest, EventCountOfZeroOrLessReadsNoEvent) {
    for (const std::int32_t count : {0, -1, INT_MIN}) {
        SCOPED_TRACE(count);
        WidCardPlan card = FullCard();
        card.events = {};
        card.events.count = count;
        const CardRead read = ReadCard(card);
        EXPECT_EQ(read.code, 0);
        EXPECT_EQ(read.card.Level, 7);
    }
}

}  // namespace
}  // namespace morvat
