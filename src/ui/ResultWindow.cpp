#include "ResultWindow.h"

#include <QEvent>
#include <QStringList>
#include <QVBoxLayout>

#include "Fonts.h"
#include "Icons.h"
#include "Messages.h"
#include "QtPaths.h"

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

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo1);
}

void TForm2::ShowReport(const morvat::RatingReport& report) {
    Memo1->clear();
    Biko->clear();
    Memo1->setPlainText(Joined(report.body));
    Biko->setPlainText(Joined(report.trailer));
    if (report.body.empty()) {
        Memo1->setPlainText(Biko->toPlainText());
    } else if (!report.trailer.empty()) {
        Memo1->appendPlainText(Biko->toPlainText());
    }
    Memo1->moveCursor(QTextCursor::Start);  // the reader starts at the first phase
    resultTotal = report.total;
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

void TForm2::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}
