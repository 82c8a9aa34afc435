// SPDX-License-Identifier: MIT
#include "ReportChart.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>
#include <limits>

#include "QtPaths.h"
#include "calc/Comparison.h"

namespace {

QString PointsText(const std::optional<std::int64_t>& points) {
    return points ? QString::number(*points) : QStringLiteral("—");
}

QString DifferenceText(std::int64_t difference) {
    return FromUtf8(morvat::FormatPointsDifference(difference));
}

// The share of `width` that `part` takes of `whole`, without overflowing for any points.
int Share(int width, std::int64_t part, std::int64_t whole) {
    if (whole <= 0) return 0;
    const double share = static_cast<double>(part) / static_cast<double>(whole);
    return static_cast<int>(share * width + 0.5);
}

constexpr std::int64_t kMost = std::numeric_limits<std::int64_t>::max();

std::int64_t Magnitude(std::int64_t points) {
    if (points >= 0) return points;
    return points < -kMost ? kMost : -points;
}

}  // namespace

ReportChart::ReportChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ReportChart"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void ReportChart::setReport(const morvat::RatingReport& current,
                            const morvat::RatingReport* pinned) {
    bars_.clear();
    for (const morvat::ItemPair& pair :
         morvat::PairItems(pinned != nullptr ? *pinned : current, current)) {
        if (!pair.adds) continue;
        Bar bar{FromUtf8(pair.label), pair.b, std::nullopt};
        if (pinned != nullptr) bar.difference = pair.difference;
        bars_.push_back(std::move(bar));
    }
    updateGeometry();
    update();
}

void ReportChart::clear() {
    bars_.clear();
    updateGeometry();
    update();
}

QColor ReportChart::positiveColour() const {
    return palette().color(QPalette::Highlight);
}

// The highlight's opposite hue at the same strength: told apart from the positive bars in
// any theme, also by readers who do not tell red from green.
QColor ReportChart::negativeColour() const {
    const QColor positive = positiveColour();
    const int hue = positive.hsvHue() < 0 ? 20 : (positive.hsvHue() + 180) % 360;
    return QColor::fromHsv(hue, std::max(positive.hsvSaturation(), 140),
                           std::max(positive.value(), 160))
        .toRgb();
}

ReportChart::Layout ReportChart::Measure() const {
    const QFontMetrics metrics(font());
    Layout layout;
    layout.margin = metrics.height() / 2 + 2;
    layout.rowHeight = metrics.height() + metrics.height() / 2;
    layout.minimumBar = metrics.horizontalAdvance(QLatin1Char('0')) * 8;
    for (const Bar& bar : bars_) {
        layout.labelWidth = std::max(layout.labelWidth, metrics.horizontalAdvance(bar.label));
        layout.pointsWidth =
            std::max(layout.pointsWidth, metrics.horizontalAdvance(PointsText(bar.points)));
        if (bar.difference) {
            layout.differenceWidth = std::max(
                layout.differenceWidth, metrics.horizontalAdvance(DifferenceText(*bar.difference)));
        }
    }
    const int gap = metrics.horizontalAdvance(QLatin1Char(' ')) * 2;
    // Half a line's height between a label and the zero line, so a closing bracket never
    // seems to touch it.
    layout.labelWidth += std::max(gap, metrics.height() / 2);
    layout.pointsWidth += gap;
    if (layout.differenceWidth > 0) layout.differenceWidth += gap;
    return layout;
}

QSize ReportChart::sizeHint() const {
    const Layout layout = Measure();
    const int rows = std::max<int>(1, static_cast<int>(bars_.size()));
    return {2 * layout.margin + layout.labelWidth + 3 * layout.minimumBar + layout.pointsWidth +
                layout.differenceWidth,
            2 * layout.margin + rows * layout.rowHeight};
}

// Labels and numbers are never cut: the widget asks for their whole width, and the scroll
// area around it scrolls when the window is narrower.
QSize ReportChart::minimumSizeHint() const {
    const Layout layout = Measure();
    const int rows = std::max<int>(1, static_cast<int>(bars_.size()));
    return {2 * layout.margin + layout.labelWidth + layout.minimumBar + layout.pointsWidth +
                layout.differenceWidth,
            2 * layout.margin + rows * layout.rowHeight};
}

void ReportChart::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) {
        updateGeometry();
        update();
    }
}

void ReportChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& colours = palette();
    const Layout layout = Measure();
    painter.setPen(colours.color(QPalette::Text));
    if (bars_.empty()) {
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("得点の項目はありません"));
        return;
    }

    std::int64_t mostGained = 0;
    std::int64_t mostLost = 0;
    for (const Bar& bar : bars_) {
        if (!bar.points) continue;
        if (*bar.points > 0) mostGained = std::max(mostGained, *bar.points);
        if (*bar.points < 0) mostLost = std::max(mostLost, Magnitude(*bar.points));
    }
    // One scale for both directions, so the largest item, gained or lost, spans the most.
    const std::int64_t span =
        mostGained > kMost - mostLost ? kMost : std::max<std::int64_t>(1, mostGained + mostLost);
    const int barLeft = layout.margin + layout.labelWidth;
    const int barWidth = std::max(layout.minimumBar, width() - barLeft - layout.pointsWidth -
                                                         layout.differenceWidth - layout.margin);
    const int axis = barLeft + Share(barWidth, mostLost, span);

    const QColor gained = positiveColour();
    const QColor lost = negativeColour();
    const QColor faint = colours.color(QPalette::Disabled, QPalette::Text);
    const int barHeight = layout.rowHeight * 3 / 5;
    for (std::size_t i = 0; i < bars_.size(); ++i) {
        const Bar& bar = bars_[i];
        const int top = layout.margin + static_cast<int>(i) * layout.rowHeight;
        const QRect row(0, top, width(), layout.rowHeight);

        painter.setPen(bar.points ? colours.color(QPalette::Text) : faint);
        painter.drawText(QRect(layout.margin, top, layout.labelWidth, layout.rowHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, bar.label);

        if (bar.points && *bar.points != 0) {
            const int length = std::max(1, Share(barWidth, Magnitude(*bar.points), span));
            const int barTop = row.center().y() - barHeight / 2;
            const QRect shape = *bar.points > 0 ? QRect(axis, barTop, length, barHeight)
                                                : QRect(axis - length, barTop, length, barHeight);
            painter.fillRect(shape, *bar.points > 0 ? gained : lost);
        }

        const int pointsLeft = barLeft + barWidth;
        painter.setPen(bar.points ? colours.color(QPalette::Text) : faint);
        painter.drawText(QRect(pointsLeft, top, layout.pointsWidth, layout.rowHeight),
                         Qt::AlignRight | Qt::AlignVCenter, PointsText(bar.points));
        if (bar.difference) {
            const std::int64_t d = *bar.difference;
            painter.setPen(d > 0 ? gained : d < 0 ? lost : faint);
            painter.drawText(QRect(pointsLeft + layout.pointsWidth, top, layout.differenceWidth,
                                   layout.rowHeight),
                             Qt::AlignRight | Qt::AlignVCenter, DifferenceText(d));
        }
    }
    // The zero line, over the bars' ends.
    painter.setPen(colours.color(QPalette::Mid));
    painter.drawLine(axis, layout.margin, axis,
                     layout.margin + static_cast<int>(bars_.size()) * layout.rowHeight);
}
