// SPDX-License-Identifier: MIT
// One item of a rating: a scored point of the report (an effect, a second-phase step, the
// range step, a modifier on use, a key code) or one of its remarks, kept as data. The
// report's lines are drawn from these items, and so are the chart, the live level and the
// comparison of two ratings, so every front end shows the same numbers with the same labels.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace morvat {

enum class ReportPhase {
    First,     // "--1st フェーズ": the effects of the chosen side
    Second,    // "--2nd フェーズ": success rate, voice, attribute and resistance
    Last,      // "--last フェーズ": the range step and the modifiers on use
    KeyCodes,  // the key codes, at the end of the last phase
    Remarks,   // "【備考】": how an effect was reckoned or that it was ignored
};

// "first", "second", "last", "keycodes", "remarks": the phase as machine-readable output
// names it.
const char* PhaseName(ReportPhase phase);

struct ReportItem {
    ReportItem() = default;
    ReportItem(ReportPhase phase, std::string label, std::int64_t points = 0,
               std::optional<std::string> formula = std::nullopt, std::int64_t runningTotal = 0,
               bool replacesTotal = false)
        : phase(phase),
          label(std::move(label)),
          points(points),
          formula(std::move(formula)),
          runningTotal(runningTotal),
          replacesTotal(replacesTotal) {}

    ReportPhase phase = ReportPhase::First;
    std::string label;        // the report's own text: "基本ダメージ(Lv比)", "範囲-単体"
    std::int64_t points = 0;  // 0 for a remark
    std::optional<std::string> formula;  // the bracketed formula, without the brackets
    // The phase's running total once this item is counted. The second phase starts from the
    // first phase's total; the last phase starts over at the range step.
    std::int64_t runningTotal = 0;
    // The range step: its points are the new running total, not an addition to it.
    bool replacesTotal = false;

    // Whether the item adds its points to a total: everything but the range step and remarks.
    bool adds() const { return phase != ReportPhase::Remarks && !replacesTotal; }

    friend bool operator==(const ReportItem&, const ReportItem&) = default;
};

}  // namespace morvat
