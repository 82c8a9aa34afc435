// SPDX-License-Identifier: MIT
#include "files/ShiftJis.h"

#include <cstdint>
#include <optional>
#include <unordered_map>

#include "files/Cp932Table.h"

namespace morvat {
namespace {

constexpr std::uint32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The next well-formed UTF-8 character of `text` at `pos`, advancing `pos` past it; nothing
// (and `pos` past one byte) when the bytes there are not one.
std::optional<std::uint32_t> NextUtf8(std::string_view text, std::size_t& pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char b = byte(pos);
    std::size_t length = 0;
    std::uint32_t c = 0;
    std::uint32_t least = 0;
    if (b < 0x80) {
        ++pos;
        return b;
    } else if ((b & 0xE0) == 0xC0) {
        length = 2, c = b & 0x1F, least = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        length = 3, c = b & 0x0F, least = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        length = 4, c = b & 0x07, least = 0x10000;
    }
    if (length == 0 || text.size() - pos < length) {
        ++pos;
        return std::nullopt;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80) {
            ++pos;
            return std::nullopt;
        }
        c = (c << 6) | (byte(pos + i) & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++pos;
        return std::nullopt;
    }
    pos += length;
    return c;
}

// Character to bytes, built once from the decoding table and its listed exceptions.
const std::unordered_map<std::uint32_t, std::uint16_t>& EncodeMap() {
    static const auto map = [] {
        std::unordered_map<std::uint32_t, std::uint16_t> m;
        for (unsigned b = 0; b < 256; ++b) {
            const std::uint16_t c = cp932::kSingle[b];
            if (c != cp932::kLead && c != cp932::kInvalid) m.emplace(c, static_cast<std::uint16_t>(b));
        }
        for (unsigned lead = 0; lead < 256; ++lead) {
            const std::uint8_t row = cp932::kLeadIndex[lead];
            if (row == cp932::kNoLead) continue;
            for (std::size_t t = 0; t < cp932::kTrailCount; ++t) {
                const std::uint16_t c = cp932::kDouble[row][t];
                if (c != 0) {
                    m.emplace(c, static_cast<std::uint16_t>((lead << 8) | (cp932::kFirstTrail + t)));
                }
            }
        }
        for (std::size_t i = 0; i < cp932::kEncodeExceptionCount; ++i) {
            const cp932::EncodeException& e = cp932::kEncodeExceptions[i];
            m[e.codePoint] = e.bytes;
        }
        return m;
    }();
    return map;
}

}  // namespace

std::string ShiftJisToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const std::uint16_t single = cp932::kSingle[b];
        if (single != cp932::kLead && single != cp932::kInvalid) {
            AppendUtf8(out, single);
            ++i;
            continue;
        }
        // A pair that is no character, a lead byte cut off at the end and a byte that starts
        // nothing each give one replacement; the byte after a lead is read again on its own.
        std::uint16_t pair = 0;
        if (single == cp932::kLead && i + 1 < bytes.size()) {
            const std::size_t trail = static_cast<unsigned char>(bytes[i + 1]);
            if (trail >= cp932::kFirstTrail && trail - cp932::kFirstTrail < cp932::kTrailCount) {
                pair = cp932::kDouble[cp932::kLeadIndex[b]][trail - cp932::kFirstTrail];
            }
        }
        if (pair != 0) {
            AppendUtf8(out, pair);
            i += 2;
        } else {
            AppendUtf8(out, kReplacement);
            ++i;
        }
    }
    return out;
}

std::string Utf8ToShiftJis(std::string_view text) {
    const auto& map = EncodeMap();
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::optional<std::uint32_t> c = NextUtf8(text, i);
        const auto found = c ? map.find(*c) : map.end();
        if (found == map.end() || found->second == cp932::kNoForm) {
            // NUL is a character of its own; every other miss is a "?".
            out += (c && *c == 0) ? '\0' : '?';
        } else if (found->second == cp932::kDropped) {
            continue;
        } else if (found->second < 0x100) {
            out += static_cast<char>(found->second);
        } else {
            out += static_cast<char>(found->second >> 8);
            out += static_cast<char>(found->second & 0xFF);
        }
    }
    return out;
}

}  // namespace morvat
