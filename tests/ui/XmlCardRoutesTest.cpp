// SPDX-License-Identifier: MIT
// An XML card opens in the editor by every route a binary card opens: the load button, the
// file named on the command line, a drop, and the loader dialog on an XML scenario, in a
// folder or packed as a .wsn. Each gives the editor the binary card's state.
#ifdef MORVAT_WITH_ARCHIVES

#include <QCoreApplication>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <filesystem>

#include "ArchiveWriter.h"
#include "CardPicker.h"
#include "ExampleCards.h"
#include "QtPaths.h"
#include "TestPaths.h"
#include "UiTestSupport.h"
#include "XmlCardWriter.h"
#include "files/LoadFlows.h"
#include "files/archive/ArchiveCards.h"

namespace morvat::test {
namespace {

namespace fs = std::filesystem;

struct EnemySide final : LoadPrompts {
    void WarnNoTarget() override {}
    bool AskEnemySide() override { return true; }
};

class XmlCardRoutes : public testing::Test {
protected:
    XmlCardRoutes() : editor("[MORVAT.Ex]\nOpenFolder=" + scenario.path().string() + "/\n") {
        // Two example cards as the scenario's XML cards, the second with the lower Id.
        const std::vector<ExampleCard> examples = ExampleCards();
        first = examples[1];
        second = examples[2];
        fs::create_directory(scenario.path() / "SkillCard");
        scenario.write("Summary.xml", "<Summary/>");
        firstXml = scenario.write("SkillCard/1_first.xml", WriteXmlCard(first.plan, 7));
        scenario.write("SkillCard/2_second.xml", WriteXmlCard(second.plan, 3));
        EnemySide prompts;
        EXPECT_EQ(ReadSkillCard(ExamplesDir() / first.fileName, firstState, prompts).status,
                  LoadStatus::Loaded);
        EXPECT_EQ(ReadSkillCard(ExamplesDir() / second.fileName, secondState, prompts).status,
                  LoadStatus::Loaded);
        form.show();
    }

    void Drop(const fs::path& path) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(FromPath(path))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(&form, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&form, &drop);
    }

    TempDir scenario;
    Editor editor;
    TForm1& form = *editor.form1;
    ExampleCard first;
    ExampleCard second;
    fs::path firstXml;
    EditorState firstState;
    EditorState secondState;
};

TEST_F(XmlCardRoutes, LoadButtonCommandLineAndDropGiveTheBinaryCardsState) {
    editor.messages.openFileAnswer = FromPath(firstXml);
    form.Button3Click();
    EXPECT_TRUE(editor.messages.shown.empty());
    EXPECT_EQ(form.editor(), firstState);
    // The open dialog offers XML cards among the files it reads.
    bool offered = false;
    for (const FileFilter& filter : editor.messages.openFilters) {
        offered = offered || filter.patterns.contains("*.xml");
    }
    EXPECT_TRUE(offered);

    form.Button4Click();
    form.OpenFile(firstXml);
    EXPECT_EQ(form.editor(), firstState);

    form.Button4Click();
    Drop(firstXml);
    EXPECT_TRUE(editor.messages.shown.empty());
    EXPECT_EQ(form.editor(), firstState);
    EXPECT_EQ(form.OpenFolder(), (scenario.path() / "SkillCard").string());

    // A broken XML card is a failed read that keeps the editor.
    const fs::path broken = scenario.write("SkillCard/3_broken.xml", "<SkillCard>");
    Drop(broken);
    ASSERT_EQ(editor.messages.shown.size(), 1u);
    EXPECT_EQ(editor.messages.shown[0].text, "読み込みに失敗しました");
    EXPECT_EQ(form.editor(), firstState);
}

TEST_F(XmlCardRoutes, LoaderDialogListsTheScenarioFolderAndTheWsnByNameInIdOrder) {
    TForm3 dialog(&form);
    LoaderDialogPicker picker(dialog);
    form.SetCardPicker(&picker);
    QListWidget* cards = dialog.findChild<QListWidget*>("ListBox1");
    const auto rows = [&] {
        QStringList texts;
        for (int i = 0; i < cards->count(); ++i) texts << cards->item(i)->text();
        return texts;
    };
    const QString secondName = QString::fromStdString(secondState.ObCardname);
    const QString firstName = QString::fromStdString(firstState.ObCardname);

    bool checked = false;
    QTimer::singleShot(0, &dialog, [&] {
        [&] {
            ASSERT_EQ(rows().size(), 2);
            EXPECT_TRUE(rows()[0].startsWith(secondName)) << rows()[0].toStdString();
            EXPECT_TRUE(rows()[0].endsWith("SkillCard/2_second.xml")) << rows()[0].toStdString();
            EXPECT_TRUE(rows()[1].startsWith(firstName));
            cards->setCurrentRow(0);
            checked = true;
        }();
        if (checked) {
            dialog.findChild<QPushButton*>("Button1")->click();
        } else {
            dialog.reject();
        }
    });
    form.Button5Click();
    ASSERT_TRUE(checked);
    EXPECT_TRUE(editor.messages.shown.empty()) << testing::PrintToString(editor.messages.shown);
    EXPECT_EQ(form.editor(), secondState);

    // The same scenario packed with a top folder: its SkillCard folder lists the same rows.
    std::vector<ArchiveEntry> entries = {{"top/Summary.xml", "<Summary/>"}};
    entries.push_back({"top/SkillCard/1_first.xml", WriteXmlCard(first.plan, 7)});
    entries.push_back({"top/SkillCard/2_second.xml", WriteXmlCard(second.plan, 3)});
    const fs::path wsn = scenario.path() / "scenario.wsn";
    WriteArchive(wsn, ArchiveKind::ZipUtf8, entries);
    dialog.enterArchive(wsn, "top/SkillCard");
    ASSERT_EQ(rows().size(), 2);
    EXPECT_TRUE(rows()[0].startsWith(secondName));
    EXPECT_TRUE(rows()[1].endsWith("1_first.xml"));
    EditorState fromArchive;
    EnemySide prompts;
    EXPECT_EQ(ReadSkillCardAt(wsn / "top/SkillCard/1_first.xml", fromArchive, prompts).status,
              LoadStatus::Loaded);
    EXPECT_EQ(fromArchive, firstState);
}

}  // namespace
}  // namespace morvat::test

#endif  // MORVAT_WITH_ARCHIVES
