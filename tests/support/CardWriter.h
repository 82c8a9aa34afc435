// SPDX-License-Identifier: MIT
// Builds skill card files byte by byte for tests, fuzz seeds and the example cards. A card
// is described as plain values; every field can be set to anything the file can hold,
// including values the game never writes (negative lengths, wrong counts, bad kinds).
// WriteCard records where each field starts, so a test can cut the file at any field.
//
// Field names are paths: "success", "name.bytes", "motions[0].rounds",
// "motions[0].cards[0].events[0].trees[0].children[1].body.texts[0]". A text field's name
// marks its length; "<name>.bytes" marks the bytes after it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "files/WidReader.h"

namespace morvat::test {

// A length-prefixed text: an Int32 length, then that many bytes.
struct WidText {
    std::string bytes;                   // what follows the length
    std::optional<std::int32_t> length;  // stored instead of the size of `bytes` when set
};

// `text` with its terminating NUL, counted in the length as the game stores texts.
WidText Sz(std::string_view text);
// Only a length, with no bytes behind it.
WidText LengthOnly(std::int32_t length);

struct WidMotion;
struct WidEvent;
struct WidEmbeddedCard;

struct WidMotionList {
    std::vector<WidMotion> motions;
    std::optional<std::int32_t> count;  // stored instead of the number of motions when set
};

struct WidEventList {
    std::vector<WidEvent> events;
    std::optional<std::int32_t> count;
};

struct WidMotion {
    std::int32_t type = 0x40800;
    std::uint8_t element = 0;
    std::uint8_t detail = 0;
    std::uint8_t valueKind = 0;             // 0x40800, 0x40801
    std::int32_t value = 1;                 // 0x40800, 0x40801
    std::int32_t variation = 0;             // 0x40805
    std::int32_t rounds = 1;                // 0x40803 to 0x40805
    std::vector<WidEmbeddedCard> cards;     // 0x40808
    std::optional<std::int32_t> cardCount;  // 0x40808: stored instead of the number of cards
};

struct WidContent {
    std::uint8_t kind = 0;
    WidText name;
    std::vector<WidContent> children;
    std::optional<std::int32_t> childCount;  // stored instead of 40000 + number of children
    // The body (child contents only): texts in order, missing ones written empty; pairs of
    // texts for kind 40, and the two texts of each item for kind 8; motions for kind 11.
    std::vector<WidText> texts;
    std::vector<std::pair<WidText, WidText>> pairs;
    std::optional<std::int32_t> pairCount;
    WidMotionList motions;
    std::int32_t stepValue = 3;  // kinds 18 and 44: the Int32 before their 4 bytes
};

struct WidEvent {
    std::vector<WidContent> trees;
    std::optional<std::int32_t> treeCount;
};

// A card carried by a 0x40808 motion, with the byte, two texts and 4 bytes ahead of it.
struct WidEmbeddedCard {
    std::uint8_t lead = 0;
    WidText title;
    WidText note;
    WidText name;
    WidMotionList motions;
    std::array<WidText, 7> texts;
    std::uint8_t flag = 0;
    std::array<WidText, 2> moreTexts;
    WidEventList events;
};

struct WidCardPlan {
    std::uint8_t tag = 5;
    WidText firstBlock;
    WidText name;
    WidText secondBlock;
    std::uint8_t voice = 0;
    std::uint8_t targetAll = 0;
    std::uint8_t target = 0;
    std::uint8_t attribute = 0;
    std::uint8_t defence = 0;
    std::int32_t success = 0;
    WidMotionList motions;
    std::int32_t escape = 0;
    std::int32_t defuse = 0;
    std::int32_t gard = 0;
    WidText thirdBlock;
    WidText fourthBlock;
    std::array<WidText, 5> keyCodes;
    WidText fifthBlock;
    WidText sixthBlock;
    WidEventList events;
    std::int32_t level = 0;
    bool withTail = true;  // the 4 bytes after the level, which the game always writes
};

struct CardFile {
    std::string bytes;
    std::vector<std::pair<std::string, std::size_t>> fields;  // name, offset, in file order

    // Where a field starts; throws std::out_of_range naming the field when there is none.
    std::size_t offsetOf(std::string_view field) const;
    // The file up to the start of `field`, plus `keep` bytes of it.
    std::string cutAt(std::string_view field, std::size_t keep = 0) const;
};

CardFile WriteCard(const WidCardPlan& card);

// Motions of each layout.
WidMotion ValueMotion(std::int32_t type, std::uint8_t element, std::uint8_t detail,
                      std::uint8_t valueKind, std::int32_t value);
WidMotion PlainMotion(std::int32_t type, std::uint8_t element, std::uint8_t detail);
WidMotion RoundsMotion(std::int32_t type, std::uint8_t element, std::uint8_t detail,
                       std::int32_t rounds);
WidMotion ChangeMotion(std::uint8_t element, std::uint8_t detail, std::int32_t variation,
                       std::int32_t rounds);
WidMotion CardsMotion(std::vector<WidEmbeddedCard> cards);

// A content of `kind` with a short name and the given children.
WidContent Content(std::uint8_t kind, std::vector<WidContent> children = {});
// An event with one top-level content holding `contents`.
WidEvent EventOf(std::vector<WidContent> contents);

enum class Medium {
    File,    // a temporary file on disk
    Memory,  // a stream over memory, as the fuzzers read
    Large,   // a temporary file read in chunks, as a card over the whole-read size is
};
inline constexpr Medium kEveryMedium[] = {Medium::File, Medium::Memory, Medium::Large};

// Reads `bytes` as a card file, as the load flows do.
std::int32_t ReadCardBytes(std::string_view bytes, WidCard& card, EffectCollection& effects,
                           Medium medium = Medium::File);

struct CardRead {
    std::int32_t code = 0;
    WidCard card;
    EffectCollection effects;
};
CardRead ReadCard(std::string_view bytes, Medium medium = Medium::File);
// Reads `bytes` from a pipe, a stream that can neither seek nor tell its size, so that no
// field is read from memory the reader took in ahead: every read, skip and failure goes
// through the reader's stream. ReadCardBytes and ReadCard compare this with their read for
// cards of up to kLargestPipedCard bytes, which the pipe's buffer is made to hold whole.
CardRead ReadFromPipe(std::string_view bytes);
inline constexpr std::size_t kLargestPipedCard = 1024 * 1024;
CardRead ReadCard(const WidCardPlan& card, Medium medium = Medium::File);

}  // namespace morvat::test
