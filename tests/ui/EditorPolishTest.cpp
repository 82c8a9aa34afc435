// What users noticed in the editor: arrows that worked on a disabled box, new rows out of
// sight, a long card name that pushed the layout about, track bars without numbers, and
// Return on a focused button doing nothing.
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "CardWriter.h"
#include "UiTestSupport.h"
#include "files/ShiftJis.h"

namespace morvat::test {
namespace {

class EditorPolish : public testing::Test {
protected:
    void SetUp() override {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }

    void OnPage(QWidget* page) { form.PageControl1->setCurrentWidget(page); }

    void Press(const char* buttonName) {
        auto* button = form.findChild<QToolButton*>(QString::fromLatin1(buttonName));
        ASSERT_NE(button, nullptr) << buttonName;
        form.PageControl2->setCurrentWidget(button->parentWidget());
        QTest::mouseClick(button, Qt::LeftButton);
    }

    Editor editor;
    TForm1& form = *editor.form1;
};

TEST_F(EditorPolish, ValueArrowsAreDisabledTogetherWithTheirBox) {
    OnPage(form.TabSheet3);
    Press("SpeedButton3");  // damage
    form.Obelist->setCurrentRow(0);
    const QList<QToolButton*> arrows = form.Obepointud->findChildren<QToolButton*>();
    ASSERT_EQ(arrows.size(), 2);
    QToolButton* up = arrows[0]->arrowType() == Qt::UpArrow ? arrows[0] : arrows[1];

    form.Obepkind->item(2)->click();  // 最大値処理
    EXPECT_FALSE(form.Obepoint->isEnabled());
    EXPECT_FALSE(up->isEnabled());
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_EQ(form.Obepoint->text(), "1");
    EXPECT_EQ(form.editor().Obelist[0].value, 1);

    form.Obepkind->item(1)->click();
    EXPECT_TRUE(up->isEnabled());
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_EQ(form.editor().Obelist[0].value, 2);

    // Selecting a row of the maximum kind disables them as well.
    Press("SpeedButton3");
    form.Obelist->setCurrentRow(1);
    form.Obepkind->item(2)->click();
    form.Obelist->setCurrentRow(0);
    EXPECT_TRUE(up->isEnabled());
    form.Obelist->setCurrentRow(1);
    EXPECT_FALSE(up->isEnabled());
}

TEST_F(EditorPolish, EveryNewRowIsScrolledIntoSight) {
    OnPage(form.TabSheet3);
    for (int i = 0; i < 30; ++i) {
        Press(i % 2 == 0 ? "SpeedButton3" : "SpeedButton6");
        QListWidgetItem* last = form.Obelist->item(form.Obelist->count() - 1);
        ASSERT_TRUE(form.Obelist->viewport()->rect().contains(form.Obelist->visualItemRect(last)))
            << "row " << i << " is out of sight";
    }
    // Removing a row does not jump to the end.
    form.Obelist->scrollToTop();
    form.Obelist->setCurrentRow(0);
    Press("SpeedButton1");
    EXPECT_TRUE(form.Obelist->viewport()->rect().contains(
        form.Obelist->visualItemRect(form.Obelist->item(0))));
}

TEST_F(EditorPolish, LongCardNameIsElidedWithTheWholeNameAsToolTip) {
    OnPage(form.TabSheet1);
    QWidget* cardGroup = form.ObCardname->parentWidget();
    const QRect groupBefore = cardGroup->geometry();
    const QRect attributeBefore = form.ObAttribute->geometry();

    // Fourteen double-byte characters: about the longest name a card holds (29 bytes).
    const QString longName = QStringLiteral("全体攻撃魔法炎の嵐と氷の槍と");
    WidCardPlan card;
    card.target = 3;  // enemies
    card.name = Sz(Utf8ToShiftJis(longName.toStdString()));
    const auto path = editor.dir.write("SkillLong.wid", WriteCard(card).bytes);
    form.OpenFile(QString::fromStdString(path.string()));
    EXPECT_EQ(form.ObCardname->text(), longName);
    EXPECT_EQ(form.ObCardname->toolTip(), longName);

    // Whatever the font, a name twice as long does not fit the column.
    const QString longer = longName + longName;
    form.ObCardname->setText(longer);
    QCoreApplication::processEvents();
    const QString shown = form.ObCardname->shownText();
    EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
    EXPECT_TRUE(longer.startsWith(shown.chopped(1)));
    EXPECT_LE(form.ObCardname->fontMetrics().horizontalAdvance(shown),
              form.ObCardname->contentsRect().width());
    EXPECT_EQ(form.ObCardname->toolTip(), longer);
    // The columns keep their places.
    EXPECT_EQ(cardGroup->geometry(), groupBefore);
    EXPECT_EQ(form.ObAttribute->geometry(), attributeBefore);

    // A short name is shown whole.
    card.name = Sz(Utf8ToShiftJis("炎の剣"));
    form.OpenFile(
        QString::fromStdString(editor.dir.write("SkillShort.wid", WriteCard(card).bytes).string()));
    EXPECT_EQ(form.ObCardname->shownText(), QStringLiteral("炎の剣"));
}

TEST_F(EditorPolish, TrackBarsShowTheirCurrentValue) {
    struct Bar {
        QSlider* bar;
        QWidget* page;
    };
    for (const Bar& b : {Bar{form.ObEscape, form.TabSheet2}, Bar{form.ObDefuse, form.TabSheet2},
                         Bar{form.ObGard, form.TabSheet2}, Bar{form.ObSuccess, form.TabSheet2},
                         Bar{form.Obevarias, form.TabSheet3}}) {
        SCOPED_TRACE(b.bar->objectName().toStdString());
        OnPage(b.page);
        auto* value = form.findChild<QLabel*>(b.bar->objectName() + "Value");
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(value->text(), "0");
        b.bar->setFocus();
        QTest::keyClick(b.bar, Qt::Key_Right);
        EXPECT_EQ(value->text(), "+1");
        b.bar->setValue(b.bar->minimum());
        EXPECT_EQ(value->text(), QString::number(b.bar->minimum()));
        b.bar->setValue(0);
        EXPECT_EQ(value->text(), "0");
    }
    // A loaded card's modifiers show at once, and the bar keeps its width as they change.
    OnPage(form.TabSheet2);
    const int width = form.ObEscape->width();
    WidCardPlan card;
    card.target = 3;  // enemies
    card.escape = -7;
    card.success = 5;
    form.OpenFile(
        QString::fromStdString(editor.dir.write("SkillMods.wid", WriteCard(card).bytes).string()));
    EXPECT_EQ(form.findChild<QLabel*>("ObEscapeValue")->text(), "-7");
    EXPECT_EQ(form.findChild<QLabel*>("ObSuccessValue")->text(), "+5");
    EXPECT_EQ(form.ObEscape->width(), width);
}

TEST_F(EditorPolish, ReturnAndEnterPressTheFocusedButton) {
    OnPage(form.TabSheet3);
    Press("SpeedButton3");
    ASSERT_EQ(form.Obelist->count(), 1);
    form.Button4->setFocus();
    QTest::keyClick(form.Button4, Qt::Key_Return);
    QTRY_COMPARE(form.Obelist->count(), 0);

    Press("SpeedButton3");
    form.Button4->setFocus();
    QTest::keyClick(form.Button4, Qt::Key_Enter, Qt::KeypadModifier);
    QTRY_COMPARE(form.Obelist->count(), 0);
}

// The focused button must stand out from the others, not only by a faint line.
TEST_F(EditorPolish, KeyboardFocusIsClearlyVisibleOnButtons) {
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.Button1->setFocus();
    ASSERT_TRUE(form.Button1->hasFocus());
    QCoreApplication::processEvents();
    const QImage focused = form.Button1->grab().toImage();
    form.Button2->setFocus();
    QCoreApplication::processEvents();
    const QImage unfocused = form.Button1->grab().toImage();
    ASSERT_EQ(focused.size(), unfocused.size());
    int changed = 0;
    for (int y = 0; y < focused.height(); ++y) {
        for (int x = 0; x < focused.width(); ++x) {
            const QColor a = focused.pixelColor(x, y);
            const QColor b = unfocused.pixelColor(x, y);
            const int difference = std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
                                   std::abs(a.blue() - b.blue());
            if (difference > 96) ++changed;
        }
    }
    // More than a faint line round the edge: a frame all round, inside it.
    EXPECT_GE(changed, 2 * (focused.width() + focused.height())) << "pixels changed: " << changed;
}

}  // namespace
}  // namespace morvat::test
