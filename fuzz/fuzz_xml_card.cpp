// SPDX-License-Identifier: MIT
// The XML card reader on any bytes: it must return a code without crashing, hanging or
// exhausting memory; an accepted card's fields are in their ranges, its name is UTF-8, and
// a failure adds no effect.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "Utf8Check.h"
#include "files/XmlCardReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    morvat::WidCard card;
    morvat::EffectCollection effects;
    morvat::XmlCardNotes notes;
    const std::int32_t code = morvat::ReadXmlCard(bytes, card, effects, &notes);
    if (code == 0) {
        const bool inRange =
            card.CardnameIsUtf8 && morvat::fuzz::IsWellFormedUtf8(card.Cardname) && card.Level >= 0 &&
            card.Level <= 999 && card.Voice <= 1 && card.TargetAll <= 1 && card.Target <= 4 &&
            card.Attribute <= 3 && card.Defence <= 1 && card.Success >= -5 && card.Success <= 5 &&
            card.Escape >= -10 && card.Escape <= 10 && card.Defuse >= -10 && card.Defuse <= 10 &&
            card.Gard >= -10 && card.Gard <= 10;
        if (!inRange) std::abort();
        for (const morvat::EffectEntry& e : effects) {
            if (e.kind < 1 || e.kind > 31 || e.attribute < 0 || e.attribute > 6 ||
                e.valueKind > 2 || e.value < 1 || e.value > 99 || e.rounds < 1 || e.rounds > 999)
                std::abort();
        }
    } else if (code < 1000 || !effects.empty()) {
        std::abort();  // XML failures have codes of their own
    }
    return 0;
}
