// SPDX-License-Identifier: MIT
// The fuzzer's input as a read-only stdio stream, as the card readers get a file.
#pragma once

#include <cstdint>
#include <cstdio>
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

}  // namespace morvat::fuzz
