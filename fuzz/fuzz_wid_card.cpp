// SPDX-License-Identifier: MIT
// The card reader on any bytes: it must return a code (0 or a failure) without crashing,
// hanging or exhausting memory, and a success must leave fields in their ranges.
//
// libFuzzer's inputs stay far below the size from which cards are read in chunks instead
// of whole, so every input is read both ways: once whole, as a small card is, and once
// with no whole read at all, as a card over the limit is. The bytes read from memory, as an
// archive member is, must give the same. Each of those has the card's rows in memory by
// the time they are read; a stream that cannot seek (a pipe) reads every field through
// the reader's stream instead. All must agree on the code, the card and the effects.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "MemoryStream.h"
#include "files/WidReader.h"

namespace {

struct Outcome {
    std::int32_t code = -1;
    morvat::WidCard card;
    morvat::EffectCollection effects;
};

bool ReadWith(morvat::fuzz::StreamPtr stream, std::int64_t wholeReadLimit, Outcome& read) {
    if (!stream) return false;
    read.code = morvat::ReadWidCard(stream.get(), read.card, read.effects, wholeReadLimit);
    return true;
}

bool Same(const Outcome& a, const Outcome& b) {
    // A failed read leaves the name and the level as far as it got; every way gets as far.
    return a.code == b.code && a.effects == b.effects && a.card == b.card;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using morvat::fuzz::OpenMemoryStream;
    Outcome whole;
    Outcome streamed;
    Outcome piped;
    if (!ReadWith(OpenMemoryStream(data, size), morvat::kWidWholeReadLimit, whole) ||
        !ReadWith(OpenMemoryStream(data, size), 0, streamed) ||
        !ReadWith(morvat::fuzz::OpenUnseekableStream(data, size), morvat::kWidWholeReadLimit,
                  piped)) {
        return 0;
    }
    Outcome fromBytes;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    fromBytes.code = morvat::ReadWidCardFromBytes(bytes, fromBytes.card, fromBytes.effects);
    if (!Same(whole, streamed) || !Same(whole, piped) || !Same(whole, fromBytes)) std::abort();

    const morvat::WidCard& card = whole.card;
    if (whole.code == 0) {
        // A card that was accepted feeds the editor's controls directly.
        const bool inRange =
            card.Cardname.size() <= 30 && card.Level >= 0 && card.Level <= 999 && card.Voice <= 1 &&
            card.TargetAll <= 1 && card.Target <= 4 && card.Attribute <= 3 && card.Defence <= 1 &&
            card.Success >= -5 && card.Success <= 5 && card.Escape >= -10 && card.Escape <= 10 &&
            card.Defuse >= -10 && card.Defuse <= 10 && card.Gard >= -10 && card.Gard <= 10;
        if (!inRange) std::abort();
    } else if (whole.code < 0) {
        std::abort();  // failures are positive codes
    }
    return 0;
}
