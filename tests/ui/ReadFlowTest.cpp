// SPDX-License-Identifier: MIT
// "読み込み" from end to end: the editor's button, the real loader dialog shown modally and
// answered as a user would, the card read and the folder remembered afterwards.
#include <sys/stat.h>

#include <QCoreApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <functional>
#include <string>

#include "CardPicker.h"
#include "QtPaths.h"
#include "TestPaths.h"
#include "UiTestSupport.h"
#include "files/LoadFlows.h"

namespace morvat::test {
namespace {

namespace fs = std::filesystem;

const ShownMessage kCannotOpen{"warn", "ファイルが開けません", "Error"};
const ShownMessage kReadFailed{"warn", "読み込みに失敗しました", "I'm sorry."};

struct NoPrompts final : LoadPrompts {
    void WarnNoTarget() override {}
    bool AskEnemySide() override { return true; }
};

// What the editor holds after reading `path` into an empty editor, straight from the core.
EditorState CoreRead(const fs::path& path) {
    EditorState state;
    NoPrompts prompts;
    EXPECT_EQ(ReadSkillCard(path, state, prompts).status, LoadStatus::Loaded);
    return state;
}

struct DialogMessages final : LoaderMessages {
    int noCardChosen = 0;
    void NoCardChosen(QWidget*) override { ++noCardChosen; }
};

class ReadFlow : public testing::Test {
protected:
    ReadFlow()
        : editor("[MORVAT.Ex]\nOpenFolder=" + cards.path().string() + "/\n"),
          dialog(editor.form1.get()),
          picker(dialog) {
        for (const char* name : {"SkillFireBolt.wid", "SkillHealingLight.wid"}) {
            fs::copy_file(ExamplesDir() / name, cards.path() / name);
        }
        dialog.setMessages(&dialogMessages);
        form.SetCardPicker(&picker);
        form.show();
    }

    QListWidget* cardList() { return dialog.findChild<QListWidget*>("ListBox1"); }
    QTreeWidget* folderTree() { return dialog.findChild<QTreeWidget*>("DirectoryListBox1"); }

    // Presses "読み込み"; `inDialog` runs while the dialog is up and should close it.
    void Read(const std::function<void()>& inDialog) {
        QTimer::singleShot(0, &dialog, [this, inDialog] {
            shownIn.push_back(dialog.directory());
            inDialog();
            if (dialog.isVisible()) dialog.reject();  // never leave the test waiting
        });
        QTest::mouseClick(form.Button5, Qt::LeftButton);
    }

    void ChooseRow(int row) {
        cardList()->setCurrentRow(row);
        dialog.findChild<QPushButton*>("Button1")->click();
    }

    TempDir cards;
    Editor editor;
    TForm1& form = *editor.form1;
    FakeMessages& messages = editor.messages;
    TForm3 dialog;
    LoaderDialogPicker picker;
    DialogMessages dialogMessages;
    std::vector<QString> shownIn;
};

TEST_F(ReadFlow, ReadsTheChosenCardAndRemembersTheFolderAsTheDialogShowsIt) {
    Read([this] { ChooseRow(0); });
    EXPECT_EQ(shownIn, std::vector<QString>{FromPath(cards.path())});
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(form.ObCardname->text(), "火炎弾");
    EXPECT_EQ(form.editor(), CoreRead(cards.path() / "SkillFireBolt.wid"));
    EXPECT_EQ(form.Obelist->count(), static_cast<int>(form.editor().Obelist.size()));
    EXPECT_EQ(form.OpenFolder(), cards.path().string());  // without the trailing separator

    // The next showing keeps the row: OK alone reads the same card again, not doubled.
    Read([this] { dialog.findChild<QPushButton*>("Button1")->click(); });
    EXPECT_EQ(form.editor(), CoreRead(cards.path() / "SkillFireBolt.wid"));

    // Cancelling changes nothing.
    Read([this] { dialog.findChild<QPushButton*>("Button2")->click(); });
    EXPECT_EQ(form.editor(), CoreRead(cards.path() / "SkillFireBolt.wid"));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(dialogMessages.noCardChosen, 0);
}

TEST_F(ReadFlow, FolderOpenedInTheDialogBecomesTheOpenFolder) {
    fs::create_directory(cards.path() / "more");
    fs::copy_file(ExamplesDir() / "SkillSleepMist.wid", cards.path() / "more" / "Skill1.wid");

    Read([this] {
        QTreeWidgetItem* current = folderTree()->currentItem();
        ASSERT_EQ(current->childCount(), 1);
        folderTree()->setCurrentItem(current->child(0));
        QTest::keyClick(folderTree(), Qt::Key_Return);
        ChooseRow(0);
    });
    EXPECT_EQ(form.editor(), CoreRead(cards.path() / "more" / "Skill1.wid"));
    EXPECT_EQ(form.OpenFolder(), (cards.path() / "more").string());
}

TEST_F(ReadFlow, DeletedOpenFolderOpensTheDialogInTheProgramsFolder) {
    const fs::path gone = cards.path() / "gone";
    fs::create_directory(gone);
    Editor other("[MORVAT.Ex]\nOpenFolder=" + gone.string() + "\n");
    fs::remove(gone);
    TForm3 otherDialog(other.form1.get());
    LoaderDialogPicker otherPicker(otherDialog);
    other.form1->SetCardPicker(&otherPicker);

    QString shown;
    QTimer::singleShot(0, &otherDialog, [&] {
        shown = otherDialog.directory();
        otherDialog.reject();
    });
    other.form1->Button5Click();
    EXPECT_EQ(shown, QCoreApplication::applicationDirPath());
    EXPECT_TRUE(other.messages.shown.empty());
    EXPECT_EQ(other.form1->editor(), EditorState{});
}

TEST_F(ReadFlow, BrokenCardIsRefusedAndTheEditorKeepsTheCardBefore) {
    // The card list reads only as far as the name, so this file is listed; the card read
    // then refuses it.
    const std::string fireBolt = ReadFileBytes(cards.path() / "SkillFireBolt.wid");
    cards.write("Skill0.wid", fireBolt.substr(0, fireBolt.size() / 2));

    Read([this] { ChooseRow(1); });
    const EditorState before = form.editor();
    ASSERT_EQ(before, CoreRead(cards.path() / "SkillFireBolt.wid"));

    Read([this] { ChooseRow(0); });
    EXPECT_EQ(messages.shown, std::vector<ShownMessage>{kReadFailed});
    EXPECT_EQ(form.editor(), before);
    EXPECT_EQ(form.OpenFolder(), cards.path().string());
}

TEST_F(ReadFlow, CardThatVanishedOrBecameAFifoAfterListingCannotBeOpened) {
    Read([this] {
        fs::remove(cards.path() / "SkillFireBolt.wid");
        ChooseRow(0);
    });
    EXPECT_EQ(messages.shown, std::vector<ShownMessage>{kCannotOpen});
    EXPECT_EQ(form.editor(), EditorState{});

    Read([this] {
        const fs::path card = cards.path() / "SkillHealingLight.wid";
        fs::remove(card);
        ASSERT_EQ(mkfifo(card.c_str(), 0644), 0);
        ChooseRow(1);
    });
    EXPECT_EQ(messages.shown, (std::vector<ShownMessage>{kCannotOpen, kCannotOpen}));
    EXPECT_EQ(form.editor(), EditorState{});
}

TEST_F(ReadFlow, CardWhoseFileNameIsInTheGamesCodePageIsRead) {
    const fs::path card = cards.path() / "Skill\x89\x8a.wid";  // "炎" in code page 932
    fs::copy_file(ExamplesDir() / "SkillSleepMist.wid", card);

    Read([this] { ChooseRow(2); });  // after the two ASCII names
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(form.editor(), CoreRead(card));
}

}  // namespace
}  // namespace morvat::test
