// SPDX-License-Identifier: MIT
// Point arithmetic and the pieces every report line is built from. A point amount is a
// 64-bit integer that never wraps: a result beyond the 64-bit range is pinned at the limit
// on its side and stays pinned through later steps, so a card with absurd sums (a hand-made
// cws file, say) still gets a report instead of undefined behaviour. Division truncates
// toward zero, as every rule of the rating expects.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calc/ReportItem.h"

namespace morvat {

class Points {
public:
    // Implicit, so that a rule reads with plain numbers: `Points{55} * v * (v + 10) / 10`.
    constexpr Points(std::int64_t value = 0) : value_(value) {}

    constexpr std::int64_t value() const { return value_; }
    constexpr bool pinned() const { return pinned_; }

    friend constexpr Points operator+(Points a, Points b) {
        if (a.pinned_) return a;
        if (b.pinned_) return b;
        std::int64_t sum = 0;
        if (__builtin_add_overflow(a.value_, b.value_, &sum)) return Pinned(a.value_ < 0 ? -1 : 1);
        return sum;
    }

    friend constexpr Points operator-(Points a, Points b) {
        if (a.pinned_) return a;
        if (b.pinned_) return Pinned(b.value_ < 0 ? 1 : -1);
        std::int64_t difference = 0;
        if (__builtin_sub_overflow(a.value_, b.value_, &difference)) {
            return Pinned(a.value_ < 0 ? -1 : 1);
        }
        return difference;
    }

    friend constexpr Points operator*(Points a, Points b) {
        if (a.value_ == 0 && !a.pinned_) return a;
        if (b.value_ == 0 && !b.pinned_) return b;
        const int sign = (a.value_ < 0) == (b.value_ < 0) ? 1 : -1;
        if (a.pinned_ || b.pinned_) return Pinned(sign);
        std::int64_t product = 0;
        if (__builtin_mul_overflow(a.value_, b.value_, &product)) return Pinned(sign);
        return product;
    }

    // Truncates toward zero. The rules only divide by positive constants; a zero divisor
    // yields 0 rather than a trap.
    friend constexpr Points operator/(Points a, Points b) {
        if (b.value_ == 0) return 0;
        const int sign = (a.value_ < 0) == (b.value_ < 0) ? 1 : -1;
        if (a.pinned_) return Pinned(sign);
        if (b.pinned_) return 0;
        if (a.value_ == std::numeric_limits<std::int64_t>::min() && b.value_ == -1) {
            return Pinned(1);
        }
        return a.value_ / b.value_;
    }

    Points& operator+=(Points other) { return *this = *this + other; }

private:
    static constexpr Points Pinned(int sign) {
        Points p(sign < 0 ? std::numeric_limits<std::int64_t>::min()
                          : std::numeric_limits<std::int64_t>::max());
        p.pinned_ = true;
        return p;
    }

    std::int64_t value_ = 0;
    bool pinned_ = false;
};

// A number as the report writes it: plain decimal, "-" only when negative.
inline std::string Num(Points p) {
    return std::to_string(p.value());
}

// A number inside the formula brackets: "<12>".
inline std::string Slot(Points p) {
    return "<" + Num(p) + ">";
}

// "label： 1100 point", with "  [formula]" behind it when the item shows how it counted.
inline std::string PointLine(const std::string& label, Points p, const std::string& formula = {}) {
    std::string line = label + "： " + Num(p) + " point";
    if (!formula.empty()) line += "  [" + formula + "]";
    return line;
}

// The readable form of a value that grows faster than its size: "<v>*(1+<v>*rate)*factor".
inline std::string Growth(Points v, const char* rate, const char* factor) {
    return Slot(v) + "*(1+" + Slot(v) + "*" + rate + ")*" + factor;
}

// The items of one phase, or of one part of a phase: each present item is recorded with its
// points and adds them to `sum`. `start` is the phase's running total before these items,
// so that every item can carry the running total after it. With no `items` (a total
// wanted without its report) the points are only summed: no item is kept and no formula
// is written, by the same rules.
struct PhaseItems {
    std::vector<ReportItem>* items;
    ReportPhase phase;
    Points start = 0;
    Points sum = 0;

    // An item that shows no formula.
    void Add(Points points, std::string_view label) {
        sum += points;
        if (items != nullptr) Keep(points, label, std::nullopt);
    }

    // An item with the formula `formula()` writes, asked for only when the item is kept.
    template <typename Formula>
    void Add(Points points, std::string_view label, Formula&& formula) {
        sum += points;
        if (items != nullptr) Keep(points, label, std::forward<Formula>(formula)());
    }

    // An item worth a fixed amount: "label： 700 point".
    void AddFixed(bool present, const char* label, std::int64_t points) {
        if (present) Add(points, label);
    }

private:
    void Keep(Points points, std::string_view label, std::optional<std::string> formula) {
        items->emplace_back(phase, std::string(label), points.value(), std::move(formula),
                            (start + sum).value());
    }
};

}  // namespace morvat
