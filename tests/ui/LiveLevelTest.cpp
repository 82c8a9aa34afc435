// SPDX-License-Identifier: MIT
// The level beside the editor's tabs: every kind of edit updates it at once with the
// rating "計算開始" would give, a failed load leaves it, and the window keeps its size.
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <functional>

#include "TestPaths.h"
#include "UiTestSupport.h"
#include "calc/Rating.h"
#include "model/SkillRecord.h"

namespace morvat::test {
namespace {

class LiveLevelView : public testing::Test {
protected:
    void SetUp() override {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }

    QString Shown() const { return form.liveLevel->fullText(); }

    QString Rated() const {
        return QString::fromStdString(
            LevelSummary(RateSkill(GatherSkillRecord(form.editor())).total));
    }

    // Runs one edit and checks that it was announced and that the line shows its rating.
    void Edit(const char* what, const std::function<void()>& edit, bool changesTotal = true) {
        SCOPED_TRACE(what);
        QSignalSpy changed(&form, &TForm1::editorChanged);
        const QString before = Shown();
        edit();
        EXPECT_GE(changed.count(), 1);
        EXPECT_EQ(Shown(), Rated());
        if (changesTotal) {
            EXPECT_NE(Shown(), before);
        }
    }

    Editor editor;
    TForm1& form = *editor.form1;
};

TEST_F(LiveLevelView, EveryKindOfEditUpdatesTheLine) {
    EXPECT_EQ(Shown(), "技能レベル：-6.0（合計 -60）");
    EXPECT_EQ(form.liveLevel->text(), Shown());

    Edit("target", [&] { form.ObTarget->item(1)->click(); });
    EXPECT_EQ(Shown(), "技能レベル：0.0（合計 0）");
    Edit("voice", [&] { form.ObVoice->click(); });
    Edit("attribute", [&] { form.ObAttribute->item(2)->click(); });
    Edit("resistance", [&] { form.ObDefence->item(1)->click(); });
    Edit("far attack", [&] { form.ObFaratack->click(); });
    Edit("assassin", [&] { form.ObAssasin->click(); });
    Edit("evasion on use", [&] { form.ObEscape->setValue(3); });
    Edit("resistance on use", [&] { form.ObDefuse->setValue(-2); });
    Edit("defence on use", [&] { form.ObGard->setValue(1); });
    Edit("palette button", [&] { form.SpeedButtonClick(2); });
    Edit("success rate", [&] { form.ObSuccess->setValue(2); });
    form.Obelist->setCurrentRow(0);
    Edit("value", [&] { form.Obepoint->setText(QStringLiteral("10")); });
    Edit("value kind", [&] { form.Obepkind->item(2)->click(); });
    Edit(
        "attribute of a row", [&] { form.Obelist2->setCurrentRow(3); }, false);
    form.SpeedButtonClick(25);
    form.Obelist->setCurrentRow(1);
    Edit("change value", [&] { form.Obevarias->setValue(-4); });
    Edit("rounds", [&] { form.Oberound->setText(QStringLiteral("3")); });
    form.SpeedButtonClick(10);
    form.Obelist->setCurrentRow(2);
    Edit("Delete", [&] { QTest::keyClick(form.Obelist, Qt::Key_Delete); });
    Edit("clear", [&] { form.Button4Click(); });
    EXPECT_EQ(Shown(), "技能レベル：-6.0（合計 -60）");
    Edit("load", [&] {
        form.OpenFile(QString::fromStdString((ExamplesDir() / "damage-single.cws").string()));
    });
    EXPECT_EQ(Shown(), "技能レベル：12.7（合計 127）");
}

TEST_F(LiveLevelView, FailedLoadLeavesTheLine) {
    form.OpenFile(QString::fromStdString((ExamplesDir() / "damage-single.cws").string()));
    QSignalSpy changed(&form, &TForm1::editorChanged);
    TempDir dir;
    form.OpenFile(QString::fromStdString(dir.write("broken.wid", "not a card").string()));
    form.OpenFile(QString::fromStdString((dir.path() / "missing.cws").string()));
    EXPECT_EQ(editor.messages.shown.size(), 2u);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(Shown(), "技能レベル：12.7（合計 127）");
}

// The line sits in the tab row beside the tabs, whole, and the window keeps its size.
TEST_F(LiveLevelView, FitsBesideTheTabsWithoutGrowingTheWindow) {
    form.OpenFile(QString::fromStdString((ExamplesDir() / "damage-single.cws").string()));
    QCoreApplication::processEvents();
    EXPECT_EQ(form.size(), QSize(380, 322));
    const QRect level(form.liveLevel->mapTo(&form, QPoint(0, 0)), form.liveLevel->size());
    const QTabBar* tabs = form.PageControl1->tabBar();
    const QRect lastTab = tabs->tabRect(tabs->count() - 1).translated(tabs->mapTo(&form, QPoint()));
    EXPECT_GE(level.left(), lastTab.right());
    EXPECT_LE(level.right(), form.width());
    EXPECT_LE(level.bottom(), form.PageControl1->currentWidget()->mapTo(&form, QPoint()).y());
    EXPECT_GE(form.liveLevel->width(),
              form.liveLevel->fontMetrics().horizontalAdvance(form.liveLevel->text()));
    EXPECT_EQ(form.liveLevel->text(), Shown()) << "the usual line is shown whole";
}

// A hand-made file can hold sums no editor reaches: the line is shortened, not the window
// widened, and the whole of it is in the tool tip.
TEST_F(LiveLevelView, AbsurdTotalsAreShortenedNotClipped) {
    TempDir dir;
    // One enemy, damage by level with a sum far beyond the editor's 99.
    const std::string huge =
        "0000050\r\n000\r\n0\r\n0\r\n0\r\n100000\r\n2000000000\r\n0\r\n0\r\n0\r\n000000\r\n0\r\n"
        "0\r\n0\r\n0\r\n0\r\n0000\r\n0\r\n0\r\n0\r\n0\r\n000\r\n0\r\n0\r\n0\r\n\r\n0000\r\n0\r\n"
        "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n000000\r\n";
    form.OpenFile(QString::fromStdString(dir.write("huge.cws", huge).string()));
    QCoreApplication::processEvents();
    EXPECT_EQ(form.size(), QSize(380, 322));
    EXPECT_EQ(form.liveLevel->toolTip(), Shown());
    EXPECT_LE(form.liveLevel->fontMetrics().horizontalAdvance(form.liveLevel->text()),
              form.liveLevel->width());
}

}  // namespace
}  // namespace morvat::test
