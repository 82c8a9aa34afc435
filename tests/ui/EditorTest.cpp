// SPDX-License-Identifier: MIT
// The main editor's controls: the palette, the effect list and its selection, the
// parameter panes and their write-back, Delete, Clear and the header controls.
#include <QFontInfo>
#include <QListWidget>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>
#include <set>

#include "Fonts.h"
#include "UiTestSupport.h"
#include "model/EffectCatalogue.h"

namespace morvat::test {
namespace {

class EditorWindow : public testing::Test {
protected:
    void SetUp() override {
        form.show();
        form.PageControl1->setCurrentWidget(form.TabSheet3);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }

    void Press(const char* buttonName) {
        auto* button = form.findChild<QToolButton*>(QString::fromLatin1(buttonName));
        ASSERT_NE(button, nullptr) << buttonName;
        form.PageControl2->setCurrentWidget(button->parentWidget());
        QTest::mouseClick(button, Qt::LeftButton);
    }

    void ClickRow(QListWidget* list, int row) {
        const QRect rect = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }

    bool Shown(QWidget* pane) const { return pane->isVisibleTo(&form); }

    QStringList RowCaptions() const {
        QStringList captions;
        for (int i = 0; i < form.Obelist->count(); ++i) captions << form.Obelist->item(i)->text();
        return captions;
    }

    Editor editor;
    TForm1& form = *editor.form1;
};

TEST_F(EditorWindow, WindowCaptionSizeAndButtonBar) {
    EXPECT_EQ(form.objectName(), "TForm1");
    EXPECT_EQ(form.windowTitle(), "MORVAT_Ex");
    EXPECT_EQ(form.size(), QSize(380, 322));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_FALSE(form.windowIcon().pixmap(16, 16).isNull());
    QStringList captions;
    int lastX = -1;
    for (const char* name : {"Button1", "Button2", "Button3", "Button5", "Button4"}) {
        auto* button = form.findChild<QPushButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        EXPECT_GT(button->x(), lastX) << name;
        lastX = button->x();
        captions << button->text();
    }
    EXPECT_EQ(captions, QStringList({"計算開始", "cwsセーブ", "ロード", "読み込み", "クリア"}));
    EXPECT_EQ(form.PageControl1->tabText(0), "属性");
    EXPECT_EQ(form.PageControl1->tabText(1), "使用時修正/成功率");
    EXPECT_EQ(form.PageControl1->tabText(2), "効果");
}

TEST(Application, StandardButtonsSpeakJapanese) {
    QMessageBox box(QMessageBox::Question, "Message", "?",
                    QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No);
    // The translation underlines a letter as a shortcut, as "はい(Y)" reads on Windows too.
    const auto caption = [&box](QMessageBox::StandardButton which) {
        return box.button(which)->text().remove(QRegularExpression("\\(&[A-Z]\\)$"));
    };
    EXPECT_EQ(caption(QMessageBox::Ok), "OK");
    EXPECT_EQ(caption(QMessageBox::Cancel), "キャンセル");
    EXPECT_EQ(caption(QMessageBox::Yes), "はい");
    EXPECT_EQ(caption(QMessageBox::No), "いいえ");
    EXPECT_EQ(QFontInfo(ProportionalGothic(12)).family(), "IPAPGothic");
    EXPECT_EQ(QFontInfo(FixedGothic(12)).family(), "IPAGothic");
}

TEST_F(EditorWindow, PaletteHoldsEveryButtonOnItsPageInKindOrder) {
    const QImage removeIcon = form.ImageList1().pixmap(0).toImage();
    for (std::size_t tab = 0; tab < kPaletteTabs.size(); ++tab) {
        EXPECT_EQ(form.PageControl2->tabText(static_cast<int>(tab)),
                  QString::fromUtf8(kPaletteTabs[tab].caption));
        auto* remove = form.findChild<QToolButton*>(kPaletteTabs[tab].removeButton);
        ASSERT_NE(remove, nullptr);
        EXPECT_EQ(remove->parentWidget(), form.PageControl2->widget(static_cast<int>(tab)));
        EXPECT_EQ(remove->icon().pixmap(16, 16).toImage(), removeIcon);
    }
    std::array<int, 8> lastX{};
    lastX.fill(-1);
    for (const EffectKindInfo& info : EffectCatalogue()) {
        auto* button = form.findChild<QToolButton*>(info.button);
        ASSERT_NE(button, nullptr) << info.button;
        form.PageControl2->setCurrentIndex(info.tab);
        EXPECT_EQ(button->parentWidget(), form.PageControl2->widget(info.tab)) << info.button;
        EXPECT_EQ(button->toolTip(), QString::fromUtf8(info.hint)) << info.button;
        EXPECT_EQ(button->icon().pixmap(16, 16).toImage(),
                  form.ImageList1().pixmap(info.kind).toImage())
            << info.button;
        // Left to right in ascending kind order, all after the remove button.
        auto* remove = form.findChild<QToolButton*>(kPaletteTabs[info.tab].removeButton);
        EXPECT_GT(button->x(), std::max(lastX[info.tab], remove->x())) << info.button;
        lastX[info.tab] = button->x();
    }
    EXPECT_EQ(form.findChildren<QToolButton*>(QRegularExpression("^SpeedButton\\d+$")).size(), 39);
    // Every image of the list tells its kind apart from the others.
    for (int i = 0; i < EffectIcons::kCount; ++i) {
        for (int j = i + 1; j < EffectIcons::kCount; ++j) {
            EXPECT_NE(form.ImageList1().pixmap(i).toImage(), form.ImageList1().pixmap(j).toImage())
                << i << " " << j;
        }
    }
}

TEST_F(EditorWindow, PaletteAddsRowsInOrderAndKeepsTheSelection) {
    Press("SpeedButton3");   // ダメージ
    Press("SpeedButton6");   // 眠り
    Press("SpeedButton21");  // 行動力変化
    EXPECT_EQ(RowCaptions(),
              QStringList({"生命力－ダメージ", "精神－睡眠状態", "能力－行動力変化"}));
    ASSERT_EQ(form.editor().Obelist.size(), 3u);
    EXPECT_EQ(form.editor().Obelist[0].rounds, 1);
    EXPECT_EQ(form.editor().Obelist[1].rounds, 10);
    EXPECT_EQ(form.Obelist->item(1)->icon().pixmap(16, 16).toImage(),
              form.ImageList1().pixmap(10).toImage());

    ClickRow(form.Obelist, 1);
    Press("SpeedButton2");  // 回復
    EXPECT_EQ(form.editor().selectedRow, 1);
    EXPECT_EQ(form.Obelist->selectedItems().size(), 1);
    EXPECT_EQ(form.Obelist->selectedItems().constFirst(), form.Obelist->item(1));

    // Many additions and removals keep the order of addition.
    for (int i = 0; i < 20; ++i) Press(i % 2 == 0 ? "SpeedButton38" : "SpeedButton22");
    ClickRow(form.Obelist, 0);
    Press("SpeedButton1");
    ClickRow(form.Obelist, 2);
    Press("SpeedButton17");
    ASSERT_EQ(form.Obelist->count(), 22);
    EXPECT_EQ(form.Obelist->item(0)->text(), "精神－睡眠状態");
    EXPECT_EQ(form.Obelist->item(1)->text(), "能力－行動力変化");
    EXPECT_EQ(form.Obelist->item(2)->text(), "精神－恐慌状態");
    EXPECT_EQ(form.Obelist->item(21)->text(), "消滅－対象消去");
}

TEST_F(EditorWindow, SelectingARowShowsItsPanes) {
    Press("SpeedButton6");   // sleep: duration alone
    Press("SpeedButton33");  // defence change: change value, duration below it
    Press("SpeedButton28");  // poison: value kind and value
    Press("SpeedButton19");  // skill recovery: nothing
    EXPECT_FALSE(Shown(form.Obepkind) || Shown(form.Obepointpane) || Shown(form.Obevariaspane) ||
                 Shown(form.Oberoundpane));

    ClickRow(form.Obelist, 0);
    EXPECT_FALSE(Shown(form.Obepkind) || Shown(form.Obepointpane) || Shown(form.Obevariaspane));
    EXPECT_TRUE(Shown(form.Oberoundpane));
    EXPECT_EQ(form.Oberoundpane->y(), 72);
    EXPECT_EQ(form.Oberound->text(), "10");
    EXPECT_EQ(form.Obelist2->selectedItems().constFirst()->text(), "精神");

    ClickRow(form.Obelist, 1);
    EXPECT_FALSE(Shown(form.Obepkind) || Shown(form.Obepointpane));
    EXPECT_TRUE(Shown(form.Obevariaspane));
    EXPECT_EQ(form.Obevariaspane->y(), 0);
    EXPECT_TRUE(Shown(form.Oberoundpane));
    EXPECT_EQ(form.Oberoundpane->y(), 120);
    EXPECT_EQ(form.Obelist2->selectedItems().constFirst()->text(), "全");

    ClickRow(form.Obelist, 2);
    EXPECT_TRUE(Shown(form.Obepkind) && Shown(form.Obepointpane));
    EXPECT_FALSE(Shown(form.Obevariaspane) || Shown(form.Oberoundpane));
    EXPECT_EQ(form.Obepkind->itemIndex(), 0);
    EXPECT_EQ(form.Obepoint->text(), "1");
    EXPECT_TRUE(form.Obepoint->isEnabled());
    EXPECT_EQ(form.Obelist2->selectedItems().constFirst()->text(), "肉体");

    ClickRow(form.Obelist, 3);
    EXPECT_FALSE(Shown(form.Obepkind) || Shown(form.Obepointpane) || Shown(form.Obevariaspane) ||
                 Shown(form.Oberoundpane));

    // Selecting rows never changes them.
    const EditorState before = form.editor();
    for (int row : {2, 1, 0, 3, 2}) ClickRow(form.Obelist, row);
    EXPECT_EQ(form.editor().Obelist, before.Obelist);
}

TEST_F(EditorWindow, MaximumTreatmentDisablesTheValueBox) {
    Press("SpeedButton3");
    Press("SpeedButton2");
    ClickRow(form.Obelist, 0);
    form.Obepkind->item(2)->click();
    EXPECT_EQ(form.editor().Obelist[0].valueKind, kValueKindMax);
    EXPECT_TRUE(Shown(form.Obepointpane));
    EXPECT_FALSE(form.Obepoint->isEnabled());

    ClickRow(form.Obelist, 1);
    EXPECT_TRUE(form.Obepoint->isEnabled());
    ClickRow(form.Obelist, 0);
    EXPECT_FALSE(form.Obepoint->isEnabled());
    form.Obepkind->item(1)->click();
    EXPECT_TRUE(form.Obepoint->isEnabled());
    EXPECT_EQ(form.editor().Obelist[0].valueKind, kValueKindFixed);
    EXPECT_EQ(form.editor().Obelist[1].valueKind, kValueKindLevel);
}

TEST_F(EditorWindow, ParameterControlsWriteIntoTheSelectedRow) {
    Press("SpeedButton3");   // damage
    Press("SpeedButton26");  // avoid change
    ClickRow(form.Obelist, 0);
    ClickRow(form.Obelist2, 4);
    form.Obepoint->selectAll();
    QTest::keyClicks(form.Obepoint, "42");
    EXPECT_EQ(form.editor().Obelist[0].attribute, 4);
    EXPECT_EQ(form.editor().Obelist[0].value, 42);

    // Letters bring back the last number and leave the row alone.
    QTest::keyClicks(form.Obepoint, "x");
    EXPECT_EQ(form.Obepoint->text(), "42");
    form.Obepoint->selectAll();
    QTest::keyClicks(form.Obepoint, "abc");
    EXPECT_EQ(form.Obepoint->text(), "42");
    EXPECT_EQ(form.editor().Obelist[0].value, 42);
    // A number beyond the spinner's range is brought into it.
    QTest::keyClicks(form.Obepoint, "0");
    EXPECT_EQ(form.Obepoint->text(), "99");
    EXPECT_EQ(form.editor().Obelist[0].value, 99);
    QTest::keyClick(form.Obepoint, Qt::Key_Down);
    EXPECT_EQ(form.editor().Obelist[0].value, 98);

    ClickRow(form.Obelist, 1);
    form.Obevarias->setValue(-7);
    form.Oberound->selectAll();
    QTest::keyClicks(form.Oberound, "1500");
    EXPECT_EQ(form.Oberound->text(), "999");
    const EffectEntry& change = form.editor().Obelist[1];
    EXPECT_EQ(change.variation, -7);
    EXPECT_EQ(change.rounds, 999);
    // The other row kept what it was given.
    EXPECT_EQ(form.editor().Obelist[0].rounds, 1);
    EXPECT_EQ(form.editor().Obelist[0].variation, 0);

    ClickRow(form.Obelist, 0);
    EXPECT_EQ(form.Obepoint->text(), "98");
    EXPECT_EQ(form.Obelist2->selectedItems().constFirst()->text(), "魔法");
}

TEST_F(EditorWindow, AttributeClickWithoutARowSelectsNothing) {
    Press("SpeedButton3");
    ClickRow(form.Obelist2, 3);
    EXPECT_TRUE(form.Obelist2->selectedItems().isEmpty());
    EXPECT_EQ(form.editor().Obelist[0].attribute, 0);
}

TEST_F(EditorWindow, DeleteRemovesTheSelectedRowOnly) {
    Press("SpeedButton3");
    Press("SpeedButton6");
    form.Obelist->setFocus();
    QTest::keyClick(form.Obelist, Qt::Key_Delete);
    EXPECT_EQ(form.Obelist->count(), 2);

    ClickRow(form.Obelist, 0);
    ASSERT_TRUE(Shown(form.Obepointpane));
    QTest::keyClick(form.Obelist, Qt::Key_Delete);
    EXPECT_EQ(RowCaptions(), QStringList({"精神－睡眠状態"}));
    EXPECT_EQ(form.editor().selectedRow, kNoSelection);
    EXPECT_TRUE(form.Obelist->selectedItems().isEmpty());
    EXPECT_TRUE(form.Obelist2->selectedItems().isEmpty());
    EXPECT_FALSE(Shown(form.Obepkind) || Shown(form.Obepointpane) || Shown(form.Obevariaspane) ||
                 Shown(form.Oberoundpane));

    // A remove button with nothing selected does nothing either.
    Press("SpeedButton13");
    EXPECT_EQ(form.Obelist->count(), 1);
}

TEST_F(EditorWindow, HeaderControlsWriteTheEditorState) {
    form.PageControl1->setCurrentWidget(form.TabSheet1);
    form.ObTarget->item(3)->click();
    form.ObAttribute->item(2)->click();
    form.ObDefence->item(1)->click();
    form.ObVoice->click();
    form.ObFaratack->click();
    form.ObAssasin->click();
    form.ObEscape->setValue(-10);
    form.ObDefuse->setValue(4);
    form.ObGard->setValue(10);
    form.ObSuccess->setValue(-5);
    const EditorState& e = form.editor();
    EXPECT_EQ(e.ObTarget, kTargetAllAllies);
    EXPECT_EQ(e.ObAttribute, 2);
    EXPECT_EQ(e.ObDefence, 1);
    EXPECT_TRUE(e.ObVoice && e.ObFaratack && e.ObAssasin);
    EXPECT_EQ(e.ObEscape, -10);
    EXPECT_EQ(e.ObDefuse, 4);
    EXPECT_EQ(e.ObGard, 10);
    EXPECT_EQ(e.ObSuccess, -5);
    EXPECT_EQ(form.ObSuccess->minimum(), -5);
    EXPECT_EQ(form.ObEscape->maximum(), 10);
}

TEST_F(EditorWindow, ClearReturnsEverythingToTheStart) {
    form.ObTarget->item(2)->click();
    form.ObVoice->click();
    form.ObGard->setValue(3);
    Press("SpeedButton3");
    Press("SpeedButton27");
    ClickRow(form.Obelist, 0);
    QTest::mouseClick(form.Button4, Qt::LeftButton);

    EXPECT_EQ(form.editor(), EditorState{});
    EXPECT_EQ(form.ObLevel->text(), "-");
    EXPECT_EQ(form.ObCardname->text(), "");
    EXPECT_EQ(form.Obelist->count(), 0);
    EXPECT_EQ(form.ObTarget->itemIndex(), 0);
    EXPECT_FALSE(form.ObVoice->isChecked());
    EXPECT_EQ(form.ObGard->value(), 0);
    EXPECT_TRUE(form.Obelist2->selectedItems().isEmpty());
    EXPECT_FALSE(Shown(form.Obepkind) || Shown(form.Obepointpane));
}

}  // namespace
}  // namespace morvat::test
