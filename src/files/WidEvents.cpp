// SPDX-License-Identifier: MIT
#include "files/WidEvents.h"

#include <array>
#include <initializer_list>

#include "files/WidMotions.h"

namespace morvat {
namespace {

constexpr std::uint8_t kRootKind = 0xFF;  // marks an event's root; no content may have it

// What follows a content's children, by the content's kind.
enum class Body : std::uint8_t {
    NotAllowed,
    Nothing,
    Text,           // one text
    TextOther,      // one text, whose skip has a code of its own
    Byte,           // 1 byte
    TwoBytes,       // 2 bytes
    FourBytes,      // 4 bytes
    FiveBytes,      // 5 bytes
    StepValue,      // an Int32 that nothing uses, then 4 bytes
    NineBytes,      // 9 bytes
    ThirteenBytes,  // 13 bytes
    TextByte,       // a text, then 1 byte
    TextFiveBytes,  // a text, then 5 bytes
    TwoTexts,       // two texts
    TextPairs,      // 1 byte, a count, then pairs of texts
    Items,          // a count, then items of bytes and texts
    Motions,        // 11 bytes, a text, 1 byte, then a motion list
};

constexpr std::array<Body, 256> kBodies = [] {
    std::array<Body, 256> bodies{};
    const auto set = [&bodies](Body body, std::initializer_list<int> kinds) {
        for (const int kind : kinds) bodies[static_cast<std::size_t>(kind)] = body;
    };
    set(Body::Nothing, {0, 4, 45, 49, 50, 51, 55, 56, 63, 64});
    set(Body::Text, {1, 7, 9, 52, 57, 58, 59, 60, 61, 62});
    set(Body::TextOther, {15, 17, 41, 42, 43, 65});
    set(Body::Byte, {3});
    set(Body::TwoBytes, {12, 47});
    set(Body::FourBytes, {2, 5, 10, 14, 19, 22, 24, 26, 29, 31, 33, 36, 38, 48, 53, 54});
    set(Body::FiveBytes, {46});
    set(Body::StepValue, {18, 44});
    set(Body::NineBytes, {20, 21, 23, 27, 28, 30, 34, 35, 37});
    set(Body::ThirteenBytes, {13});
    set(Body::TextByte, {16});
    set(Body::TextFiveBytes, {25, 32, 39});
    set(Body::TwoTexts, {6});
    set(Body::TextPairs, {40});
    set(Body::Items, {8});
    set(Body::Motions, {11});
    return bodies;
}();

template <typename In>
void ReadBody(WidReadContext<In>& context, std::uint8_t kind) {
    In& in = context.in;
    switch (kBodies[kind]) {
        case Body::NotAllowed:
            FailWidRead(241);
        case Body::Nothing:
            return;
        case Body::Text:
            in.SkipText(200, 201);
            return;
        case Body::TextOther:
            in.SkipText(200, 301);
            return;
        case Body::Byte:
            in.Skip(1, 213);
            return;
        case Body::TwoBytes:
            in.Skip(2, 214);
            return;
        case Body::FourBytes:
            in.Skip(4, 211);
            return;
        case Body::FiveBytes:
            in.Skip(5, 215);
            return;
        case Body::StepValue:
            // The Int32 is a value, not a length: whatever it holds, 4 bytes follow it.
            in.Int32(202);
            in.Skip(4, 204);
            return;
        case Body::NineBytes:
            in.Skip(9, 212);
            return;
        case Body::ThirteenBytes:
            in.Skip(13, 216);
            return;
        case Body::TextByte:
            in.SkipText(208, 305);
            in.Skip(1, 210);
            return;
        case Body::TextFiveBytes:
            in.SkipText(205, 206);
            in.Skip(5, 207);
            return;
        case Body::TwoTexts:
            in.SkipText(229, 230);
            in.SkipText(231, 232);
            return;
        case Body::TextPairs: {
            in.Skip(1, 222);
            const std::int32_t pairs = in.Int32(224);
            for (std::int32_t i = 0; i < pairs; ++i) {
                in.SkipText(225, 226);
                in.SkipText(227, 228);
            }
            return;
        }
        case Body::Items: {
            const std::int32_t items = in.Int32(250);
            for (std::int32_t i = 0; i < items; ++i) {
                in.Skip(16, 251);
                in.SkipText(252, 253);
                in.Skip(1, 258);
                in.SkipText(254, 255);
                in.Skip(1, 256);
            }
            return;
        }
        case Body::Motions:  // effects inside an event are never the card's own
            in.Skip(11, 217);
            in.SkipText(218, 219);
            in.Skip(1, 220);
            ReadMotionList(context, false);
            return;
    }
}

template <typename In>
void ReadContent(WidReadContext<In>& context, std::int32_t kindShortCode, bool topLevel);

template <typename In>
void ReadChildren(WidReadContext<In>& context) {
    const std::int32_t stored = context.in.Int32(110);
    if (stored == kChildCountBase) return;
    // Below the base the layout has no meaning; reading on would only misalign the rest.
    if (stored < kChildCountBase) FailWidRead(kWidChildCountBelowBase);
    // Children are read one by one, never made up front: the count is only a claim, and
    // a short file ends the loop at the first missing kind.
    const std::int32_t children = stored - kChildCountBase;
    for (std::int32_t i = 0; i < children; ++i) ReadContent(context, i == 0 ? 111 : 112, false);
}

// A content: kind, name, children, and a body unless it is a top-level one.
template <typename In>
void ReadContent(WidReadContext<In>& context, std::int32_t kindShortCode, bool topLevel) {
    const WidNestingLevel level(context);
    In& in = context.in;
    const std::uint8_t kind = in.Byte(kindShortCode);
    if (kind == kRootKind) FailWidRead(kWidContentKindRoot);
    const std::int32_t nameLength = in.Int32(116);
    if (nameLength < 0) FailWidRead(117);
    in.Skip(nameLength, 118);
    ReadChildren(context);
    if (!topLevel) ReadBody(context, kind);
}

}  // namespace

template <typename In>
void ReadWidEvent(WidReadContext<In>& context) {
    const std::int32_t trees = context.in.Int32(100);
    for (std::int32_t i = 0; i < trees; ++i) ReadContent(context, 112, true);
}

template void ReadWidEvent(WidReadContext<WidStream>& context);
template void ReadWidEvent(WidReadContext<WidSpan>& context);

}  // namespace morvat
