// SPDX-License-Identifier: MIT
// The skill cards shipped in examples/: real-looking cards of the game, made with the card
// writer. WidExamplesTest checks that the shipped files are exactly these and rewrites
// them when MORVAT_WRITE_EXAMPLES is set.
#pragma once

#include <string>
#include <vector>

#include "CardWriter.h"

namespace morvat::test {

struct ExampleCard {
    std::string fileName;
    WidCardPlan plan;
};

std::vector<ExampleCard> ExampleCards();

}  // namespace morvat::test
