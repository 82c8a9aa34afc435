#include "calc/Rating.h"

namespace morvat {

std::vector<std::string> RatingReport::lines() const {
    std::vector<std::string> all = body;
    all.insert(all.end(), trailer.begin(), trailer.end());
    return all;
}

// Placeholder until the rating rules land.
RatingReport RateSkill(const SkillRecord&) { return {}; }

std::string FormatSkillLevel(std::int64_t total) {
    const std::int64_t whole = total / 10;
    const std::int64_t tenth = total % 10 < 0 ? -(total % 10) : total % 10;
    const std::string sign = (total < 0 && whole == 0) ? "-" : "";
    return sign + std::to_string(whole) + "." + std::to_string(tenth);
}

}  // namespace morvat
