// SPDX-License-Identifier: MIT
#include "calc/Comparison.h"

#include <algorithm>

#include "calc/Points.h"

namespace morvat {
namespace {

constexpr ReportPhase kScoredPhases[] = {ReportPhase::First, ReportPhase::Second, ReportPhase::Last,
                                         ReportPhase::KeyCodes};

std::int64_t Difference(std::optional<std::int64_t> a, std::optional<std::int64_t> b) {
    return (Points{b.value_or(0)} - Points{a.value_or(0)}).value();
}

std::vector<const ReportItem*> ItemsOf(const RatingReport& report, ReportPhase phase) {
    std::vector<const ReportItem*> items;
    for (const ReportItem& item : report.items) {
        if (item.phase == phase) items.push_back(&item);
    }
    return items;
}

}  // namespace

std::vector<ItemPair> PairItems(const RatingReport& a, const RatingReport& b) {
    std::vector<ItemPair> pairs;
    const auto add = [&pairs](const ReportItem& item, std::optional<std::int64_t> pa,
                              std::optional<std::int64_t> pb) {
        pairs.push_back(ItemPair{item.phase, item.label, pa, pb, Difference(pa, pb), item.adds()});
    };
    for (ReportPhase phase : kScoredPhases) {
        const std::vector<const ReportItem*> left = ItemsOf(a, phase);
        const std::vector<const ReportItem*> right = ItemsOf(b, phase);
        // Both lists follow the rating's fixed order of items, so a merge keeps that order:
        // an item of `a` that `b` lists later means that `b`'s current item is its own.
        std::size_t i = 0;
        std::size_t j = 0;
        const auto laterInRight = [&](const std::string& label) {
            return std::any_of(right.begin() + static_cast<std::ptrdiff_t>(j), right.end(),
                               [&](const ReportItem* item) { return item->label == label; });
        };
        while (i < left.size() || j < right.size()) {
            if (i < left.size() && j < right.size() && left[i]->label == right[j]->label) {
                add(*left[i], left[i]->points, right[j]->points);
                ++i;
                ++j;
            } else if (i < left.size() && (j >= right.size() || !laterInRight(left[i]->label))) {
                add(*left[i], left[i]->points, std::nullopt);
                ++i;
            } else {
                add(*right[j], std::nullopt, right[j]->points);
                ++j;
            }
        }
    }
    return pairs;
}

RatingComparison CompareRatings(const RatingReport& a, const RatingReport& b) {
    RatingComparison comparison;
    comparison.totalA = a.total;
    comparison.totalB = b.total;
    comparison.totalDifference = Difference(a.total, b.total);
    for (ItemPair& pair : PairItems(a, b)) {
        if (pair.differs()) comparison.items.push_back(std::move(pair));
    }
    return comparison;
}

std::string FormatPointsDifference(std::int64_t difference) {
    return (difference > 0 ? "+" : "") + std::to_string(difference);
}

std::string FormatLevelDifference(std::int64_t difference) {
    return (difference > 0 ? "+" : "") + FormatSkillLevel(difference);
}

}  // namespace morvat
