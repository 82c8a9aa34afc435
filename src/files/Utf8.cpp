// SPDX-License-Identifier: MIT
#include "files/Utf8.h"

#include <cstdint>

namespace morvat {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// Length of the well-formed UTF-8 character at the start of `s`, or 0 when its first byte
// does not start one. Overlong forms, surrogates and values above U+10FFFF are ill-formed.
std::size_t WellFormedLength(std::string_view s) {
    const auto byte = [&s](std::size_t i) { return static_cast<std::uint8_t>(s[i]); };
    const std::uint8_t b0 = byte(0);
    if (b0 < 0x80) return 1;
    std::size_t length = 0;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;  // the allowed range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        if (b0 == 0xE0) low = 0xA0;
        if (b0 == 0xED) high = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        if (b0 == 0xF0) low = 0x90;
        if (b0 == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (s.size() < length) return 0;
    if (byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    }
    return length;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
    while (!text.empty()) {
        const std::size_t n = WellFormedLength(text);
        if (n == 0) return false;
        text.remove_prefix(n);
    }
    return true;
}

std::string ValidUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const std::size_t n = WellFormedLength(text);
        if (n == 0) {
            out += kReplacement;
            text.remove_prefix(1);
        } else {
            out += text.substr(0, n);
            text.remove_prefix(n);
        }
    }
    return out;
}

}  // namespace morvat
