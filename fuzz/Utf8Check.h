// SPDX-License-Identifier: MIT
// What every conversion for display must give, whatever bytes it is handed: well-formed
// UTF-8 that Qt and the terminal take as it is. Written apart from the tool's own check on
// purpose, so the fuzzers can hold the two against each other.
#pragma once

#include <cstddef>
#include <string_view>

namespace morvat::fuzz {

inline bool IsWellFormedUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t extra = 0;
        unsigned char lo = 0x80;
        unsigned char hi = 0xBF;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            lo = (c == 0xE0) ? 0xA0 : 0x80;
            hi = (c == 0xED) ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            lo = (c == 0xF0) ? 0x90 : 0x80;
            hi = (c == 0xF4) ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (s.size() - i - 1 < extra) return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto t = static_cast<unsigned char>(s[i + k]);
            if (t < (k == 1 ? lo : 0x80) || t > (k == 1 ? hi : 0xBF)) return false;
        }
        i += extra + 1;
    }
    return true;
}

}  // namespace morvat::fuzz
