// SPDX-License-Identifier: MIT
#include "files/WidReader.h"

#include <new>
#include <optional>
#include <string_view>

#include "files/WidEvents.h"
#include "files/WidMotions.h"
#include "files/WidStream.h"

namespace morvat {
namespace {

constexpr std::uint8_t kFileTag = 5;
constexpr std::int32_t kMaxNameLength = 30;  // NUL included
constexpr std::int32_t kMaxComparedKeyCodeLength = 29;

// The two key codes the rating knows, as Shift-JIS bytes without their NUL.
constexpr std::string_view kKeyCodeFarAttack = "\x89\x93\x8b\x97\x97\xa3\x8d\x55\x8c\x82";
constexpr std::string_view kKeyCodeAssassin = "\x88\xc3\x8e\x45";

// Texts in the card are NUL-terminated within their stored length.
std::string UpToNul(std::string bytes) {
    const std::size_t nul = bytes.find('\0');
    if (nul != std::string::npos) bytes.resize(nul);
    return bytes;
}

// A byte whose range is tested counts as signed, so 0x80 and above fail every test.
template <typename In>
std::uint8_t ByteInRange(In& in, std::int32_t shortCode, std::int32_t rangeCode,
                         std::int8_t highest) {
    const std::uint8_t value = in.Byte(shortCode);
    const auto s = static_cast<std::int8_t>(value);
    if (s < 0 || s > highest) FailWidRead(rangeCode);
    return value;
}

template <typename In>
std::int32_t Int32InRange(In& in, std::int32_t shortCode, std::int32_t rangeCode,
                          std::int32_t lowest, std::int32_t highest) {
    const std::int32_t value = in.Int32(shortCode);
    if (value < lowest || value > highest) FailWidRead(rangeCode);
    return value;
}

struct KeyCodeCodes {
    std::int32_t lengthShort;
    std::int32_t bytesShort;
    std::int32_t skip;
};

// Lengths outside 1..29 are passed over without a look; an empty key code is just empty.
template <typename In>
void ReadKeyCode(In& in, const KeyCodeCodes& codes, WidCard& card) {
    const std::int32_t length = in.Int32(codes.lengthShort);
    if (length < 1 || length > kMaxComparedKeyCodeLength) {
        in.Skip(length, codes.skip);
        return;
    }
    const std::string keyCode = UpToNul(in.Bytes(length, codes.bytesShort));
    if (keyCode == kKeyCodeFarAttack) {
        card.Faratack = true;
    } else if (keyCode == kKeyCodeAssassin) {
        card.Assasin = true;
    }
}

// Everything after the picture.
template <typename In>
void ReadRowsAfterPicture(WidReadContext<In>& context, WidCard& card) {
    In& in = context.in;
    const std::int32_t nameLength = in.Int32(53);
    if (nameLength < 0 || nameLength > kMaxNameLength) FailWidRead(54);
    // A name of length 0 is an empty name, not the previous card's.
    card.Cardname = UpToNul(in.Bytes(nameLength, 55));

    in.Skip(4, 56);
    in.SkipText(500, 501);
    in.Skip(8, 502);
    card.Voice = ByteInRange(in, 503, 504, 1);
    card.TargetAll = ByteInRange(in, 505, 506, 1);
    card.Target = ByteInRange(in, 505, 506, 4);
    card.Attribute = ByteInRange(in, 507, 508, 3);
    card.Defence = ByteInRange(in, 509, 510, 1);
    card.Success = Int32InRange(in, 511, 512, -5, 5);
    in.Skip(1, 513);

    ReadMotionList(context, true);

    card.Escape = Int32InRange(in, 514, 515, -10, 10);
    card.Defuse = Int32InRange(in, 516, 517, -10, 10);
    card.Gard = Int32InRange(in, 518, 519, -10, 10);
    in.SkipText(520, 521);
    in.SkipText(522, 523);

    static constexpr KeyCodeCodes kKeyCodes[] = {
        {524, 525, 525}, {526, 527, 527}, {528, 529, 529}, {530, 531, 531}, {532, 531, 533},
    };
    for (const KeyCodeCodes& codes : kKeyCodes) ReadKeyCode(in, codes, card);

    in.Skip(1, 534);
    in.SkipText(535, 536);
    in.SkipText(537, 538);
    const std::int32_t events = in.Int32(539);
    for (std::int32_t i = 0; i < events; ++i) ReadWidEvent(context);
    in.Skip(1, 540);
    card.Level = Int32InRange(in, 541, 542, 0, 999);
    // The last 4 bytes may be missing: a skip past the end is no failure.
    in.Skip(4, 543);
}

void ReadCardRows(WidStream& in, EffectCollection& effects, WidCard& card) {
    if (in.Byte(50) != kFileTag) FailWidRead(20);
    in.SkipText(53, 55);
    // By now the rest of a card is nearly always in memory: read whole with the head, read
    // on from behind the picture, or given as bytes. Only a large card read in chunks, or
    // one from a pipe, goes on through the stream.
    if (const std::optional<std::string_view> rest = in.RestInMemory()) {
        WidSpan span(*rest);
        WidReadContext<WidSpan> context{span, effects};
        ReadRowsAfterPicture(context, card);
    } else {
        WidReadContext<WidStream> context{in, effects};
        ReadRowsAfterPicture(context, card);
    }
}

// Every read starts from these; the name and the level stay until the read reaches them.
void ResetReadFields(WidCard& card) {
    card.Faratack = false;
    card.Assasin = false;
    card.Voice = 0;
    card.TargetAll = 0;
    card.Target = 0;
    card.Attribute = 0;
    card.Defence = 0;
    card.Success = 0;
    card.Escape = 0;
    card.Defuse = 0;
    card.Gard = 0;
}

// One read from start to end whatever the source; the stream is made inside the try, so a
// failure while it takes the card in is caught like any other.
template <typename... Source>
std::int32_t ReadCard(WidCard& card, EffectCollection& effects, const Source&... source) {
    ResetReadFields(card);
    try {
        WidStream in(source...);
        ReadCardRows(in, effects, card);
        return 0;
    } catch (const WidReadFailure& failure) {
        return failure.code;
    } catch (const std::bad_alloc&) {
        // Every allocation is bounded by the file's size, but a card read must never end
        // the program.
        return kWidOutOfMemory;
    }
}

enum class OneReadOutcome {
    Card,     // the read held the whole file and the card read from it
    Refused,  // the system refused the read
    Unsure,   // the read filled the chunk, or its bytes did not make a card
};

// A card from a single read of a file opened unchecked. A read that comes back short has the
// whole file, unless the file is no regular file or the system gave less than was there;
// either way a card that reads from those bytes is the card, since every field up to the
// level must be there and nothing after it is read.
OneReadOutcome ReadCardWithOneRead(const RegularFile& file, WidCard& card,
                                   EffectCollection& effects) {
    ResetReadFields(card);
    try {
        WidStream in(file, WidStream::OneRead{});
        if (!in.HoldsWholeFile()) return OneReadOutcome::Unsure;
        ReadCardRows(in, effects, card);
        return OneReadOutcome::Card;
    } catch (const WidReadFailure& failure) {
        // The stream has no file to read on from: only its one read can be refused.
        return failure.code == kWidReadError ? OneReadOutcome::Refused : OneReadOutcome::Unsure;
    } catch (const std::bad_alloc&) {
        return OneReadOutcome::Unsure;
    }
}

}  // namespace

std::int32_t ReadWidCard(std::FILE* stream, WidCard& card, EffectCollection& effects,
                         std::int64_t wholeReadLimit) {
    return ReadCard(card, effects, stream, wholeReadLimit);
}

std::int32_t ReadWidCardFromBytes(std::string_view bytes, WidCard& card,
                                   EffectCollection& effects) {
    return ReadCard(card, effects, bytes);
}

std::int32_t ReadWidCardFile(const RegularFile& file, WidCard& card, EffectCollection& effects,
                             std::int64_t wholeReadLimit) {
    return ReadCard(card, effects, file, wholeReadLimit);
}

std::int32_t ReadWidCardUnchecked(RegularFile& file, WidCard& card, EffectCollection& effects,
                                  std::int64_t wholeReadLimit) {
    if (!file.IsOpen()) return kWidReadError;
    if (file.size() < 0) {
        bool refused = false;
        // Limits below a chunk (tests, the fuzzer) ask for the way of large cards at once.
        if (wholeReadLimit >= static_cast<std::int64_t>(WidStream::kChunkSize)) {
            const WidCard before = card;
            const std::size_t effectsBefore = effects.size();
            const OneReadOutcome outcome = ReadCardWithOneRead(file, card, effects);
            if (outcome == OneReadOutcome::Card) return 0;
            card = before;
            effects.erase(effects.begin() + static_cast<std::ptrdiff_t>(effectsBefore),
                          effects.end());
            refused = outcome == OneReadOutcome::Refused;
        }
        // The careful way: the file's type and size, then a read from a fresh start. A FIFO
        // or a folder refuses every read; a regular file that refused one has failed.
        file.Check();
        if (!file.IsOpen() || refused) return kWidReadError;
    }
    return ReadWidCardFile(file, card, effects, wholeReadLimit);
}

}  // namespace morvat
