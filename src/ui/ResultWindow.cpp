// SPDX-License-Identifier: MIT
#include "ResultWindow.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QStringList>
#include <QVBoxLayout>

#include "Fonts.h"
#include "Icons.h"
#include "Messages.h"
#include "QtPaths.h"
#include "ReportChart.h"
#include "calc/Comparison.h"

namespace {

QString Joined(const std::vector<std::string>& lines) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines) list.append(FromUtf8(line));
    return list.join(QLatin1Char('\n'));
}

QPlainTextEdit* Memo(const char* name, QWidget* parent) {
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(QString::fromLatin1(name));
    memo->setReadOnly(true);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    return memo;
}

}  // namespace

TForm2::TForm2(Messages& messages, QWidget* parent)
    : QWidget(parent, Qt::Window), messages_(messages) {
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("計算結果"));
    setWindowIcon(ResultWindowIcon());
    setFont(ProportionalGothic(12));
    resize(346, 484);
    // Closing the editor ends the program even while the report is open.
    setAttribute(Qt::WA_QuitOnClose, false);

    Memo1 = Memo("Memo1", this);
    Memo1->setFont(ProportionalGothic(13));
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The report sits on the scroll-bar grey, as a sheet apart from the editor's fields.
    QPalette palette = Memo1->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    Memo1->setPalette(palette);
    Biko = Memo("Biko", this);
    Biko->hide();

    Pages = new QTabWidget(this);
    Pages->setObjectName(QStringLiteral("Pages"));
    Pages->setDocumentMode(true);
    Pages->addTab(Memo1, QStringLiteral("計算"));
    Chart = new ReportChart;
    auto* chartArea = new QScrollArea;
    chartArea->setObjectName(QStringLiteral("ChartArea"));
    chartArea->setWidget(Chart);
    chartArea->setWidgetResizable(true);
    chartArea->setFrameShape(QFrame::NoFrame);
    Pages->addTab(chartArea, QStringLiteral("内訳"));

    PinButton = new QPushButton(QStringLiteral("固定"), this);
    PinButton->setObjectName(QStringLiteral("PinButton"));
    PinButton->setCheckable(true);
    PinButton->setEnabled(false);
    PinButton->setToolTip(QStringLiteral(
        "この結果を残し、次からの計算との差を内訳に示します。もう一度押すと解除します"));
    connect(PinButton, &QPushButton::toggled, this, &TForm2::Pin);
    PinDifference = new QLabel(this);
    PinDifference->setObjectName(QStringLiteral("PinDifference"));
    PinDifference->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* pinBar = new QHBoxLayout;
    pinBar->setContentsMargins(4, 2, 4, 4);
    pinBar->addWidget(PinButton);
    pinBar->addWidget(PinDifference, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Pages, 1);
    layout->addLayout(pinBar);
}

void TForm2::ShowReport(const morvat::RatingReport& report) {
    Memo1->clear();
    Biko->clear();
    Memo1->setPlainText(Joined(report.body()));
    Biko->setPlainText(Joined(report.trailer()));
    Memo1->appendPlainText(Biko->toPlainText());
    Memo1->moveCursor(QTextCursor::Start);  // the reader starts at the first phase
    resultTotal = report.total;
    current_ = report;
    PinButton->setEnabled(true);
    ShowComparison();
    levelMessagePending = true;
    if (isActiveWindow()) {
        // Already in front: no activation will come, so announce now.
        FormActivate();
        return;
    }
    show();
    raise();
    activateWindow();
}

void TForm2::FormActivate() {
    if (!levelMessagePending) return;
    // Cleared first: the box takes the activation away and gives it back when it closes,
    // and that second activation must not announce again.
    levelMessagePending = false;
    messages_.Inform(
        QStringLiteral("技能レベル： ") + FromUtf8(morvat::FormatSkillLevel(resultTotal)),
        QStringLiteral("結果"));
}

void TForm2::Pin(bool on) {
    if (on && current_) {
        pinned_ = current_;
    } else {
        pinned_.reset();
    }
    if (PinButton->isChecked() != pinned()) PinButton->setChecked(pinned());
    ShowComparison();
}

void TForm2::ShowComparison() {
    if (!current_) return;
    Chart->setReport(*current_, pinned_ ? &*pinned_ : nullptr);
    if (!pinned_) {
        PinDifference->clear();
        return;
    }
    const morvat::RatingComparison comparison = morvat::CompareRatings(*pinned_, *current_);
    PinDifference->setText(
        QStringLiteral("固定との差：技能レベル %1（合計 %2）")
            .arg(FromUtf8(morvat::FormatLevelDifference(comparison.totalDifference)),
                 FromUtf8(morvat::FormatPointsDifference(comparison.totalDifference))));
}

void TForm2::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}
