// SPDX-License-Identifier: MIT
// Numbers that look random but come out the same in every run, for tests that try many
// generated cases: a failure can always be repeated.
#pragma once

#include <cstdint>

namespace morvat::test {

class SeededNumbers {
public:
    explicit SeededNumbers(std::uint32_t seed) : seed_(seed) {}

    // The next number, from 0 to `below` - 1.
    std::uint32_t operator()(std::uint32_t below) {
        seed_ = seed_ * 1664525u + 1013904223u;
        return (seed_ >> 8) % below;
    }

private:
    std::uint32_t seed_;
};

}  // namespace morvat::test
