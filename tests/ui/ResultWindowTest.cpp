// SPDX-License-Identifier: MIT
// The result window: the report exactly as the rating gives it, and the level announced
// once per calculation.
#include <QTest>
#include <QTextBlock>

#include "UiTestSupport.h"
#include "calc/Rating.h"
#include "model/SkillRecord.h"

namespace morvat::test {
namespace {

QStringList MemoLines(const QPlainTextEdit* memo) {
    QStringList lines;
    if (memo->document()->isEmpty()) return lines;
    for (QTextBlock b = memo->document()->begin(); b.isValid(); b = b.next()) lines << b.text();
    return lines;
}

QStringList AsQt(const std::vector<std::string>& lines) {
    QStringList list;
    for (const std::string& line : lines) list << QString::fromStdString(line);
    return list;
}

RatingReport SampleReport(std::int64_t total) {
    RatingReport report;
    report.items = {ReportItem{ReportPhase::Last, "範囲-単体", total, "<0>/7-60", total, true},
                    ReportItem{ReportPhase::Remarks, "吸収は倍の威力で計算されました"}};
    report.total = total;
    return report;
}

ShownMessage Level(const char* number) {
    return {"inform", QStringLiteral("技能レベル： ") + QString::fromUtf8(number), "結果"};
}

class ResultWindow : public testing::Test {
protected:
    // Shows the report as a calculation would and lets the activation arrive.
    void Deliver(const RatingReport& report) {
        form2.ShowReport(report);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form2));
        QCoreApplication::processEvents();
    }

    Editor editor;
    TForm2& form2 = *editor.form2;
    std::vector<ShownMessage>& shown = editor.messages.shown;
};

TEST_F(ResultWindow, ShowsTheReportLinesAndAnnouncesOnce) {
    Deliver(SampleReport(-60));
    EXPECT_EQ(form2.windowTitle(), "計算結果");
    EXPECT_TRUE(form2.isVisible());
    EXPECT_EQ(MemoLines(form2.Memo1), AsQt(SampleReport(-60).lines()));
    EXPECT_TRUE(form2.Memo1->isReadOnly());
    EXPECT_FALSE(form2.Biko->isVisibleTo(&form2));
    EXPECT_EQ(shown, std::vector<ShownMessage>{Level("-6.0")});
    EXPECT_FALSE(form2.levelMessagePending);

    // Switching away and back is no new calculation.
    editor.form1->show();
    editor.form1->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.form1.get()));
    form2.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form2));
    EXPECT_EQ(shown.size(), 1u);
}

TEST_F(ResultWindow, EveryCalculationIsAnnouncedAlsoWhileTheWindowIsOpen) {
    Deliver(SampleReport(-9));
    Deliver(SampleReport(-10));  // the window is still in front
    editor.form1->show();
    editor.form1->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.form1.get()));
    Deliver(SampleReport(9));  // open, but behind the editor
    EXPECT_EQ(shown, (std::vector<ShownMessage>{Level("-0.9"), Level("-1.0"), Level("0.9")}));
    // The second report replaced the first.
    EXPECT_EQ(MemoLines(form2.Memo1), AsQt(SampleReport(9).lines()));
    EXPECT_EQ(form2.resultTotal, 9);
}

TEST_F(ResultWindow, CalculateButtonShowsTheRatingOfTheEditor) {
    TForm1& form = *editor.form1;
    form.ObTarget->item(0)->click();
    form.ObSuccess->setValue(1);
    form.ObVoice->click();
    form.ObAttribute->item(2)->click();
    form.ObEscape->setValue(2);
    form.ObAssasin->click();
    form.SpeedButtonClick(2);  // damage by level, value 1
    form.Obelist->setCurrentRow(0);
    form.Obepoint->setText("10");

    const RatingReport expected = RateSkill(GatherSkillRecord(form.editor()));
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form2));
    EXPECT_EQ(MemoLines(form2.Memo1), AsQt(expected.lines()));
    EXPECT_EQ(form2.resultTotal, expected.total);
    ASSERT_EQ(shown.size(), 1u);
    // The worked example of the rating: 127 points, level 12.7.
    EXPECT_EQ(shown.front(), Level("12.7"));
    EXPECT_TRUE(MemoLines(form2.Memo1).contains("技能レベル： 12.7"));
}

}  // namespace
}  // namespace morvat::test
