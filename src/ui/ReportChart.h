// SPDX-License-Identifier: MIT
// The "内訳" page of the result window: one horizontal bar per scored item of a rating (the
// effects, the second-phase steps, the modifiers on use and the key codes), labelled with
// the report's own text and points, scaled to the largest item. With a pinned result beside
// it, each bar also shows what the item gained or lost since, and items that the pinned
// result had and the current one lacks are listed too.
#pragma once

#include <QWidget>
#include <cstdint>
#include <optional>
#include <vector>

#include "calc/Rating.h"

class ReportChart : public QWidget {
    Q_OBJECT
public:
    struct Bar {
        QString label;
        std::optional<std::int64_t> points;      // none: only the pinned result has the item
        std::optional<std::int64_t> difference;  // set while a result is pinned
    };

    explicit ReportChart(QWidget* parent = nullptr);

    // The bars of `current`; with `pinned`, the differences from it.
    void setReport(const morvat::RatingReport& current, const morvat::RatingReport* pinned);
    void clear();

    const std::vector<Bar>& bars() const { return bars_; }

    // The colours of points gained and lost, taken from the palette.
    QColor positiveColour() const;
    QColor negativeColour() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Layout {
        int margin = 0;
        int rowHeight = 0;
        int labelWidth = 0;
        int pointsWidth = 0;
        int differenceWidth = 0;
        int minimumBar = 0;
    };
    Layout Measure() const;

    std::vector<Bar> bars_;
};
