// SPDX-License-Identifier: MIT
// Small controls the editor is built from: a radio group with an item index, the up-down
// spinner that steps the number in its edit box, and a track bar with its scale labels.
#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QStringList>
#include <QWidget>

class QToolButton;

// A titled group of radio buttons whose state is one item index (-1: none chosen).
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& title, const QStringList& items, int columns,
               QWidget* parent = nullptr);

    int itemIndex() const { return group_.checkedId(); }
    // Chooses item `index`; any other number chooses none. Emits nothing.
    void setItemIndex(int index);
    int count() const { return static_cast<int>(group_.buttons().size()); }
    QAbstractButton* item(int index) const { return group_.button(index); }

signals:
    // The user chose an item (by mouse or keyboard).
    void clicked(int index);

private:
    QButtonGroup group_;
};

// The two arrow buttons beside a number box. The position is kept within its range and
// written into the box, as the box's own text, whenever it changes here.
class UpDown : public QWidget {
    Q_OBJECT
public:
    UpDown(QLineEdit* buddy, int minimum, int maximum, int position, QWidget* parent = nullptr);

    int position() const { return position_; }
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    // Clamps to the range and writes the number into the box when it differs from it.
    void setPosition(int position);
    void stepBy(int steps);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* buddy_;
    QToolButton* up_;
    QToolButton* down_;
    int minimum_;
    int maximum_;
    int position_;
};

// A horizontal track bar with step 1 and a tick at every step, named `name`, inside a row
// "left label, bar, right label, current value" with the range's ends and middle written
// under the bar. The value label (named `name` + "Value") follows the bar, signed like the
// scale ("+3", "0", "-2"). Returns the row; the bar itself is `*bar`.
QWidget* MakeTrackBarRow(const QString& name, int minimum, int maximum, const QString& leftLabel,
                         const QString& rightLabel, QSlider** bar, QWidget* parent = nullptr);

// A one-line label for text from outside (a card's name): text too wide for the label is
// cut with "…" at the end instead of widening the layout or being cut mid-character, and
// the whole text is the tool tip. text() stays the whole text.
class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    void setText(const QString& text);
    // The text as drawn at the label's present width.
    QString shownText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Lets Return and Enter press `button` while it has the keyboard focus, as Space does. A
// dialog does this for its buttons itself; the main window, a plain window, needs it.
void PressOnReturn(QAbstractButton* button);

// Reads a whole decimal integer as the edit boxes take it; -1 for anything else (empty
// text, letters, spaces, a number too large for an int).
int DecimalOrMinusOne(const QString& text);
