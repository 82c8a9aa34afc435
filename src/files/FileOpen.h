// SPDX-License-Identifier: MIT
// Opening files from outside for reading. A folder from the internet may hold FIFOs,
// devices or folders named like card files; opening one of those must neither block nor
// be mistaken for a card.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>

namespace morvat {

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f != nullptr) std::fclose(f);
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Opens `path` for binary reading when it is a regular file (links are followed); nullptr
// when it cannot be opened or is anything else. Never blocks on a FIFO.
FilePtr OpenRegularFile(const std::filesystem::path& path);

}  // namespace morvat
