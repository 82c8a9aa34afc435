// SPDX-License-Identifier: MIT
#include "Widgets.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
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
    // The arrow keys in the box step the number as the buttons do, and the arrows are
    // usable exactly when the box is.
    buddy_->installEventFilter(this);
    buddy_->setText(QString::number(position_));
    setEnabled(buddy_->isEnabled());
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
    if (watched == buddy_ && event->type() == QEvent::EnabledChange) {
        setEnabled(buddy_->isEnabled());
    }
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

    // The current value, in a column wide enough for the widest value so that the bar
    // does not move as the number changes.
    auto* value = new QLabel(signedText(0), row);
    value->setObjectName(name + QStringLiteral("Value"));
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const QFontMetrics metrics(value->font());
    value->setFixedWidth(std::max(metrics.horizontalAdvance(signedText(minimum)),
                                  metrics.horizontalAdvance(signedText(maximum))) +
                         2);
    QObject::connect(slider, &QSlider::valueChanged, value,
                     [value, signedText](int v) { value->setText(signedText(v)); });

    int column = 0;
    if (!leftLabel.isEmpty()) grid->addWidget(new QLabel(leftLabel, row), 0, column++);
    const int barColumn = column++;
    grid->addWidget(slider, 0, barColumn);
    grid->addWidget(scale, 1, barColumn);
    grid->setColumnStretch(barColumn, 1);
    if (!rightLabel.isEmpty()) grid->addWidget(new QLabel(rightLabel, row), 0, column++);
    grid->addWidget(value, 0, column);
    *bar = slider;
    return row;
}

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void ElidedLabel::setText(const QString& text) {
    QLabel::setText(text);
    setToolTip(text);
    update();
}

QString ElidedLabel::shownText() const {
    return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width());
}

QSize ElidedLabel::sizeHint() const {
    // As wide as the layout makes it, never wider because of the text.
    return {0, QLabel::sizeHint().height()};
}

QSize ElidedLabel::minimumSizeHint() const {
    return {0, QLabel::minimumSizeHint().height()};
}

void ElidedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
    painter.drawText(area, static_cast<int>(alignment()) | Qt::TextSingleLine, shownText());
}

namespace {

class ReturnPresser : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (button != nullptr && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && !key->isAutoRepeat()) {
            // animateClick shows the press, as Space does, and then clicks.
            if (button->isEnabled()) button->animateClick();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

void PressOnReturn(QAbstractButton* button) {
    button->installEventFilter(new ReturnPresser(button));
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
