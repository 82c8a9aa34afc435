// SPDX-License-Identifier: MIT
#include "files/WidMotions.h"

#include <algorithm>

#include "files/WidEvents.h"
#include "model/EffectCatalogue.h"

namespace morvat {
namespace {

// A motion takes at least its type, 2 skipped bytes, its element and its detail code.
constexpr std::int64_t kSmallestMotionBytes = 8;

// Room for the announced motions, but never for more than the rest of the file can hold:
// the count comes from the file and may claim billions. Without a known size the list
// grows as the motions come.
void ReserveFor(EffectCollection& effects, std::int32_t count, std::int64_t remaining) {
    const std::int64_t fits = remaining / kSmallestMotionBytes;
    const std::int64_t wanted = std::min<std::int64_t>(count, fits);
    effects.reserve(effects.size() + static_cast<std::size_t>(wanted));
}

void Collect(EffectCollection& effects, std::int32_t type, std::uint8_t element,
             std::uint8_t detail, std::uint8_t valueKind, std::int32_t value,
             std::int32_t variation, std::int32_t rounds) {
    const std::uint8_t kind = RatedEffectKind(type, detail);
    if (kind == 0) return;
    effects.push_back(MakeEffectEntry(kind, static_cast<std::int8_t>(element),
                                      static_cast<std::int8_t>(valueKind), value, variation,
                                      rounds));
}

// D embedded cards, each behind a byte, two texts and 4 bytes of its own.
template <typename In>
void ReadEmbeddedCards(WidReadContext<In>& context) {
    In& in = context.in;
    in.Skip(3, 262);
    const std::int32_t cards = in.Int32(263);
    for (std::int32_t i = 0; i < cards; ++i) {
        in.Skip(1, 268);
        in.SkipText(269, 270);
        in.SkipText(271, 272);
        in.Skip(4, 273);
        ReadEmbeddedCard(context);
    }
}

template <typename In>
void ReadMotion(WidReadContext<In>& context, bool collect) {
    In& in = context.in;
    const std::int32_t type = in.Int32(261);
    if (type == kMotionEmbedsCards) {
        ReadEmbeddedCards(context);
        return;
    }
    in.Skip(2, 264);
    const std::uint8_t element = in.Byte(2644);
    const std::uint8_t detail = in.Byte(2644);
    switch (type) {
        case 0x40800:
        case 0x40801: {
            if (!collect) {
                in.Skip(5, 265);
                return;
            }
            const std::uint8_t valueKind = in.Byte(301);
            const std::int32_t value = in.Int32(302);
            Collect(context.effects, type, element, detail, valueKind, value, 0, 1);
            return;
        }
        case 0x40802:
        case 0x40806:
        case 0x40807:
            if (collect) Collect(context.effects, type, element, detail, 0, 1, 0, 1);
            return;
        case 0x40803:
        case 0x40804:
            if (!collect) {
                in.Skip(4, 266);
                return;
            }
            Collect(context.effects, type, element, detail, 0, 1, 0, in.Int32(303));
            return;
        case 0x40805: {
            if (!collect) {
                in.Skip(8, 267);
                return;
            }
            const std::int32_t variation = in.Int32(301);
            const std::int32_t rounds = in.Int32(301);
            Collect(context.effects, type, element, detail, 0, 1, variation, rounds);
            return;
        }
        default:
            FailWidRead(299);
    }
}

}  // namespace

std::uint8_t RatedEffectKind(std::int32_t type, std::uint8_t detail) {
    // Most types rate a run of detail codes from 0 as consecutive effect kinds.
    const auto run = [detail](EffectKind first, EffectKind last) -> std::uint8_t {
        const int kind = KindNumber(first) + detail;
        return kind <= KindNumber(last) ? static_cast<std::uint8_t>(kind) : 0;
    };
    switch (type) {
        case 0x40800:
            return run(EffectKind::Heal, EffectKind::Drain);
        case 0x40801:  // paralysis, its cure, poison, its cure
            return run(EffectKind::Paralysis, EffectKind::CurePoison);
        case 0x40802:
            return run(EffectKind::SkillRecover, EffectKind::SkillDisable);
        case 0x40803:  // mental states
            return run(EffectKind::Sleep, EffectKind::MindNormal);
        case 0x40804:  // magical states and their cures
            return run(EffectKind::Bind, EffectKind::Unnullify);
        case 0x40805:
            return run(EffectKind::ActionChange, EffectKind::DefenceChange);
        case 0x40806:  // 1 is not rated
            return detail == 0   ? KindNumber(EffectKind::EraseTarget)
                   : detail == 2 ? KindNumber(EffectKind::EraseSummon)
                                 : 0;
        case 0x40807:  // the other codes are not rated
            return detail == 6   ? KindNumber(EffectKind::DealConfusion)
                   : detail == 7 ? KindNumber(EffectKind::DealSkill)
                                 : 0;
        default:
            return 0;
    }
}

template <typename In>
void ReadMotionList(WidReadContext<In>& context, bool collect) {
    const std::int32_t count = context.in.Int32(260);
    if (count <= 0) return;
    if (collect) ReserveFor(context.effects, count, context.in.KnownRemaining());
    for (std::int32_t i = 0; i < count; ++i) ReadMotion(context, collect);
}

template <typename In>
void ReadEmbeddedCard(WidReadContext<In>& context) {
    const WidNestingLevel level(context);
    In& in = context.in;
    in.SkipText(500, 501);
    in.Skip(18, 502);
    ReadMotionList(context, false);
    in.Skip(12, 503);
    for (std::int32_t text = 0; text < 7; ++text) in.SkipText(504 + 2 * text, 505 + 2 * text);
    in.Skip(1, 518);
    in.SkipText(519, 520);
    in.SkipText(521, 522);
    const std::int32_t events = in.Int32(523);
    for (std::int32_t i = 0; i < events; ++i) ReadWidEvent(context);
    in.Skip(5, 524);
}

template void ReadMotionList(WidReadContext<WidStream>& context, bool collect);
template void ReadMotionList(WidReadContext<WidSpan>& context, bool collect);
template void ReadEmbeddedCard(WidReadContext<WidStream>& context);
template void ReadEmbeddedCard(WidReadContext<WidSpan>& context);

}  // namespace morvat
