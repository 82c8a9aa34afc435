// SPDX-License-Identifier: MIT
// The result window's chart and pin: one bar per scored item with its sign and colour,
// and, while a result is pinned, what each item and the level gained or lost.
#include <QImage>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include "ReportChart.h"
#include "UiTestSupport.h"

namespace morvat::test {
namespace {

class ResultChart : public testing::Test {
protected:
    void SetUp() override {
        // The worked example: damage by level 10, success +1, voice, "魔法的物理属性",
        // evasion +2 on use and the key code "暗殺".
        form.ObSuccess->setValue(1);
        form.ObVoice->click();
        form.ObAttribute->item(2)->click();
        form.ObEscape->setValue(2);
        form.ObAssasin->click();
        form.SpeedButtonClick(2);
        form.Obelist->setCurrentRow(0);
        form.Obepoint->setText("10");
    }

    void Calculate() {
        form.Button1Click();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form2));
        QCoreApplication::processEvents();
    }

    using Row = std::tuple<QString, std::optional<std::int64_t>, std::optional<std::int64_t>>;
    std::vector<Row> Bars() const {
        std::vector<Row> rows;
        for (const ReportChart::Bar& bar : form2.Chart->bars()) {
            rows.emplace_back(bar.label, bar.points, bar.difference);
        }
        return rows;
    }

    // How many pixels of the chart have exactly `colour`.
    int Pixels(const QColor& colour) {
        const QImage image = form2.Chart->grab().toImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == colour.rgb();
        }
        return count;
    }

    Editor editor;
    TForm1& form = *editor.form1;
    TForm2& form2 = *editor.form2;
};

TEST_F(ResultChart, OneBarPerScoredItemWithItsSign) {
    EXPECT_FALSE(form2.PinButton->isEnabled()) << "nothing to pin before a calculation";
    Calculate();
    EXPECT_EQ(form2.Pages->tabText(0), "計算");
    EXPECT_EQ(form2.Pages->tabText(1), "内訳");
    // The range step sets the total rather than adding to it, and is no bar.
    EXPECT_EQ(Bars(), (std::vector<Row>{
                          {"基本ダメージ(Lv比)", 1100, std::nullopt},
                          {"成功率修正", 165, std::nullopt},
                          {"要発声", -50, std::nullopt},
                          {"魔法的物理属性", 50, std::nullopt},
                          {"使用時回避力修正", 2, std::nullopt},
                          {"キーコード[暗殺]", 5, std::nullopt},
                      }));
    EXPECT_TRUE(form2.PinButton->isEnabled());
    EXPECT_TRUE(form2.PinDifference->text().isEmpty());

    form2.Pages->setCurrentIndex(1);
    QCoreApplication::processEvents();
    EXPECT_NE(form2.Chart->positiveColour(), form2.Chart->negativeColour());
    const int gained = Pixels(form2.Chart->positiveColour());
    const int lost = Pixels(form2.Chart->negativeColour());
    EXPECT_GT(gained, 0);
    EXPECT_GT(lost, 0);
    EXPECT_GT(gained, 10 * lost) << "the 1100 bar dwarfs the one loss of 50";
}

TEST_F(ResultChart, PinShowsWhatAChangeWasWorthUntilReleased) {
    Calculate();
    QTest::mouseClick(form2.PinButton, Qt::LeftButton);
    EXPECT_TRUE(form2.pinned());
    EXPECT_TRUE(form2.PinButton->isChecked());
    EXPECT_EQ(form2.PinDifference->text(), "固定との差：技能レベル 0.0（合計 0）");

    // Without the voice the card gains 50 before the range step: 7 points, 0.7 levels.
    form.ObVoice->click();
    form.ObFaratack->click();
    Calculate();
    EXPECT_EQ(form2.resultTotal, 136);
    EXPECT_EQ(form2.PinDifference->text(), "固定との差：技能レベル +0.9（合計 +9）");
    EXPECT_EQ(Bars(), (std::vector<Row>{
                          {"基本ダメージ(Lv比)", 1100, 0},
                          {"成功率修正", 165, 0},
                          {"要発声", std::nullopt, 50},
                          {"魔法的物理属性", 50, 0},
                          {"使用時回避力修正", 2, 0},
                          {"キーコード[暗殺]", 5, 0},
                          {"キーコード[遠距離攻撃]", 2, 2},
                      }));
    // The report itself stays as the rating wrote it.
    EXPECT_FALSE(form2.Memo1->toPlainText().contains(QStringLiteral("固定")));

    QTest::mouseClick(form2.PinButton, Qt::LeftButton);
    EXPECT_FALSE(form2.pinned());
    EXPECT_TRUE(form2.PinDifference->text().isEmpty());
    for (const ReportChart::Bar& bar : form2.Chart->bars()) {
        EXPECT_FALSE(bar.difference) << bar.label.toStdString();
        EXPECT_TRUE(bar.points);
    }
    form.ObGard->setValue(-3);
    Calculate();
    EXPECT_TRUE(form2.PinDifference->text().isEmpty()) << "a released pin stays released";
}

// Labels and numbers keep their whole width: a narrow window scrolls the chart instead.
TEST_F(ResultChart, NarrowWindowScrollsRatherThanClips) {
    Calculate();
    form2.Pages->setCurrentIndex(1);
    form2.resize(160, 300);
    QCoreApplication::processEvents();
    EXPECT_GE(form2.Chart->width(), form2.Chart->minimumSizeHint().width());
    const QFontMetrics metrics(form2.Chart->font());
    EXPECT_GT(form2.Chart->minimumSizeHint().width(),
              metrics.horizontalAdvance(QStringLiteral("基本ダメージ(Lv比)")) +
                  metrics.horizontalAdvance(QStringLiteral("1100")));
    auto* area = form2.findChild<QScrollArea*>(QStringLiteral("ChartArea"));
    ASSERT_NE(area, nullptr);
    EXPECT_TRUE(area->horizontalScrollBar()->isVisible());
}

}  // namespace
}  // namespace morvat::test
