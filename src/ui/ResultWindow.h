// `TForm2`, the result window: the report of the latest calculation, and the skill level
// announced once per calculation when the window is activated. It is modeless and lives
// for the whole run; closing it only hides it.
#pragma once

#include <QPlainTextEdit>
#include <QWidget>
#include <cstdint>

#include "calc/Rating.h"

class Messages;

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

    QPlainTextEdit* Memo1 = nullptr;
    QPlainTextEdit* Biko = nullptr;
    std::int64_t resultTotal = 0;
    bool levelMessagePending = false;

protected:
    void changeEvent(QEvent* event) override;

private:
    Messages& messages_;
};
