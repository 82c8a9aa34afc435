// SPDX-License-Identifier: MIT
// The read helpers of the card reader and the state that one card read shares across its
// nested parts. Field code reads only through WidStream: every helper checks that the
// bytes are there, and a missing byte or a refused move ends the read with the code of
// the field being read.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "files/WidReader.h"

namespace morvat {

// The first failing step of a card read. Thrown from any depth and caught only where
// ReadWidCard begins, which returns the code.
struct WidReadFailure {
    std::int32_t code;
};

[[noreturn]] void FailWidRead(std::int32_t code);

// A forward-only view of the card file. It keeps the position and the file size itself,
// so skips behave alike on files and on memory streams, and a skip past the end costs
// nothing: the next read then comes up short.
class WidStream {
public:
    // `stream` stays owned by the caller; reading starts at its current position. A card
    // of up to `wholeReadLimit` bytes is read whole at once.
    WidStream(std::FILE* stream, std::int64_t wholeReadLimit);
    // A card already in memory (an archive member); `bytes` must outlive the stream.
    explicit WidStream(std::string_view bytes);
    ~WidStream();
    WidStream(const WidStream&) = delete;
    WidStream& operator=(const WidStream&) = delete;

    // Signed 32-bit little-endian integer.
    std::int32_t Int32(std::int32_t shortCode);
    std::uint8_t Byte(std::int32_t shortCode);
    // Exactly `count` bytes (a short file fails before anything is allocated).
    std::string Bytes(std::int32_t count, std::int32_t shortCode);
    // Moves forward by `count` bytes. A backward move is refused: the format never needs
    // one, and following it could make a read go round in circles.
    void Skip(std::int64_t count, std::int32_t skipCode);
    // A length-prefixed text that the reader passes over: Int32 length, then a skip.
    void SkipText(std::int32_t lengthShortCode, std::int32_t skipCode);

    // Bytes known to be left between the position and the end of the file: 0 past the end,
    // and 0 for a stream that cannot seek, whose size nobody knows.
    std::int64_t KnownRemaining() const;

private:
    // Whether `count` more bytes could still be in the file.
    bool CouldHold(std::uint64_t count) const;
    void Read(void* destination, std::size_t count, std::int32_t shortCode);

    std::FILE* stream_ = nullptr;  // nullptr for a card handed over in memory
    std::string whole_;            // the file from `wholeStart_` on, when read whole
    std::string_view memory_;      // the bytes served when in memory: `whole_` or the caller's
    std::int64_t wholeStart_ = 0;
    bool inMemory_ = false;
    std::int64_t position_ = 0;
    std::int64_t size_ = -1;  // -1: unknown, the stream cannot seek
    bool beyondEnd_ = false;  // a skip went past the end; every later read is short
};

// How deep embedded cards and contents may nest inside one another. Real cards stay far
// below; a hostile file would otherwise drive the reader's recursion without bound.
inline constexpr int kMaxWidNesting = 64;

// What one card read shares across its parts.
struct WidReadContext {
    WidStream& in;
    EffectCollection& effects;  // where the card's own motions go
    int nesting = 0;            // embedded cards and contents entered and not yet left
};

// One level of nesting for as long as it lives; entering level 65 fails the read.
class WidNestingLevel {
public:
    explicit WidNestingLevel(WidReadContext& context);
    ~WidNestingLevel() { --context_.nesting; }
    WidNestingLevel(const WidNestingLevel&) = delete;
    WidNestingLevel& operator=(const WidNestingLevel&) = delete;

private:
    WidReadContext& context_;
};

}  // namespace morvat
