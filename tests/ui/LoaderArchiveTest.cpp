// The loader dialog inside an archive: entered like a folder from the folder tree, its
// inner folders too, a card chosen and read into the editor as "読み込み" reads a file,
// and the remembered folder staying the one that holds the archive.
#ifdef MORVAT_WITH_ARCHIVES

#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>

#include "ArchiveWriter.h"
#include "CardPicker.h"
#include "QtPaths.h"
#include "TestPaths.h"
#include "UiTestSupport.h"
#include "files/LoadFlows.h"

namespace morvat::test {
namespace {

namespace fs = std::filesystem;

struct NoPrompts final : LoadPrompts {
    void WarnNoTarget() override {}
    bool AskEnemySide() override { return true; }
};

QTreeWidgetItem* ChildNamed(QTreeWidgetItem* parent, const QString& text) {
    for (int i = 0; parent != nullptr && i < parent->childCount(); ++i) {
        if (parent->child(i)->text(0) == text) return parent->child(i);
    }
    return nullptr;
}

class LoaderArchive : public testing::Test {
protected:
    LoaderArchive()
        : editor("[MORVAT.Ex]\nOpenFolder=" + folder.path().string() + "/\n"),
          dialog(editor.form1.get()),
          picker(dialog) {
        fs::create_directory(folder.path() / "sub");
        fs::copy_file(ExamplesDir() / "SkillHealingLight.wid",
                      folder.path() / "SkillHealingLight.wid");
        std::vector<ArchiveEntry> entries = ExampleCardEntries("シナリオ/深い");
        entries.push_back({"SkillTop.wid", ReadFileBytes(ExamplesDir() / "SkillFireBolt.wid")});
        entries.push_back({"SkillBig.wid", std::string((16 << 20) + 1, '\0')});
        WriteArchive(folder.path() / "scenario.zip", ArchiveKind::ZipCp932, entries);
        form.SetCardPicker(&picker);
        form.show();
    }

    QListWidget* cards() { return dialog.findChild<QListWidget*>("ListBox1"); }
    QTreeWidget* tree() { return dialog.findChild<QTreeWidget*>("DirectoryListBox1"); }
    QStringList rows() {
        QStringList texts;
        for (int i = 0; i < cards()->count(); ++i) texts << cards()->item(i)->text();
        return texts;
    }
    void Open(QTreeWidgetItem* item) {
        ASSERT_NE(item, nullptr);
        tree()->setCurrentItem(item);
        QTest::keyClick(tree(), Qt::Key_Return);
    }

    TempDir folder;
    Editor editor;
    TForm1& form = *editor.form1;
    TForm3 dialog;
    LoaderDialogPicker picker;
};

TEST_F(LoaderArchive, ArchiveOpensLikeAFolderAndItsCardLoadsIntoTheEditor) {
    const fs::path zip = folder.path() / "scenario.zip";
    bool checked = false;
    QTimer::singleShot(0, &dialog, [&] {
        [&] {
            // The archive stands beside the subfolders of the folder.
            QTreeWidgetItem* here = tree()->currentItem();
            ASSERT_NE(here, nullptr);
            ASSERT_EQ(here->childCount(), 2);
            EXPECT_EQ(here->child(0)->text(0), "sub");
            EXPECT_EQ(here->child(1)->text(0), "scenario.zip");

            Open(here->child(1));
            EXPECT_EQ(dialog.archivePath(), zip);
            EXPECT_EQ(dialog.directoryPath(), folder.path());
            ASSERT_EQ(rows().size(), 2);
            EXPECT_TRUE(rows()[0].endsWith("SkillBig.wid (16 MiB を超えるため読みません)"));
            EXPECT_FALSE(cards()->item(0)->flags() & Qt::ItemIsSelectable);
            EXPECT_EQ(rows()[1], QStringLiteral("火炎弾       SkillTop.wid"));
            EXPECT_EQ(tree()->currentItem()->text(0), "scenario.zip");

            // Inner folders open the same way, one level after the other.
            Open(ChildNamed(tree()->currentItem(), QStringLiteral("シナリオ")));
            EXPECT_EQ(rows().size(), 0);
            Open(ChildNamed(tree()->currentItem(), QStringLiteral("深い")));
            EXPECT_EQ(dialog.archiveFolder(), "シナリオ/深い");
            ASSERT_EQ(rows().size(), 4);
            EXPECT_TRUE(rows()[3].endsWith("SkillSleepMist.wid"));

            // A real double click: the first click selects, the second one confirms.
            const QPoint fireBolt = cards()->visualItemRect(cards()->item(1)).center();
            QTest::mouseClick(cards()->viewport(), Qt::LeftButton, {}, fireBolt);
            QTest::mouseDClick(cards()->viewport(), Qt::LeftButton, {}, fireBolt);
            checked = true;
        }();
        if (dialog.isVisible()) dialog.reject();  // never leave the test waiting
    });
    QTest::mouseClick(form.Button5, Qt::LeftButton);
    ASSERT_TRUE(checked);

    const fs::path chosen = zip / "シナリオ" / "深い" / "SkillFireBolt.wid";
    EXPECT_EQ(dialog.SelectedWidFile(), chosen);
    EditorState expected;
    NoPrompts prompts;
    ASSERT_EQ(ReadSkillCard(ExamplesDir() / "SkillFireBolt.wid", expected, prompts).status,
              LoadStatus::Loaded);
    EXPECT_EQ(form.editor(), expected);
    EXPECT_TRUE(editor.messages.shown.empty());
    EXPECT_EQ(form.OpenFolder(), folder.path().string());

    // Shown again on the remembered folder, the dialog is still inside the archive; going
    // up to the folder leaves it.
    QTimer::singleShot(0, &dialog, [&] {
        EXPECT_EQ(dialog.archiveFolder(), "シナリオ/深い");
        QTreeWidgetItem* item = tree()->currentItem();
        while (item != nullptr && item->text(0) != "scenario.zip") item = item->parent();
        Open(item != nullptr ? item->parent() : nullptr);
        EXPECT_TRUE(dialog.archivePath().empty());
        EXPECT_EQ(rows(), QStringList{QStringLiteral("癒しの光     SkillHealingLight.wid")});
        dialog.reject();
    });
    QTest::mouseClick(form.Button5, Qt::LeftButton);
}

TEST_F(LoaderArchive, AnArchiveThatCannotBeReadSaysSoInTheList) {
    const fs::path fake = folder.path() / "fake.lzh";
    std::FILE* f = std::fopen(fake.c_str(), "wb");
    std::fputs("no archive here", f);
    std::fclose(f);
    dialog.enterArchive(fake);
    EXPECT_EQ(rows(), QStringList{QStringLiteral("（書庫として読めません）")});
    cards()->setCurrentRow(0);
    EXPECT_TRUE(cards()->selectedItems().isEmpty());
}

}  // namespace
}  // namespace morvat::test

#endif  // MORVAT_WITH_ARCHIVES
