// SPDX-License-Identifier: MIT
#include "files/WidStream.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace morvat {
namespace {

constexpr std::int64_t kReadThroughSkip = 256;

}  // namespace

void FailWidRead(std::int32_t code) {
    throw WidReadFailure{code};
}

WidStream::WidStream(std::FILE* stream, std::int64_t wholeReadLimit) : stream_(stream) {
    // Held for the whole read, so each small field is read without taking the lock again.
    ::flockfile(stream_);
    const off_t start = ::ftello(stream_);
    if (start < 0) return;  // a stream without a position (a pipe) is read through
    struct stat st {};
    const int fd = ::fileno(stream_);
    if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        size_ = st.st_size;
    } else {
        // Memory streams and other seekable streams: find the end by moving there.
        if (::fseeko(stream_, 0, SEEK_END) != 0) return;
        const off_t end = ::ftello(stream_);
        if (::fseeko(stream_, start, SEEK_SET) != 0 || end < 0) {
            // Lost its place: nothing can be trusted to be read from it.
            beyondEnd_ = true;
            return;
        }
        size_ = end;
    }
    position_ = start;
    if (size_ < start) {
        size_ = start;
        return;
    }
    // A card is small: taken whole with one read, it costs no more than reading its bytes
    // at all, and the fields and skips are then served from memory.
    if (size_ - start <= wholeReadLimit) {
        whole_.resize(static_cast<std::size_t>(size_ - start));
        whole_.resize(::fread_unlocked(whole_.data(), 1, whole_.size(), stream_));
        wholeStart_ = start;
        size_ = start + static_cast<std::int64_t>(whole_.size());
        memory_ = whole_;
        inMemory_ = true;
    }
}

WidStream::WidStream(std::string_view bytes)
    : memory_(bytes), inMemory_(true), size_(static_cast<std::int64_t>(bytes.size())) {}

WidStream::~WidStream() {
    if (stream_ != nullptr) ::funlockfile(stream_);
}

std::int64_t WidStream::KnownRemaining() const {
    if (beyondEnd_ || size_ < 0) return 0;
    return size_ - position_;
}

bool WidStream::CouldHold(std::uint64_t count) const {
    if (beyondEnd_) return false;
    if (size_ < 0) return true;
    return static_cast<std::uint64_t>(size_ - position_) >= count;
}

void WidStream::Read(void* destination, std::size_t count, std::int32_t shortCode) {
    if (!CouldHold(count)) FailWidRead(shortCode);
    if (inMemory_) {
        std::memcpy(destination, memory_.data() + (position_ - wholeStart_), count);
        position_ += static_cast<std::int64_t>(count);
        return;
    }
    if (::fread_unlocked(destination, 1, count, stream_) != count) FailWidRead(shortCode);
    position_ += static_cast<std::int64_t>(count);
}

std::int32_t WidStream::Int32(std::int32_t shortCode) {
    std::array<unsigned char, 4> b{};
    Read(b.data(), b.size(), shortCode);
    const std::uint32_t u =
        static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
        (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    return static_cast<std::int32_t>(u);
}

std::uint8_t WidStream::Byte(std::int32_t shortCode) {
    unsigned char b = 0;
    Read(&b, 1, shortCode);
    return b;
}

std::string WidStream::Bytes(std::int32_t count, std::int32_t shortCode) {
    if (count < 0 || !CouldHold(static_cast<std::uint64_t>(count))) FailWidRead(shortCode);
    std::string bytes(static_cast<std::size_t>(count), '\0');
    Read(bytes.data(), bytes.size(), shortCode);
    return bytes;
}

void WidStream::Skip(std::int64_t count, std::int32_t skipCode) {
    if (count < 0) FailWidRead(skipCode);
    if (count == 0 || beyondEnd_) return;
    if (size_ < 0) {
        // No size to move within: pass the bytes by reading them, up to the end.
        std::array<char, 4096> scratch{};
        while (count > 0) {
            const auto chunk = static_cast<std::size_t>(
                std::min<std::int64_t>(count, static_cast<std::int64_t>(scratch.size())));
            const std::size_t got = ::fread_unlocked(scratch.data(), 1, chunk, stream_);
            position_ += static_cast<std::int64_t>(got);
            count -= static_cast<std::int64_t>(got);
            if (got != chunk) {
                beyondEnd_ = true;
                return;
            }
        }
        return;
    }
    if (count > size_ - position_) {
        // Past the end is no failure by itself; the stream is left where it is.
        beyondEnd_ = true;
        return;
    }
    if (inMemory_) {
        // Nothing to move: the next read takes its bytes from the new position.
    } else if (count <= kReadThroughSkip) {
        // A seek drops the stream's buffer and costs a system call; short skips, which a
        // card is full of, are cheaper read from the buffer.
        std::array<char, kReadThroughSkip> scratch;
        const auto wanted = static_cast<std::size_t>(count);
        if (::fread_unlocked(scratch.data(), 1, wanted, stream_) != wanted) beyondEnd_ = true;
    } else if (::fseeko(stream_, static_cast<off_t>(position_ + count), SEEK_SET) != 0) {
        FailWidRead(skipCode);
    }
    position_ += count;
}

void WidStream::SkipText(std::int32_t lengthShortCode, std::int32_t skipCode) {
    Skip(Int32(lengthShortCode), skipCode);
}

WidNestingLevel::WidNestingLevel(WidReadContext& context) : context_(context) {
    if (context_.nesting >= kMaxWidNesting) FailWidRead(kWidTooDeep);
    ++context_.nesting;
}

}  // namespace morvat
