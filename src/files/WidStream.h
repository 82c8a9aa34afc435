// SPDX-License-Identifier: MIT
// The read helpers of the card reader and the state that one card read shares across its
// nested parts. Field code reads only through WidStream: every helper checks that the
// bytes are there, and a missing byte or a refused move ends the read with the code of
// the field being read.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "files/RegularFile.h"
#include "files/WidReader.h"

namespace morvat {

// The first failing step of a card read. Thrown from any depth and caught only where
// ReadWidCard begins, which returns the code.
struct WidReadFailure {
    std::int32_t code;
};

[[noreturn]] void FailWidRead(std::int32_t code);

// A signed 32-bit little-endian integer from 4 bytes.
inline std::int32_t DecodeWidInt32(const unsigned char* b) {
    const std::uint32_t u = std::uint32_t{b[0]} | (std::uint32_t{b[1]} << 8) |
                            (std::uint32_t{b[2]} << 16) | (std::uint32_t{b[3]} << 24);
    return static_cast<std::int32_t>(u);
}

// A forward-only view of a card's bytes. It keeps the position and the size itself, so a
// skip only moves the position: no bytes are read and no system call is made for it, and a
// skip past the end costs nothing (the next read then comes up short). The bytes come from
// memory, from a file read by position, or from a stdio stream.
class WidStream {
public:
    // The whole card in memory; the bytes must outlive the stream.
    explicit WidStream(std::string_view bytes);
    // A card file: one of up to a chunk is read whole, one of up to `wholeReadLimit` bytes
    // from its head and then past its picture, a larger one in bounded chunks where the
    // fields are. A file that shrinks after it was opened is read to its new end; one that
    // grows is read to the size it had. A read the system refuses fails the card read with
    // kWidReadError.
    WidStream(const RegularFile& file, std::int64_t wholeReadLimit);
    // A card file opened unchecked (its size not known): one read of up to a chunk from the
    // start and no more. When that read comes back short it holds the whole file as it was
    // read, and the card is read from it (HoldsWholeFile()); when it fills the chunk, nothing
    // read through the stream is to be trusted. A refused read fails with kWidReadError.
    struct OneRead {};
    WidStream(const RegularFile& file, OneRead);
    // `stream` stays owned by the caller; reading starts at its current position. A card
    // of up to `wholeReadLimit` bytes is read whole at once; a stream that cannot seek (a
    // pipe) is read through.
    WidStream(std::FILE* stream, std::int64_t wholeReadLimit);
    ~WidStream();
    WidStream(const WidStream&) = delete;
    WidStream& operator=(const WidStream&) = delete;

    // Signed 32-bit little-endian integer.
    std::int32_t Int32(std::int32_t shortCode) {
        // A card is thousands of small fields; those already in memory take no call.
        if (const unsigned char* b = InWindow(4)) {
            position_ += 4;
            return DecodeWidInt32(b);
        }
        std::array<unsigned char, 4> b{};
        Read(b.data(), b.size(), shortCode);
        return DecodeWidInt32(b.data());
    }
    std::uint8_t Byte(std::int32_t shortCode) {
        if (const unsigned char* b = InWindow(1)) {
            ++position_;
            return *b;
        }
        unsigned char b = 0;
        Read(&b, 1, shortCode);
        return b;
    }
    // Exactly `count` bytes (a short file fails before anything is allocated).
    std::string Bytes(std::int32_t count, std::int32_t shortCode);
    // Moves forward by `count` bytes. A backward move is refused: the format never needs
    // one, and following it could make a read go round in circles.
    void Skip(std::int64_t count, std::int32_t skipCode) {
        if (count >= 0 && !beyondEnd_ && size_ >= 0 && count <= size_ - position_) {
            position_ += count;  // only the position moves
            return;
        }
        SkipOutside(count, skipCode);
    }
    // A length-prefixed text that the reader passes over: Int32 length, then a skip.
    void SkipText(std::int32_t lengthShortCode, std::int32_t skipCode) {
        Skip(Int32(lengthShortCode), skipCode);
    }

    // Bytes known to be left between the position and the end: 0 past the end, and 0 for a
    // stream that cannot seek, whose size nobody knows.
    std::int64_t KnownRemaining() const;

    // Every byte from the position to the end, when all of them are in memory already (then
    // they can be read on through a WidSpan); nothing when a read is still to come or the
    // end is not known.
    std::optional<std::string_view> RestInMemory() const;

    bool HoldsWholeFile() const { return holdsWholeFile_; }

    // The bytes a larger card is read in at a time.
    static constexpr std::size_t kChunkSize = 64 * 1024;
    // The bytes a larger card file's first read takes: the tag and the picture's length,
    // and the rows behind them when the picture is small.
    static constexpr std::size_t kHeadSize = 4 * 1024;

private:
    // The `count` bytes at the position when all of them are in the window, else nullptr.
    // The window never holds bytes past the size, so they are in the card too.
    const unsigned char* InWindow(std::size_t count) const {
        if (beyondEnd_) return nullptr;
        const std::int64_t offset = position_ - windowStart_;
        if (offset < 0 || static_cast<std::uint64_t>(offset) + count > windowLength_) return nullptr;
        return reinterpret_cast<const unsigned char*>(window_) + offset;
    }
    // A buffer of at least `size` bytes, its old bytes kept only while it is large enough.
    char* Buffer(std::size_t size);
    // Skip for the cases the inline part leaves: a refused move, the end, no known size.
    void SkipOutside(std::int64_t count, std::int32_t skipCode);
    // Whether `count` more bytes could still be there.
    bool CouldHold(std::uint64_t count) const;
    void Read(void* destination, std::size_t count, std::int32_t shortCode);
    // Brings the bytes at the position into the window, or reads them straight into
    // `destination` when they are more than a chunk.
    void Fill(void* destination, std::size_t count, std::int32_t shortCode);
    void FillFromFile(void* destination, std::size_t count, std::int32_t shortCode);
    void FillFromStream(void* destination, std::size_t count, std::int32_t shortCode);
    // Moves the stdio stream forward to the position.
    void CatchUpStream(std::int32_t shortCode);

    const RegularFile* file_ = nullptr;
    std::FILE* stream_ = nullptr;
    std::int64_t streamPosition_ = 0;  // where the stdio stream is
    std::unique_ptr<char[]> buffer_;   // the window's bytes, unless they are the caller's
    std::size_t bufferSize_ = 0;
    bool usesKept_ = false;  // the window is in the thread's kept buffer
    const char* window_ = nullptr;     // bytes from `windowStart_` on
    std::size_t windowLength_ = 0;
    std::int64_t windowStart_ = 0;
    std::int64_t position_ = 0;
    std::int64_t size_ = -1;  // -1: unknown, the stream cannot seek
    bool beyondEnd_ = false;  // a skip went past the end; every later read is short
    bool holdsWholeFile_ = true;  // false: a single read that filled the chunk
};

// A card's bytes that are all in memory, read with a cursor and nothing else. It reads
// exactly as a WidStream over the same bytes would (the same checks, the same codes, a skip
// past the end that fails only the next read), but has no window to look up and no file to
// fall back on, so the compiler can keep the cursor in a register from field to field. The
// bytes must outlive it.
class WidSpan {
public:
    explicit WidSpan(std::string_view bytes)
        : next_(reinterpret_cast<const unsigned char*>(bytes.data())), end_(next_ + bytes.size()) {}
    WidSpan(const WidSpan&) = delete;
    WidSpan& operator=(const WidSpan&) = delete;

    std::int32_t Int32(std::int32_t shortCode) {
        if (end_ - next_ < 4) FailWidRead(shortCode);
        const std::int32_t value = DecodeWidInt32(next_);
        next_ += 4;
        return value;
    }
    std::uint8_t Byte(std::int32_t shortCode) {
        if (next_ == end_) FailWidRead(shortCode);
        return *next_++;
    }
    std::string Bytes(std::int32_t count, std::int32_t shortCode) {
        if (count < 0 || beyondEnd_ || count > end_ - next_) FailWidRead(shortCode);
        std::string bytes(reinterpret_cast<const char*>(next_), static_cast<std::size_t>(count));
        next_ += count;
        return bytes;
    }
    void Skip(std::int64_t count, std::int32_t skipCode) {
        if (count < 0) FailWidRead(skipCode);
        if (count <= end_ - next_) {
            next_ += count;
        } else {
            next_ = end_;  // past the end is no failure by itself; every later read is short
            beyondEnd_ = true;
        }
    }
    void SkipText(std::int32_t lengthShortCode, std::int32_t skipCode) {
        Skip(Int32(lengthShortCode), skipCode);
    }
    std::int64_t KnownRemaining() const { return end_ - next_; }

private:
    const unsigned char* next_;
    const unsigned char* end_;
    bool beyondEnd_ = false;  // a skip went past the end: even an empty Bytes() fails
};

// How deep embedded cards and contents may nest inside one another. Real cards stay far
// below; a hostile file would otherwise drive the reader's recursion without bound.
inline constexpr int kMaxWidNesting = 64;

// What one card read shares across its parts. `In` is what the bytes are read through:
// WidStream, or WidSpan for bytes that are all in memory.
template <typename In>
struct WidReadContext {
    In& in;
    EffectCollection& effects;  // where the card's own motions go
    int nesting = 0;            // embedded cards and contents entered and not yet left
};

// One level of nesting for as long as it lives; entering level 65 fails the read.
template <typename In>
class WidNestingLevel {
public:
    explicit WidNestingLevel(WidReadContext<In>& context) : context_(context) {
        if (context_.nesting >= kMaxWidNesting) FailWidRead(kWidTooDeep);
        ++context_.nesting;
    }
    ~WidNestingLevel() { --context_.nesting; }
    WidNestingLevel(const WidNestingLevel&) = delete;
    WidNestingLevel& operator=(const WidNestingLevel&) = delete;

private:
    WidReadContext<In>& context_;
};

}  // namespace morvat
