// The code page 932 table behind ShiftJis.h, generated from glibc's iconv by
// tools/make-cp932-table. Every build (the native ones and WebAssembly, whose C library has
// no code page 932) decodes card names through this one table, so they agree byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>

namespace morvat::cp932 {

// kSingle values that are not characters.
inline constexpr std::uint16_t kLead = 0xFFFF;     // the first byte of a pair
inline constexpr std::uint16_t kInvalid = 0xFFFE;  // no character starts with this byte

inline constexpr std::uint8_t kFirstTrail = 0x40;
inline constexpr std::size_t kTrailCount = 0xFC - 0x40 + 1;
inline constexpr std::uint8_t kNoLead = 0xFF;  // kLeadIndex of a byte that is no lead

struct EncodeException {
    std::uint32_t codePoint;
    // The bytes (one byte when below 0x100); kNoForm when there are none, kDropped when the
    // character is left out.
    std::uint16_t bytes;
};
inline constexpr std::uint16_t kNoForm = 0x0000;
inline constexpr std::uint16_t kDropped = 0xFFFF;

// The character of each single byte, or kLead / kInvalid.
extern const std::uint16_t kSingle[256];
// The row of kDouble for each lead byte, kNoLead for the others.
extern const std::uint8_t kLeadIndex[256];
// The character of each pair by lead row and trail byte (from kFirstTrail); 0 when the pair
// is not a character.
extern const std::uint16_t kDouble[][kTrailCount];

// Encoding takes, for each character, the first byte sequence that decodes to it (single
// bytes first, then pairs in byte order), except for the characters listed here, sorted.
extern const std::size_t kEncodeExceptionCount;
extern const EncodeException kEncodeExceptions[];

}  // namespace morvat::cp932
