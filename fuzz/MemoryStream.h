// SPDX-License-Identifier: MIT
// The fuzzer's input as a read-only stdio stream, as the card readers get a file.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

namespace morvat::fuzz {

struct StreamCloser {
    void operator()(std::FILE* f) const {
        if (f != nullptr) std::fclose(f);
    }
};
using StreamPtr = std::unique_ptr<std::FILE, StreamCloser>;

inline StreamPtr OpenMemoryStream(const std::uint8_t* data, std::size_t size) {
    // An empty input still needs a valid buffer address; it reads as an empty file.
    static std::uint8_t empty = 0;
    void* buffer = const_cast<std::uint8_t*>(size == 0 ? &empty : data);
    return StreamPtr(fmemopen(buffer, size, "rb"));
}

// The same bytes as a stream that can neither seek nor tell its size, as a pipe is: a card
// read from it goes field by field through the reader's stream, never through a span.
inline StreamPtr OpenUnseekableStream(const std::uint8_t* data, std::size_t size) {
    struct Cursor {
        const std::uint8_t* data;
        std::size_t size;
        std::size_t next = 0;
    };
    cookie_io_functions_t functions{};
    functions.read = [](void* cookie, char* buffer, std::size_t wanted) -> ssize_t {
        auto* cursor = static_cast<Cursor*>(cookie);
        const std::size_t n = std::min(wanted, cursor->size - cursor->next);
        std::memcpy(buffer, cursor->data + cursor->next, n);
        cursor->next += n;
        return static_cast<ssize_t>(n);
    };
    functions.close = [](void* cookie) -> int {
        delete static_cast<Cursor*>(cookie);
        return 0;
    };
    auto* cursor = new Cursor{data, size};
    std::FILE* stream = fopencookie(cursor, "rb", functions);
    if (stream == nullptr) delete cursor;
    return StreamPtr(stream);
}

}  // namespace morvat::fuzz
