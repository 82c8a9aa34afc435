// SPDX-License-Identifier: MIT
// The loader dialog driven as a user would: folders with cards, broken entries and
// hostile entries; OK, double click, Cancel; and what the dialog keeps between showings.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "LoaderDialog.h"
#include "TempDir.h"
#include "Unprivileged.h"
#include "files/ShiftJis.h"

namespace {

namespace fs = std::filesystem;
using morvat::test::TempDir;

std::string Int32(std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    return {static_cast<char>(u & 0xFF), static_cast<char>((u >> 8) & 0xFF),
            static_cast<char>((u >> 16) & 0xFF), static_cast<char>((u >> 24) & 0xFF)};
}

// The start of a card file as far as the card list reads it: the tag, a first block, the
// name field with its length, then more card data.
std::string CardHead(std::string_view nameField, std::int32_t length) {
    return "\x05" + Int32(3) + "abc" + Int32(length) + std::string(nameField) + "\x01\x02\x03";
}

// A card file whose name field holds `name` and its NUL.
std::string NamedCard(std::string_view utf8Name) {
    const std::string name = morvat::Utf8ToShiftJis(utf8Name);
    return CardHead(name + '\0', static_cast<std::int32_t>(name.size() + 1));
}

QString Spaces(int count) {
    return QString(count, QLatin1Char(' '));
}

struct RecordingMessages : LoaderMessages {
    int noCardChosen = 0;
    void NoCardChosen(QWidget*) override { ++noCardChosen; }
};

class LoaderDialogTest : public ::testing::Test {
protected:
    void SetUp() override { dialog.setMessages(&messages); }

    QListWidget* cards() { return dialog.findChild<QListWidget*>("ListBox1"); }
    QTreeWidget* folders() { return dialog.findChild<QTreeWidget*>("DirectoryListBox1"); }
    QComboBox* drives() { return dialog.findChild<QComboBox*>("DriveComboBox1"); }
    QPushButton* okButton() { return dialog.findChild<QPushButton*>("Button1"); }
    QPushButton* cancelButton() { return dialog.findChild<QPushButton*>("Button2"); }

    QStringList rows() {
        QStringList texts;
        for (int i = 0; i < cards()->count(); ++i) texts << cards()->item(i)->text();
        return texts;
    }

    void show(const fs::path& folder) {
        dialog.setDirectoryPath(folder);
        dialog.open();  // modal, but returns at once
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }

    TempDir folder;
    RecordingMessages messages;
    TForm3 dialog;
};

TEST_F(LoaderDialogTest, ListsCardNamesPaddedTo13BytesBeforeTheFileName) {
    folder.write("Skill0.wid", CardHead("", 0));
    folder.write("Skill1.wid", NamedCard("火球"));
    folder.write("Skill2.wid", NamedCard("あいうえおか"));    // 12 bytes and the NUL: L = 13
    folder.write("Skill3.wid", NamedCard("あいうえおかき"));  // L = 15: too long for the list
    folder.write("Skill4.wid", "\x05" + Int32(3) + "abc" + Int32(10) + "ABCD");  // cut short
    folder.write("Skill5.wid", CardHead("", -1));
    folder.write("Skill6.wid", "\x05");
    folder.write("Skill7.wid", CardHead(std::string("AB\0CD\0", 6), 6));
    folder.write("Skill8.wid", "\x05" + Int32(-5) + CardHead("", 0));  // a block length below 0
    folder.write("skill9.WID", NamedCard("Z"));
    folder.write("notes.txt", NamedCard("X"));
    folder.write("MySkill.wid", NamedCard("X"));
    folder.write("Skill.wid.bak", NamedCard("X"));
    dialog.setDirectoryPath(folder.path());

    EXPECT_EQ(rows(), (QStringList{
                          Spaces(13) + "Skill0.wid",
                          QStringLiteral("火球") + Spaces(9) + "Skill1.wid",
                          QStringLiteral("あいうえおか") + Spaces(1) + "Skill2.wid",
                          "AB" + Spaces(11) + "Skill7.wid",
                          "Z" + Spaces(12) + "skill9.WID",
                      }));
    EXPECT_EQ(cards()->selectedItems().size(), 0);
    EXPECT_EQ(dialog.findChild<QListWidget*>("FileListBox1")->count(), 10);
}

TEST_F(LoaderDialogTest, RowsFollowTheOrderOfTheFileNames) {
    for (const char* name : {"Skill10.wid", "Skill2.wid", "Skill1.wid", "Skill02.wid"}) {
        folder.write(name, NamedCard(name));
    }
    dialog.setDirectoryPath(folder.path());
    ASSERT_EQ(cards()->count(), 4);
    EXPECT_TRUE(rows()[0].endsWith("Skill02.wid"));
    EXPECT_TRUE(rows()[1].endsWith("Skill1.wid"));
    EXPECT_TRUE(rows()[2].endsWith("Skill10.wid"));
    EXPECT_TRUE(rows()[3].endsWith("Skill2.wid"));
}

// The file names stand in one column only if a double-byte character is exactly as wide
// as two single-byte ones in the list's font.
TEST_F(LoaderDialogTest, CardListFontDrawsDoubleByteCharactersTwiceAsWide) {
    const QFontMetricsF metrics(cards()->font());
    EXPECT_DOUBLE_EQ(metrics.horizontalAdvance(QStringLiteral("あいうえおか") + Spaces(1)),
                     metrics.horizontalAdvance(Spaces(13)));
    EXPECT_DOUBLE_EQ(metrics.horizontalAdvance(QStringLiteral("火球") + Spaces(9)),
                     metrics.horizontalAdvance(Spaces(13)));
    EXPECT_EQ(QFontInfo(cards()->font()).pixelSize(), 13);
}

TEST_F(LoaderDialogTest, OkWithoutSelectionAsksForAFileAndStaysOpen) {
    show(folder.path());  // no cards at all
    EXPECT_EQ(cards()->count(), 0);
    QTest::mouseClick(okButton(), Qt::LeftButton);
    EXPECT_EQ(messages.noCardChosen, 1);
    EXPECT_TRUE(dialog.isVisible());

    folder.write("Skill1.wid", NamedCard("A"));
    dialog.DirectoryListBox1Change();
    cards()->setCurrentRow(0, QItemSelectionModel::NoUpdate);  // a focus frame is no choice
    QTest::mouseClick(okButton(), Qt::LeftButton);
    EXPECT_EQ(messages.noCardChosen, 2);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.SelectedWidPath().isEmpty());
}

TEST_F(LoaderDialogTest, OkAndDoubleClickConfirmTheSelectedCard) {
    folder.write("Skill1.wid", NamedCard("A"));
    const fs::path second = folder.write("Skill2.wid", NamedCard("B"));

    show(folder.path());
    cards()->setCurrentRow(1);
    QTest::mouseClick(okButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), TForm3::kConfirmed);
    EXPECT_EQ(dialog.SelectedWidFile(), second);
    EXPECT_EQ(dialog.SelectedWidPath(), QString::fromStdString(second.string()));

    show(folder.path());
    const QRect first = cards()->visualItemRect(cards()->item(0));
    // A real double click: the first click selects, the second one confirms.
    QTest::mouseClick(cards()->viewport(), Qt::LeftButton, {}, first.center());
    QTest::mouseDClick(cards()->viewport(), Qt::LeftButton, {}, first.center());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), TForm3::kConfirmed);
    EXPECT_EQ(dialog.SelectedWidFile(), folder.path() / "Skill1.wid");
    EXPECT_EQ(messages.noCardChosen, 0);
}

TEST_F(LoaderDialogTest, ExecReturnsOneForOkAndTwoForEveryWayOfCancelling) {
    folder.write("Skill1.wid", NamedCard("A"));
    dialog.setDirectoryPath(folder.path());

    QTimer::singleShot(0, &dialog, [this] {
        cards()->setCurrentRow(0);
        okButton()->click();
    });
    EXPECT_EQ(dialog.exec(), 1);
    const fs::path confirmed = dialog.SelectedWidFile();

    QTimer::singleShot(0, &dialog, [this] { cancelButton()->click(); });
    EXPECT_EQ(dialog.exec(), 2);
    QTimer::singleShot(0, &dialog, [this] { QTest::keyClick(&dialog, Qt::Key_Escape); });
    EXPECT_EQ(dialog.exec(), 2);
    QTimer::singleShot(0, &dialog, [this] { dialog.close(); });
    EXPECT_EQ(dialog.exec(), 2);

    // Cancelling keeps the card confirmed before.
    EXPECT_EQ(dialog.SelectedWidFile(), confirmed);
}

TEST_F(LoaderDialogTest, UnreadableFilesBeforeAReadableOneAreLeftOut) {
    if (geteuid() != 0) {  // permissions do not stop the superuser
        const fs::path locked = folder.write("Skill1.wid", NamedCard("Locked"));
        fs::permissions(locked, fs::perms::none);
    }
    fs::create_symlink(folder.path() / "missing.wid", folder.path() / "Skill2.wid");
    fs::create_symlink("Skill3.wid", folder.path() / "Skill3.wid");  // a link to itself
    const fs::path readable = folder.write("Skill4.wid", NamedCard("Readable"));

    show(folder.path());
    ASSERT_EQ(rows(), QStringList{"Readable" + Spaces(5) + "Skill4.wid"});
    cards()->setCurrentRow(0);
    QTest::mouseClick(okButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.SelectedWidFile(), readable);
}

TEST_F(LoaderDialogTest, FifosSocketsAndFoldersNamedLikeCardsAreLeftOutWithoutBlocking) {
    ASSERT_EQ(mkfifo((folder.path() / "Skill1.wid").c_str(), 0644), 0);
    fs::create_directory(folder.path() / "Skill2.wid");
    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(sock, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = (folder.path() / "Skill3.wid").string();
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    fs::create_symlink("/dev/zero", folder.path() / "Skill4.wid");
    folder.write("Skill5.wid", NamedCard("Card"));

    dialog.setDirectoryPath(folder.path());
    close(sock);
    EXPECT_EQ(rows(), QStringList{"Card" + Spaces(9) + "Skill5.wid"});
}

TEST_F(LoaderDialogTest, FileNamesInTheGamesCodePageAreShownAndReturnedExactly) {
    const fs::path shiftJis = folder.write("Skill\x8c\x95.wid", NamedCard("A"));
    folder.write("Skill剣.wid", NamedCard("B"));
    const fs::path broken = folder.write("Skill\xff.wid", NamedCard("C"));

    show(folder.path());
    ASSERT_EQ(rows(),
              (QStringList{"A" + Spaces(12) + "Skill剣.wid", "B" + Spaces(12) + "Skill剣.wid",
                           "C" + Spaces(12) + "Skill\uFFFD.wid"}));
    cards()->setCurrentRow(0);
    QTest::mouseClick(okButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.SelectedWidFile(), shiftJis);

    show(folder.path());
    cards()->setCurrentRow(2);
    QTest::mouseClick(okButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.SelectedWidFile(), broken);
}

TEST_F(LoaderDialogTest, SameFolderKeepsRowsAndSelectionAnotherFolderRebuilds) {
    folder.write("Skill1.wid", NamedCard("A"));
    folder.write("Skill2.wid", NamedCard("B"));
    show(folder.path());
    cards()->setCurrentRow(1);
    QTest::mouseClick(okButton(), Qt::LeftButton);

    // A card added meanwhile shows only once the list is rebuilt.
    folder.write("Skill0.wid", NamedCard("New"));
    show(folder.path() / "");  // the same folder, with a trailing separator
    EXPECT_EQ(cards()->count(), 2);
    ASSERT_EQ(cards()->selectedItems().size(), 1);
    EXPECT_EQ(cards()->row(cards()->selectedItems().front()), 1);
    EXPECT_EQ(dialog.directory(), QString::fromStdString(folder.path().string()));

    TempDir other;
    dialog.setDirectoryPath(other.path());
    EXPECT_EQ(cards()->count(), 0);
    dialog.setDirectoryPath(folder.path());
    EXPECT_EQ(cards()->count(), 3);
    EXPECT_EQ(cards()->selectedItems().size(), 0);
}

TEST_F(LoaderDialogTest, FolderTreeShowsTheFolderItsAncestorsAndItsSubfolders) {
    fs::create_directory(folder.path() / "beta");
    fs::create_directory(folder.path() / "Alpha");
    folder.write("Alpha/Skill1.wid", NamedCard("Inner"));
    folder.write("gamma.txt", "");
    fs::create_directory_symlink(folder.path() / "Alpha", folder.path() / "link");
    fs::create_symlink(folder.path() / "nowhere", folder.path() / "dead");
    fs::create_symlink("loop", folder.path() / "loop");
    show(folder.path());

    QTreeWidgetItem* current = folders()->currentItem();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->text(0), QString::fromStdString(folder.path().filename().string()));
    QStringList children;
    for (int i = 0; i < current->childCount(); ++i) children << current->child(i)->text(0);
    EXPECT_EQ(children, (QStringList{"Alpha", "beta", "link"}));
    EXPECT_EQ(folders()->topLevelItem(0)->text(0), "/");

    // Return opens the folder; it must not also count as a press of OK.
    folders()->setCurrentItem(current->child(0));
    QTest::keyClick(folders(), Qt::Key_Return);
    EXPECT_EQ(dialog.directoryPath(), folder.path() / "Alpha");
    EXPECT_EQ(rows(), QStringList{"Inner" + Spaces(8) + "Skill1.wid"});
    EXPECT_EQ(messages.noCardChosen, 0);
    EXPECT_TRUE(dialog.isVisible());

    // Back up through the ancestor chain.
    folders()->setCurrentItem(folders()->currentItem()->parent());
    QTest::keyClick(folders(), Qt::Key_Return);
    EXPECT_EQ(dialog.directoryPath(), folder.path());
}

TEST_F(LoaderDialogTest, DriveBoxShowsTheVolumeOfTheFolderAndOpensAnother) {
    show(folder.path());
    ASSERT_GE(drives()->currentIndex(), 0);
    const QString volume = drives()->currentText();
    EXPECT_TRUE(dialog.directory().startsWith(volume)) << volume.toStdString();

    const int home = drives()->findText(QDir::homePath());
    ASSERT_GE(home, 0);
    emit drives()->activated(home);
    EXPECT_EQ(dialog.directory(), QDir::homePath());
    EXPECT_EQ(drives()->currentIndex(), home);
    EXPECT_EQ(folders()->currentItem()->text(0), QDir(QDir::homePath()).dirName());
}

// A large card folder lists every card, in order, and each row still leads to its own
// file. The time taken is printed for a person comparing machines.
TEST_F(LoaderDialogTest, FolderOfTenThousandCardsListsThemAll) {
    constexpr int kCards = 10000;
    for (int i = 0; i < kCards; ++i) {
        folder.write("Skill" + std::to_string(100000 + i) + ".wid", NamedCard("火球の術"));
    }
    show(folder.path());
    QElapsedTimer timer;
    timer.start();
    dialog.DirectoryListBox1Change();
    const qint64 buildMs = timer.elapsed();
    cards()->setCurrentRow(kCards - 1);
    cards()->scrollToBottom();
    (void)dialog.grab();
    std::printf("10000 cards: list built in %lld ms, last row shown in %lld ms\n",
                static_cast<long long>(buildMs), static_cast<long long>(timer.elapsed() - buildMs));

    ASSERT_EQ(cards()->count(), kCards);
    QTest::mouseClick(okButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.SelectedWidFile(), folder.path() / "Skill109999.wid");
}

TEST_F(LoaderDialogTest, MissingFolderGivesEmptyListsNotACrash) {
    show(folder.path() / "gone" / "deeper");
    EXPECT_EQ(cards()->count(), 0);
    QTest::mouseClick(okButton(), Qt::LeftButton);
    EXPECT_EQ(messages.noCardChosen, 1);
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(LoaderDialogTest, LongFileNamesAreShownWholeByScrollingSideways) {
    const std::string longName = "Skill" + std::string(60, 'x') + "_end.wid";
    folder.write(longName, NamedCard("Long"));
    folder.write("Skill1.wid", NamedCard("Short"));
    show(folder.path());
    EXPECT_EQ(dialog.size(), QSize(361, 302));
    ASSERT_EQ(cards()->count(), 2);

    // The row is wide enough for the name column and the whole file name.
    const QFontMetricsF metrics(cards()->font());
    const qreal needed = metrics.horizontalAdvance(Spaces(13)) +
                         metrics.horizontalAdvance(QString::fromStdString(longName));
    EXPECT_GE(cards()->visualItemRect(cards()->item(1)).width(), needed);
    QScrollBar* sideways = cards()->horizontalScrollBar();
    EXPECT_GT(sideways->maximum(), 0);
    EXPECT_TRUE(sideways->isVisible());
    sideways->setValue(sideways->maximum());
    EXPECT_LE(cards()->visualItemRect(cards()->item(1)).right(),
              cards()->viewport()->rect().right() + 1);

    // A folder of short names needs no scrolling.
    TempDir small;
    small.write("Skill1.wid", NamedCard("Short"));
    dialog.setDirectoryPath(small.path());
    EXPECT_EQ(cards()->horizontalScrollBar()->maximum(), 0);
}

TEST_F(LoaderDialogTest, F5ReadsTheFolderAgainAndKeepsTheChosenCard) {
    folder.write("Skill1.wid", NamedCard("A"));
    folder.write("Skill2.wid", NamedCard("B"));
    show(folder.path());
    cards()->setCurrentRow(1);

    folder.write("Skill0.wid", NamedCard("New"));
    std::filesystem::create_directory(folder.path() / "added");
    QTest::keyClick(cards(), Qt::Key_F5);
    EXPECT_EQ(rows(),
              (QStringList{"New" + Spaces(10) + "Skill0.wid", "A" + Spaces(12) + "Skill1.wid",
                           "B" + Spaces(12) + "Skill2.wid"}));
    ASSERT_EQ(cards()->selectedItems().size(), 1);
    EXPECT_EQ(cards()->row(cards()->selectedItems().front()), 2);
    ASSERT_EQ(folders()->currentItem()->childCount(), 1);
    EXPECT_EQ(folders()->currentItem()->child(0)->text(0), "added");

    // Without F5 the rows stay as they were, as before.
    folder.write("Skill3.wid", NamedCard("Later"));
    show(folder.path());
    EXPECT_EQ(cards()->count(), 3);
}

TEST_F(LoaderDialogTest, HiddenDotFoldersAreNotListed) {
    std::filesystem::create_directory(folder.path() / ".cache");
    std::filesystem::create_directory(folder.path() / ".git");
    std::filesystem::create_directory(folder.path() / "cards");
    show(folder.path());
    QTreeWidgetItem* current = folders()->currentItem();
    ASSERT_NE(current, nullptr);
    ASSERT_EQ(current->childCount(), 1);
    EXPECT_EQ(current->child(0)->text(0), "cards");
    // A dot-folder chosen on purpose still lists its cards.
    folder.write(".cache/Skill1.wid", NamedCard("Kept"));
    dialog.setDirectoryPath(folder.path() / ".cache");
    EXPECT_EQ(cards()->count(), 1);
}

TEST_F(LoaderDialogTest, FolderThatCannotBeReadSaysSoInsteadOfLookingEmpty) {
    auto* problem = dialog.findChild<QLabel*>("ListBox1Problem");
    ASSERT_NE(problem, nullptr);
    show(folder.path());
    EXPECT_FALSE(problem->isVisible());

    const auto locked = folder.path() / "locked";
    std::filesystem::create_directory(locked);
    folder.write("locked/Skill1.wid", NamedCard("Hidden"));
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    morvat::test::LetOthersIn(folder.path());
    {
        morvat::test::Unprivileged user;
        if (!user.usable()) GTEST_SKIP() << "cannot step down from root";
        dialog.setDirectoryPath(locked);
    }
    EXPECT_EQ(cards()->count(), 0);
    EXPECT_TRUE(problem->isVisible());
    EXPECT_TRUE(problem->text().startsWith(QStringLiteral("ファイルが開けません")))
        << problem->text().toStdString();

    dialog.setDirectoryPath(folder.path());
    EXPECT_FALSE(problem->isVisible());
}

TEST_F(LoaderDialogTest, ReturnOnTheFocusedCancelCancels) {
    folder.write("Skill1.wid", NamedCard("A"));
    show(folder.path());
    cards()->setCurrentRow(0);
    cancelButton()->setFocus();
    QTest::keyClick(cancelButton(), Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), TForm3::kCancelled);
    EXPECT_TRUE(dialog.SelectedWidFile().empty());

    // Return elsewhere still confirms the chosen card.
    show(folder.path());
    cards()->setFocus();
    QTest::keyClick(cards(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), TForm3::kConfirmed);
    EXPECT_EQ(dialog.SelectedWidFile(), folder.path() / "Skill1.wid");
}

}  // namespace
