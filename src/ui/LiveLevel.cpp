// SPDX-License-Identifier: MIT
#include "LiveLevel.h"

#include <QFontMetrics>
#include <QTabBar>
#include <QTabWidget>
#include <algorithm>

#include "QtPaths.h"
#include "calc/Rating.h"
#include "model/SkillRecord.h"

LiveLevel::LiveLevel(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // A size smaller than the tabs' captions, so that four-digit totals still fit beside them.
    QFont smaller = font();
    smaller.setPixelSize(11);
    setFont(smaller);
    setContentsMargins(0, 0, 4, 0);
}

void LiveLevel::Show(const morvat::EditorState& editor) {
    full_ =
        FromUtf8(morvat::LevelSummary(morvat::RateSkillTotal(morvat::GatherSkillRecord(editor))));
    setToolTip(full_);
    Elide();
}

// As a corner of a tab widget the line takes the room the tabs leave, never room the tabs
// need: the tabs keep their whole captions and a long line is shortened instead.
QSize LiveLevel::sizeHint() const {
    const QFontMetrics metrics(font());
    const QMargins margins = contentsMargins();
    int width = metrics.horizontalAdvance(full_) + margins.left() + margins.right();
    if (const auto* tabs = qobject_cast<const QTabWidget*>(parentWidget())) {
        width = tabs->width() - tabs->tabBar()->sizeHint().width() - 2;
    }
    return {std::max(width, 0), metrics.height() + margins.top() + margins.bottom()};
}

QSize LiveLevel::minimumSizeHint() const {
    return sizeHint();
}

void LiveLevel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Elide();
}

void LiveLevel::Elide() {
    const QMargins margins = contentsMargins();
    const int room = width() - margins.left() - margins.right();
    setText(fontMetrics().elidedText(full_, Qt::ElideMiddle, room > 0 ? room : sizeHint().width()));
}
