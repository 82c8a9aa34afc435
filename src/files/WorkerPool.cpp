// SPDX-License-Identifier: MIT
#include "files/WorkerPool.h"

#include <cstdlib>
#include <string_view>

namespace morvat {

unsigned WorkerThreadCount() {
#ifdef __EMSCRIPTEN__
    return 1;
#else
    if (const char* forced = std::getenv("MORVAT_THREADS")) {
        // A plain count; anything else is ignored rather than guessed at.
        const std::string_view text = forced;
        unsigned value = 0;
        bool valid = !text.empty() && text.size() <= 3;
        for (const char c : text) {
            if (c < '0' || c > '9') valid = false;
            else value = value * 10 + static_cast<unsigned>(c - '0');
        }
        if (valid && value >= 1) return value < kMaxWorkerThreads ? value : kMaxWorkerThreads;
    }
    const unsigned cores = std::thread::hardware_concurrency();
    if (cores == 0) return 1;
    return cores < kMaxWorkerThreads ? cores : kMaxWorkerThreads;
#endif
}

}  // namespace morvat
