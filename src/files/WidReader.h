// SPDX-License-Identifier: MIT
// Reader of the game's skill card files (Skill*.wid), read only. It takes what the rating
// needs (name, level, target, attributes, modifiers, key codes and the card's own effects)
// and walks past everything else, testing the structure as it goes. A failure is a nonzero
// code of the first failing step; the reader never shows anything and never closes the
// file or stream it was handed. The same parsing runs over bytes in memory, a card file
// read by position, or a stdio stream.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "model/EffectEntry.h"

namespace morvat {

struct WidCard {
    std::string Cardname;  // Shift-JIS bytes, at most 30; UTF-8 when CardnameIsUtf8
    bool CardnameIsUtf8 = false;  // set by the XML card reader, whose names are Unicode
    std::int32_t Level = 0;
    std::uint8_t Voice = 0;
    std::uint8_t TargetAll = 0;
    std::uint8_t Target = 0;
    std::uint8_t Attribute = 0;
    std::uint8_t Defence = 0;
    std::int32_t Success = 0;
    std::int32_t Escape = 0;
    std::int32_t Defuse = 0;
    std::int32_t Gard = 0;
    bool Faratack = false;
    bool Assasin = false;

    friend bool operator==(const WidCard&, const WidCard&) = default;
};

using EffectCollection = std::vector<EffectEntry>;

// Failure codes for files that break the layout in ways the game never writes. The other
// codes each name the field whose read, range test or skip failed.
inline constexpr std::int32_t kWidChildCountBelowBase = 119;  // a child count under 40000
inline constexpr std::int32_t kWidContentKindRoot = 240;      // a content of kind 255
inline constexpr std::int32_t kWidTooDeep = 900;  // contents and embedded cards nested > 64
inline constexpr std::int32_t kWidOutOfMemory = 901;
inline constexpr std::int32_t kWidReadError = 902;  // the system refused to read the file

// Cards of up to this many bytes are read at once and then served from memory (a stdio
// stream whole, a card file whole or from its head on and past its picture); larger ones
// are read in bounded chunks where the fields are, and long blocks between them are passed
// without reading them.
inline constexpr std::int64_t kWidWholeReadLimit = std::int64_t{1} << 20;

// Reads one card from `stream`, opened for binary reading at its start. Fills `card` and
// appends the card's rated effects to `effects`. Returns 0, or the code of the first
// failing step. The stream stays open.
//
// On entry the key code flags and every kept value but `Cardname` and `Level` are reset;
// those two are written when the read reaches them. Time and memory grow at most linearly
// with the file's size, whatever it holds.
//
// `wholeReadLimit` is for the tests and the fuzzer: with 0, a card of any size takes the
// way of large cards, which must read exactly what the whole read does.
std::int32_t ReadWidCard(std::FILE* stream, WidCard& card, EffectCollection& effects,
                         std::int64_t wholeReadLimit = kWidWholeReadLimit);

// The same for a card whose bytes are already in memory, such as a member of an archive.
// Same codes and the same resets as reading the bytes from a file.
std::int32_t ReadWidCardFromBytes(std::string_view bytes, WidCard& card,
                                   EffectCollection& effects);

class RegularFile;

// The same from a card file opened as a RegularFile, read by position: a card of up to a
// chunk with one read, a larger one from its head and then on from behind its picture, one
// over `wholeReadLimit` in bounded chunks. A read the system refuses (interrupted reads are
// retried) ends the read with kWidReadError, as does a file that is not open or was opened
// unchecked.
std::int32_t ReadWidCardFile(const RegularFile& file, WidCard& card, EffectCollection& effects,
                             std::int64_t wholeReadLimit = kWidWholeReadLimit);

// The same for a card file opened with RegularFile::OpenUnchecked, with the fewest calls:
// one read of up to a chunk, which for nearly every card is the whole file, and no fstat.
// Only when that read is refused, fills the chunk or does not give a card is the file
// checked (RegularFile::Check). A file found not to be a regular file (a FIFO, a folder, a
// device) is closed, IsOpen() false, and the code then means nothing; a regular file whose
// read was refused gives kWidReadError; any other is read as ReadWidCardFile reads it, from
// a fresh start: what the first read left in `card` and `effects` is undone. A file that
// was checked already is read by ReadWidCardFile alone.
std::int32_t ReadWidCardUnchecked(RegularFile& file, WidCard& card, EffectCollection& effects,
                                  std::int64_t wholeReadLimit = kWidWholeReadLimit);

}  // namespace morvat
