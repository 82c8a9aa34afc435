// SPDX-License-Identifier: MIT
#include "Widgets.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <charconv>
#include <string>

RadioGroup::RadioGroup(const QString& title, const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(title, parent) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 2, 4, 2);
    grid->setVerticalSpacing(0);
    grid->setHorizontalSpacing(6);
    const int rows = (static_cast<int>(items.size()) + columns - 1) / columns;
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        group_.addButton(button, i);
        // Items run down the first column, then the second, as in the classic radio group.
        grid->addWidget(button, i % rows, i / rows);
    }
    connect(&group_, &QButtonGroup::idClicked, this, &RadioGroup::clicked);
}

void RadioGroup::setItemIndex(int index) {
    if (QAbstractButton* button = group_.button(index)) {
        button->setChecked(true);
        return;
    }
    // An exclusive group keeps one button on; lift that while turning it off.
    group_.setExclusive(false);
    if (QAbstractButton* checked = group_.checkedButton()) checked->setChecked(false);
    group_.setExclusive(true);
}

UpDown::UpDown(QLineEdit* buddy, int minimum, int maximum, int position, QWidget* parent)
    : QWidget(parent),
      buddy_(buddy),
      up_(new QToolButton(this)),
      down_(new QToolButton(this)),
      minimum_(minimum),
      maximum_(maximum),
      position_(std::clamp(position, minimum, maximum)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    for (QToolButton* b : {up_, down_}) {
        b->setArrowType(b == up_ ? Qt::UpArrow : Qt::DownArrow);
        b->setAutoRepeat(true);
        b->setFixedSize(16, 11);
        b->setFocusPolicy(Qt::NoFocus);
        column->addWidget(b);
    }
    connect(up_, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(down_, &QToolButton::clicked, this, [this] { stepBy(-1); });
    // The arrow keys in the box step the number as the buttons do.
    buddy_->installEventFilter(this);
    buddy_->setText(QString::number(position_));
}

void UpDown::setPosition(int position) {
    position_ = std::clamp(position, minimum_, maximum_);
    const QString text = QString::number(position_);
    if (buddy_->text() != text) buddy_->setText(text);
}

void UpDown::stepBy(int steps) {
    setPosition(position_ + steps);
}

bool UpDown::eventFilter(QObject* watched, QEvent* event) {
    if (watched == buddy_ && event->type() == QEvent::KeyPress && buddy_->isEnabled()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            stepBy(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QWidget* MakeTrackBarRow(const QString& name, int minimum, int maximum, const QString& leftLabel,
                         const QString& rightLabel, QSlider** bar, QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* grid = new QGridLayout(row);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(0);

    auto* slider = new QSlider(Qt::Horizontal, row);
    slider->setObjectName(name);
    slider->setRange(minimum, maximum);
    slider->setSingleStep(1);
    slider->setPageStep(1);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(1);
    slider->setValue(0);
    slider->setMinimumHeight(24);  // room for the tick marks under the groove

    auto* scale = new QWidget(row);
    auto* scaleRow = new QHBoxLayout(scale);
    scaleRow->setContentsMargins(0, 0, 0, 0);
    const auto signedText = [](int v) {
        return v > 0 ? QStringLiteral("+%1").arg(v) : QString::number(v);
    };
    auto* low = new QLabel(signedText(minimum), scale);
    auto* middle = new QLabel(QStringLiteral("0"), scale);
    auto* high = new QLabel(signedText(maximum), scale);
    middle->setAlignment(Qt::AlignHCenter);
    high->setAlignment(Qt::AlignRight);
    scaleRow->addWidget(low, 1);
    scaleRow->addWidget(middle, 1);
    scaleRow->addWidget(high, 1);

    int column = 0;
    if (!leftLabel.isEmpty()) grid->addWidget(new QLabel(leftLabel, row), 0, column++);
    grid->addWidget(slider, 0, column);
    grid->addWidget(scale, 1, column);
    grid->setColumnStretch(column, 1);
    if (!rightLabel.isEmpty()) grid->addWidget(new QLabel(rightLabel, row), 0, column + 1);
    *bar = slider;
    return row;
}

int DecimalOrMinusOne(const QString& text) {
    const std::string bytes = text.toStdString();
    int value = -1;
    const char* first = bytes.data();
    const char* last = bytes.data() + bytes.size();
    if (first != last && *first == '+') {
        ++first;
        if (first != last && *first == '-') return -1;
    }
    const auto [end, error] = std::from_chars(first, last, value);
    if (bytes.empty() || error != std::errc{} || end != last) return -1;
    return value;
}
