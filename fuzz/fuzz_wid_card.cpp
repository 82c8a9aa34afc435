// The card reader on any bytes: it must return a code (0 or a failure) without crashing,
// hanging or exhausting memory, and a success must leave fields in their ranges. The bytes
// read from memory and through a stdio stream must give the same card.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "MemoryStream.h"
#include "files/WidReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    morvat::fuzz::StreamPtr stream = morvat::fuzz::OpenMemoryStream(data, size);
    if (!stream) return 0;
    morvat::WidCard card;
    morvat::EffectCollection effects;
    const std::int32_t code = morvat::ReadWidCard(stream.get(), card, effects);
    morvat::WidCard fromBytes;
    morvat::EffectCollection bytesEffects;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (morvat::ReadWidCardFromMemory(bytes, fromBytes, bytesEffects) != code ||
        !(fromBytes == card) || !(bytesEffects == effects)) {
        std::abort();
    }
    if (code == 0) {
        // A card that was accepted feeds the editor's controls directly.
        const bool inRange =
            card.Cardname.size() <= 30 && card.Level >= 0 && card.Level <= 999 && card.Voice <= 1 &&
            card.TargetAll <= 1 && card.Target <= 4 && card.Attribute <= 3 && card.Defence <= 1 &&
            card.Success >= -5 && card.Success <= 5 && card.Escape >= -10 && card.Escape <= 10 &&
            card.Defuse >= -10 && card.Defuse <= 10 && card.Gard >= -10 && card.Gard <= 10;
        if (!inRange) std::abort();
    } else if (code < 0) {
        std::abort();  // failures are positive codes
    }
    return 0;
}
