// SPDX-License-Identifier: MIT
// `TForm2`, the result window: the report of the latest calculation, and the skill level
// announced once per calculation when the window is activated. It is modeless and lives
// for the whole run; closing it only hides it. A second page draws the report's items as
// a chart; "固定" keeps a result so that later calculations show what changed.
#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QWidget>
#include <cstdint>
#include <optional>

#include "calc/Rating.h"

class Messages;
class ReportChart;

class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(Messages& messages, QWidget* parent = nullptr);

    // The calculation's delivery: the report into `Memo1` (the body, then the trailer by
    // way of `Biko`), the total into `resultTotal`, the announcement armed, the window
    // shown without waiting.
    void ShowReport(const morvat::RatingReport& report);

    // Announces the level when a calculation is waiting to be announced.
    void FormActivate();

    // Keeps the result shown now (true) or lets it go (false), as the "固定" button does.
    void Pin(bool on);
    bool pinned() const { return pinned_.has_value(); }

    QPlainTextEdit* Memo1 = nullptr;
    QPlainTextEdit* Biko = nullptr;
    std::int64_t resultTotal = 0;
    bool levelMessagePending = false;

    QTabWidget* Pages = nullptr;  // "計算": the report; "内訳": the chart
    ReportChart* Chart = nullptr;
    QPushButton* PinButton = nullptr;  // "固定", checked while a result is kept
    QLabel* PinDifference = nullptr;   // the level and total against the kept result

protected:
    void changeEvent(QEvent* event) override;

private:
    void ShowComparison();

    Messages& messages_;
    std::optional<morvat::RatingReport> current_;
    std::optional<morvat::RatingReport> pinned_;
};
