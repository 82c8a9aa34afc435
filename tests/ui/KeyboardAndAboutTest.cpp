// SPDX-License-Identifier: MIT
// The editor's keys do what its buttons do, the About box names the version and the
// licence, the result window comes back where it was left, and the program refuses
// options it does not know before any window opens.
#include <sys/wait.h>

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>
#include <cstdlib>

#include "UiTestSupport.h"
#include "WindowPlace.h"
#include "files/IniFile.h"

namespace morvat::test {
namespace {

class EditorKeys : public testing::Test {
protected:
    void SetUp() override {
        form().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form()));
    }
    TForm1& form() { return *editor.form1; }

    Editor editor;
};

TEST_F(EditorKeys, EachKeyClicksItsButton) {
    // Counted by the buttons' own signal: a key that did the work some other way would
    // drift from the button the day the button changes.
    const std::vector<std::pair<QPushButton*, QKeySequence>> keys{
        {form().Button3, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {form().Button2, QKeySequence(Qt::CTRL | Qt::Key_S)},
        {form().Button5, QKeySequence(Qt::CTRL | Qt::Key_R)},
        {form().Button1, QKeySequence(Qt::Key_F5)},
        {form().Button4, QKeySequence(Qt::CTRL | Qt::Key_L)},
    };
    editor.picker.result = 0;  // the loader dialog is cancelled
    for (const auto& [button, key] : keys) {
        int clicks = 0;
        const auto connection =
            QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
        QTest::keySequence(&form(), key);
        EXPECT_EQ(clicks, 1) << button->text().toStdString();
        QObject::disconnect(connection);
    }
    // What the clicks did: the open dialog, the save dialog, the loader dialog, a report.
    EXPECT_EQ(editor.messages.dialogSuffix, QStringLiteral("cws"));
    EXPECT_EQ(editor.picker.shownIn.size(), 1u);
    EXPECT_FALSE(editor.form2->Memo1->toPlainText().isEmpty());
}

TEST_F(EditorKeys, ClearKeyEmptiesTheEffectListAsTheButtonDoes) {
    form().PageControl1->setCurrentWidget(form().TabSheet3);
    QToolButton* add = form().paletteButtons[2];
    form().PageControl2->setCurrentWidget(add->parentWidget());
    QTest::mouseClick(add, Qt::LeftButton);
    ASSERT_EQ(form().editor().Obelist.size(), 1u);
    QTest::keySequence(&form(), QKeySequence(Qt::CTRL | Qt::Key_L));
    EXPECT_TRUE(form().editor().Obelist.empty());
    EXPECT_EQ(form().Obelist->count(), 0);
}

TEST_F(EditorKeys, DisabledButtonIsNotReachedByItsKey) {
    form().Button4->setEnabled(false);
    int clicks = 0;
    QObject::connect(form().Button4, &QPushButton::clicked, [&clicks] { ++clicks; });
    QTest::keySequence(&form(), QKeySequence(Qt::CTRL | Qt::Key_L));
    EXPECT_EQ(clicks, 0);
}

TEST_F(EditorKeys, AboutBoxFromF1AndFromTheWindowMenu) {
    QTest::keyClick(&form(), Qt::Key_F1);
    auto* box = form().findChild<QDialog*>(QStringLiteral("AboutBox"));
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    const QString title = box->findChild<QLabel*>(QStringLiteral("AboutTitle"))->text();
    EXPECT_TRUE(title.contains(QStringLiteral(MORVAT_VERSION))) << title.toStdString();
    const QString licence =
        box->findChild<QPlainTextEdit*>(QStringLiteral("AboutLicence"))->toPlainText();
    EXPECT_TRUE(licence.startsWith(QStringLiteral("MIT License")));
    EXPECT_TRUE(licence.contains(QStringLiteral("2026 The MORVAT_Ex developers")));

    // A second request brings the same box forward instead of stacking another.
    auto* about = form().findChild<QAction*>(QStringLiteral("actionAbout"));
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(form().actions().contains(about));
    EXPECT_EQ(form().contextMenuPolicy(), Qt::ActionsContextMenu);
    about->trigger();
    EXPECT_EQ(form().findChildren<QDialog*>(QStringLiteral("AboutBox")).size(), 1);
    box->close();
}

TEST(ResultWindowPlace, ComesBackWhereItWasLeftAndKeepsTheFolders) {
    TempDir dir;
    const SettingsStore store(dir.path() / "morvat-ex.ini", dir.path() / "config" / "morvat-ex.ini");
    ASSERT_TRUE(store.Write({"/cards", "/saved"}).ok());
    FakeMessages messages;
    {
        TForm2 window(messages);
        WindowPlace place(window, store, QStringLiteral("ResultWindow"));
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.resize(410, 530);
        window.move(37, 58);
        ASSERT_TRUE(place.Save());
    }
    {
        TForm2 window(messages);
        WindowPlace place(window, store, QStringLiteral("ResultWindow"));
        EXPECT_EQ(window.size(), QSize(410, 530));
        // Within the frame's width: the window system may count the frame or not.
        EXPECT_LE((window.pos() - QPoint(37, 58)).manhattanLength(), 8) << window.pos().x();
    }
    EXPECT_EQ(store.Read().folders.OpenFolder, "/cards");
    EXPECT_EQ(store.Read().folders.SaveFolder, "/saved");

    // A window not shown in this run keeps the place it had; a damaged value is ignored.
    const std::string before = ReadFileBytes(dir.path() / "morvat-ex.ini");
    {
        TForm2 window(messages);
        WindowPlace place(window, store, QStringLiteral("ResultWindow"));
        EXPECT_TRUE(place.Save());
    }
    EXPECT_EQ(ReadFileBytes(dir.path() / "morvat-ex.ini"), before);
    dir.write("morvat-ex.ini", "[MORVAT.Ex]\nResultWindow=***\n");
    TForm2 window(messages);
    WindowPlace place(window, store, QStringLiteral("ResultWindow"));
    EXPECT_EQ(window.size(), QSize(346, 484));
}

int RunEditor(const std::string& arguments, std::string& err) {
    TempDir dir;
    const std::string command = "timeout 60 '" + std::string(MORVAT_EDITOR_PATH) + "' " +
                                arguments + " >/dev/null 2>'" + (dir.path() / "err").string() + "'";
    const int raw = std::system(command.c_str());
    err = ReadFileBytes(dir.path() / "err");
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

TEST(EditorCommandLine, UnknownOptionsAreRefusedWithoutAWindow) {
    std::string err;
    // The offscreen platform would let a wrongly opened window run until the timeout.
    EXPECT_EQ(RunEditor("--bogus", err), 64);
    EXPECT_NE(err.find("unknown option '--bogus'"), std::string::npos) << err;
    EXPECT_NE(err.find("Usage: morvat-ex"), std::string::npos);
    EXPECT_EQ(RunEditor("-x examples/damage-single.cws", err), 64);
    EXPECT_EQ(RunEditor("--help", err), 0);
}

}  // namespace
}  // namespace morvat::test
