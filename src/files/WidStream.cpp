// SPDX-License-Identifier: MIT
#include "files/WidStream.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace morvat {

void FailWidRead(std::int32_t code) {
    throw WidReadFailure{code};
}

WidStream::WidStream(std::string_view bytes)
    : window_(bytes.data()),
      windowLength_(bytes.size()),
      size_(static_cast<std::int64_t>(bytes.size())) {}

WidStream::WidStream(const RegularFile& file, std::int64_t wholeReadLimit)
    : file_(&file), size_(file.size()) {
    // A file that is not open, or was opened unchecked, has no size to read it by.
    if (!file.IsOpen() || size_ < 0) FailWidRead(kWidReadError);
    if (size_ > wholeReadLimit) return;  // read in chunks where the fields are
    // A card of up to a chunk, nearly every card, is read whole with one read. A larger
    // one is read from its head, which holds the picture's length, and then on from behind
    // the picture: a picture that makes a card large is never copied. Fields and skips are
    // then served from memory. A file that has shrunk since it was opened reads short.
    const std::size_t first = size_ <= static_cast<std::int64_t>(kChunkSize)
                                  ? static_cast<std::size_t>(size_)
                                  : kHeadSize;
    char* bytes = Buffer(first);
    const ReadAtResult read = file.ReadAt(0, bytes, first);
    if (read.failed) FailWidRead(kWidReadError);
    window_ = bytes;
    windowLength_ = read.got;
    if (read.got < first) size_ = static_cast<std::int64_t>(read.got);
}

WidStream::WidStream(const RegularFile& file, OneRead) {
    // The bytes are all the stream has: no file to read on from, so that a read past them
    // fails like the end of a card in memory.
    char* bytes = Buffer(kChunkSize);
    const ReadAtResult read = file.ReadOnce(0, bytes, kChunkSize);
    if (read.failed) FailWidRead(kWidReadError);
    holdsWholeFile_ = read.got < kChunkSize;
    window_ = bytes;
    windowLength_ = read.got;
    size_ = static_cast<std::int64_t>(read.got);
}

WidStream::WidStream(std::FILE* stream, std::int64_t wholeReadLimit) : stream_(stream) {
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
    streamPosition_ = start;
    windowStart_ = start;
    if (size_ < start) {
        size_ = start;
        return;
    }
    if (size_ - start <= wholeReadLimit) {
        const auto wanted = static_cast<std::size_t>(size_ - start);
        char* bytes = Buffer(wanted);
        const std::size_t got = std::fread(bytes, 1, wanted, stream_);
        if (std::ferror(stream_)) FailWidRead(kWidReadError);
        streamPosition_ += static_cast<std::int64_t>(got);
        window_ = bytes;
        windowLength_ = got;
        size_ = start + static_cast<std::int64_t>(got);
    }
}

namespace {

// Cards are read one after another on each thread; a buffer this large is kept per thread
// instead of being taken from and given back to the heap for every card, which in a folder
// of thousands costs more than the parsing. Larger cards get a buffer of their own.
constexpr std::size_t kKeptBufferSize = WidStream::kChunkSize;

struct KeptBuffer {
    std::unique_ptr<char[]> bytes = std::unique_ptr<char[]>(new char[kKeptBufferSize]);
    bool inUse = false;
};

thread_local KeptBuffer t_kept;

}  // namespace

WidStream::~WidStream() {
    if (usesKept_) t_kept.inUse = false;
}

char* WidStream::Buffer(std::size_t size) {
    // Left uninitialised: every byte used is read into it first, and clearing a whole card
    // costs as much as a good part of reading it.
    if (usesKept_ && size <= kKeptBufferSize) return t_kept.bytes.get();
    if (!usesKept_ && buffer_ == nullptr && size <= kKeptBufferSize && !t_kept.inUse) {
        t_kept.inUse = true;
        usesKept_ = true;
        return t_kept.bytes.get();
    }
    if (bufferSize_ < size) {
        buffer_ = std::unique_ptr<char[]>(new char[size]);
        bufferSize_ = size;
    }
    return buffer_.get();
}

std::int64_t WidStream::KnownRemaining() const {
    if (beyondEnd_ || size_ < 0) return 0;
    return size_ - position_;
}

std::optional<std::string_view> WidStream::RestInMemory() const {
    if (beyondEnd_ || size_ < 0 || position_ < windowStart_ ||
        windowStart_ + static_cast<std::int64_t>(windowLength_) != size_) {
        return std::nullopt;
    }
    return std::string_view(window_ + (position_ - windowStart_),
                            static_cast<std::size_t>(size_ - position_));
}

bool WidStream::CouldHold(std::uint64_t count) const {
    if (beyondEnd_) return false;
    if (size_ < 0) return true;
    return static_cast<std::uint64_t>(size_ - position_) >= count;
}

void WidStream::Read(void* destination, std::size_t count, std::int32_t shortCode) {
    if (!CouldHold(count)) FailWidRead(shortCode);
    if (position_ >= windowStart_ &&
        static_cast<std::uint64_t>(position_ - windowStart_) + count <= windowLength_) {
        std::memcpy(destination, window_ + (position_ - windowStart_), count);
    } else {
        Fill(destination, count, shortCode);
    }
    position_ += static_cast<std::int64_t>(count);
}

void WidStream::Fill(void* destination, std::size_t count, std::int32_t shortCode) {
    if (file_ != nullptr) {
        FillFromFile(destination, count, shortCode);
    } else if (stream_ != nullptr) {
        FillFromStream(destination, count, shortCode);
    } else {
        FailWidRead(shortCode);  // bytes in memory are all in the window already
    }
}

void WidStream::FillFromFile(void* destination, std::size_t count, std::int32_t shortCode) {
    if (count >= kChunkSize) {
        const ReadAtResult read = file_->ReadAt(position_, destination, count);
        if (read.failed) FailWidRead(kWidReadError);
        if (read.got < count) FailWidRead(shortCode);
        return;
    }
    // One chunk from the position on, never past the size the file had when it was opened.
    const auto wanted = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(kChunkSize), size_ - position_));
    char* bytes = Buffer(kChunkSize);
    const ReadAtResult read = file_->ReadAt(position_, bytes, wanted);
    if (read.failed) FailWidRead(kWidReadError);
    window_ = bytes;
    windowStart_ = position_;
    windowLength_ = read.got;
    if (read.got < count) FailWidRead(shortCode);  // the file has shrunk
    std::memcpy(destination, window_, count);
}

void WidStream::CatchUpStream(std::int32_t shortCode) {
    if (streamPosition_ == position_) return;
    if (size_ >= 0) {
        if (::fseeko(stream_, static_cast<off_t>(position_), SEEK_SET) != 0) FailWidRead(shortCode);
        streamPosition_ = position_;
        return;
    }
    // No size to move within: pass the skipped bytes by reading them, up to the end.
    std::array<char, 4096> scratch;
    while (streamPosition_ < position_) {
        const auto chunk = static_cast<std::size_t>(std::min<std::int64_t>(
            position_ - streamPosition_, static_cast<std::int64_t>(scratch.size())));
        const std::size_t got = std::fread(scratch.data(), 1, chunk, stream_);
        streamPosition_ += static_cast<std::int64_t>(got);
        if (got != chunk) {
            beyondEnd_ = true;
            FailWidRead(std::ferror(stream_) ? kWidReadError : shortCode);
        }
    }
}

void WidStream::FillFromStream(void* destination, std::size_t count, std::int32_t shortCode) {
    CatchUpStream(shortCode);
    const auto fail = [&] { FailWidRead(std::ferror(stream_) ? kWidReadError : shortCode); };
    if (count >= kChunkSize) {
        const std::size_t got = std::fread(destination, 1, count, stream_);
        streamPosition_ += static_cast<std::int64_t>(got);
        if (got < count) fail();
        return;
    }
    // A seekable stream is read a chunk ahead; one without a size only as far as asked,
    // so that a pipe is never waited on for bytes the card does not need.
    const std::size_t wanted =
        size_ < 0 ? count
                  : static_cast<std::size_t>(std::min<std::int64_t>(
                        static_cast<std::int64_t>(kChunkSize), size_ - position_));
    char* bytes = Buffer(kChunkSize);
    const std::size_t got = std::fread(bytes, 1, wanted, stream_);
    streamPosition_ += static_cast<std::int64_t>(got);
    window_ = bytes;
    windowStart_ = position_;
    windowLength_ = got;
    if (got < count) fail();
    std::memcpy(destination, window_, count);
}

std::string WidStream::Bytes(std::int32_t count, std::int32_t shortCode) {
    if (count < 0 || !CouldHold(static_cast<std::uint64_t>(count))) FailWidRead(shortCode);
    std::string bytes(static_cast<std::size_t>(count), '\0');
    Read(bytes.data(), bytes.size(), shortCode);
    return bytes;
}

void WidStream::SkipOutside(std::int64_t count, std::int32_t skipCode) {
    if (count < 0) FailWidRead(skipCode);
    if (count == 0 || beyondEnd_) return;
    if (size_ >= 0 && count > size_ - position_) {
        // Past the end is no failure by itself; every later read comes up short.
        beyondEnd_ = true;
        return;
    }
    // Only the position moves; a stream without a size catches up when it is next read.
    position_ += count;
}

}  // namespace morvat
