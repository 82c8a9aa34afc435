// SPDX-License-Identifier: MIT
// The skill level of the card being edited, shown in the editor beside its tabs and kept
// current on every change, so that an author sees what a change is worth without opening
// the report.
#pragma once

#include <QLabel>

#include "model/EditorState.h"

class LiveLevel : public QLabel {
    Q_OBJECT
public:
    explicit LiveLevel(QWidget* parent = nullptr);

    // Rates `editor` as "計算開始" does and shows "技能レベル：12.7（合計 127）".
    void Show(const morvat::EditorState& editor);
    // The whole line, also while the label is too narrow to show all of it.
    const QString& fullText() const { return full_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Elide();
    QString full_;
};
