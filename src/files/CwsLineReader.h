// SPDX-License-Identifier: MIT
// The cws file's lines as the reader sees them: each line's leading digits in one
// 50-character buffer, read as flags and decimal numbers.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <istream>
#include <limits>
#include <streambuf>

namespace morvat {

// Values saturate here rather than overflow; every field the format defines is far below.
inline constexpr std::int64_t kCwsValueCeiling = std::numeric_limits<std::int32_t>::max();

// Reads the file line by line into one 50-character buffer. Characters after a line's
// terminator keep what earlier lines left there; the header's first line relies on that
// (its pre-set "0000000" shows through a short line).
class DigitLineReader {
public:
    static constexpr std::size_t kLineBufferSize = 50;

    explicit DigitLineReader(std::istream& in) : in_(in.rdbuf()) { buffer_.fill('\0'); }

    // Reads one line's leading digits into the buffer and returns how many were stored.
    // A line ends at a line feed, a NUL or the end of the file; any other non-digit (a
    // carriage return, a letter, a sign) ends its digits and the rest of the line is
    // skipped. A last line without line end keeps its digits. A line of more than 49
    // digits keeps the first 49 and the rest of it is skipped.
    std::size_t ReadDigitLine();

    // How many lines from the first on the file held (a line with any byte counts).
    std::size_t presentLines() const { return presentLines_; }

    void Preset(std::size_t count, char c);

    std::size_t digits() const { return digits_; }
    bool hasDigits() const { return digits_ > 0; }

    // The n-th character of the buffer, counted from 1.
    char at(std::size_t n) const { return buffer_[n - 1]; }
    bool isOne(std::size_t n) const { return at(n) == '1'; }

    // The decimal number formed by the digits from the n-th character on, up to the first
    // non-digit and at most `length` of them; 0 when there is none.
    std::int64_t ValueFrom(std::size_t n, std::size_t length = kLineBufferSize) const;

    // The line's value: its leading digits as a decimal number, 0 when it has none.
    std::int64_t value() const { return ValueFrom(1); }

    // A row of flags: each set by a "1"; all off when the line is shorter than the row.
    template <std::size_t N>
    std::array<bool, N> Flags() const {
        std::array<bool, N> flags{};
        if (digits_ < N) return flags;
        for (std::size_t i = 0; i < N; ++i) flags[i] = isOne(i + 1);
        return flags;
    }

private:
    using Traits = std::streambuf::traits_type;

    void SkipRestOfLine();

    std::streambuf* in_;
    std::array<char, kLineBufferSize> buffer_{};
    std::size_t digits_ = 0;
    std::size_t linesRead_ = 0;
    std::size_t presentLines_ = 0;
};

}  // namespace morvat
