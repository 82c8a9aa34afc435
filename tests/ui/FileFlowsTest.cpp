// SPDX-License-Identifier: MIT
// Saving, loading and reading from the editor's buttons, with every message the user can
// see and every answer to its questions.
#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "AppSetup.h"
#include "CardWriter.h"
#include "QtPaths.h"
#include "UiTestSupport.h"
#include "TestPaths.h"
#include "files/CwsFile.h"
#include "files/SaveFile.h"
#include "files/ShiftJis.h"
#include "model/SkillRecord.h"

namespace morvat::test {
namespace {

const ShownMessage kCannotOpen{"warn", "ファイルが開けません", "Error"};
const ShownMessage kReadFailed{"warn", "読み込みに失敗しました", "I'm sorry."};
const ShownMessage kNoTarget{"warn", "対象なしデータです", "警告"};
const ShownMessage kBothSides{
    "yesno", "双方効果は計算できません。敵方にしますか（いいえで味方になります）", "Message"};

QString Q(const std::filesystem::path& path) {
    return FromPath(path);
}

class FileFlows : public testing::Test {
protected:
    FileFlows() : editor("[MORVAT.Ex]\nOpenFolder=/start/open\nSaveFolder=/start/save\n") {
        form.show();
        form.PageControl1->setCurrentWidget(form.TabSheet3);
    }

    // A few rows, the second selected, so that a failed load has something to keep.
    void FillEditor() {
        form.SpeedButtonClick(2);
        form.SpeedButtonClick(10);
        form.SpeedButtonClick(25);
        form.Obelist->setCurrentRow(1);
        form.ObVoice->click();
        ASSERT_TRUE(form.Oberoundpane->isVisibleTo(&form));
    }

    void ExpectEditorUnchanged(const EditorState& before) {
        EXPECT_EQ(form.editor(), before);
        EXPECT_EQ(form.Obelist->count(), static_cast<int>(before.Obelist.size()));
        EXPECT_EQ(form.Obelist->currentRow(), before.selectedRow);
        EXPECT_TRUE(form.Oberoundpane->isVisibleTo(&form));
        EXPECT_EQ(form.Oberoundpane->y(), 72);
    }

    void Load(const std::filesystem::path& path) {
        messages.openFileAnswer = Q(path);
        form.Button3Click();
    }

    std::filesystem::path Card(const std::string& name, const WidCardPlan& card) {
        return cards.write(name, WriteCard(card).bytes);
    }

    // A card aimed at enemies, with nothing else set.
    static WidCardPlan EnemyCard() {
        WidCardPlan card;
        card.target = 3;
        return card;
    }

    Editor editor;
    TForm1& form = *editor.form1;
    FakeMessages& messages = editor.messages;
    TempDir cards;
};

TEST_F(FileFlows, SaveDialogStartsInTheSaveFolderAndCancelWritesNothing) {
    form.Button2Click();
    EXPECT_EQ(messages.dialogFolder, "/start/save");
    EXPECT_EQ(messages.dialogDescription, "cws形式(*.cws)");
    EXPECT_EQ(messages.dialogPatterns, "*.cws");
    EXPECT_EQ(messages.dialogSuffix, "cws");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(form.SaveFolder(), "/start/save");
}

TEST_F(FileFlows, OverwriteAnsweredCancelLeavesFileAndEditor) {
    const auto target = cards.write("old.cws", "keep me\r\n");
    messages.saveFileAnswer = Q(target);
    messages.answers = {false};
    form.Button2Click();
    EXPECT_EQ(messages.shown,
              std::vector<ShownMessage>({{"okcancel", "old.cws を上書きしますか?", "上書き確認"}}));
    EXPECT_EQ(ReadFileBytes(target), "keep me\r\n");
    EXPECT_EQ(form.ObCardname->text(), "");
    EXPECT_EQ(form.SaveFolder(), "/start/save");
}

TEST_F(FileFlows, OverwriteAnsweredOkWritesTheGatheredSkill) {
    FillEditor();
    const auto target = cards.write("炎の剣.cws", "old");
    messages.saveFileAnswer = Q(target);
    messages.answers = {true};
    form.Button2Click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "炎の剣.cws を上書きしますか?");
    EXPECT_EQ(ReadFileBytes(target), FormatCwsFile(GatherSkillRecord(form.editor())));
    EXPECT_EQ(form.ObCardname->text(), "炎の剣");
    EXPECT_EQ(form.SaveFolder(), cards.path().string());
}

// A save that cannot be made says "ファイルが開けません" and, under it, why and where.
TEST_F(FileFlows, SaveThatCannotCompleteSaysWhyAndChangesNothing) {
    const auto blocker = cards.write("plain-file", "x");
    messages.saveFileAnswer = Q(blocker / "skill.cws");  // a folder that is a file
    form.Button2Click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0],
              (ShownMessage{"warn", "ファイルが開けません", "Error",
                            QString::fromStdString(SaveFailureReason(ENOTDIR) + "\n" +
                                                (blocker / "skill.cws").string())}));
    EXPECT_EQ(form.ObCardname->text(), "");
    EXPECT_EQ(form.SaveFolder(), "/start/save");

    // A folder of the chosen name cannot take the skill: no question, the same error.
    messages.shown.clear();
    std::filesystem::create_directory(cards.path() / "folder.cws");
    messages.saveFileAnswer = Q(cards.path() / "folder.cws");
    form.Button2Click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "ファイルが開けません");
    EXPECT_TRUE(messages.shown[0].detail.startsWith("同じ名前のフォルダがあります"));
    EXPECT_TRUE(std::filesystem::is_directory(cards.path() / "folder.cws"));
}

TEST_F(FileFlows, OverwriteThatTheFolderRefusesKeepsTheOldFile) {
    // The kernel's own folder takes no new file, not even from root: the save cannot
    // complete, and the file that was there stays as it was.
    const std::filesystem::path target = "/proc/self/comm";
    if (!std::filesystem::is_regular_file(target)) GTEST_SKIP() << "no /proc here";
    const std::string before = ReadFileBytes(target);
    messages.saveFileAnswer = Q(target);
    messages.answers = {true};
    form.Button2Click();
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0], (ShownMessage{"okcancel", "comm を上書きしますか?", "上書き確認"}));
    EXPECT_EQ(messages.shown[1].text, kCannotOpen.text);
    EXPECT_FALSE(messages.shown[1].detail.isEmpty());
    EXPECT_EQ(ReadFileBytes(target), before);
    EXPECT_EQ(form.ObCardname->text(), "");
    EXPECT_EQ(form.SaveFolder(), "/start/save");
}

// The question comes whenever the name is taken, also by a file nobody may read or a
// link to a file not yet there; the link stays and its target gets the skill.
TEST_F(FileFlows, OverwriteIsAskedWheneverTheNameExistsAndLinksKeepPointing) {
    FillEditor();
    const std::string skill = FormatCwsFile(GatherSkillRecord(form.editor()));
    std::filesystem::create_directory(cards.path() / "real");
    const auto link = cards.path() / "link.cws";
    std::filesystem::create_symlink("real/target.cws", link);
    messages.saveFileAnswer = Q(link);
    messages.answers = {true};
    form.Button2Click();
    EXPECT_EQ(messages.shown,
              std::vector<ShownMessage>({{"okcancel", "link.cws を上書きしますか?", "上書き確認"}}));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadFileBytes(cards.path() / "real" / "target.cws"), skill);
    EXPECT_EQ(form.ObCardname->text(), "link");

    // Saved again through the link: the target is replaced, the link still points to it.
    messages.shown.clear();
    messages.answers = {true};
    form.Button4Click();
    form.Button2Click();
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadFileBytes(link), FormatCwsFile(GatherSkillRecord(EditorState{})));

    const auto hidden = cards.write("hidden.cws", "old");
    std::filesystem::permissions(hidden, std::filesystem::perms::owner_write);
    messages.shown.clear();
    messages.answers = {false};
    messages.saveFileAnswer = Q(hidden);
    form.Button2Click();
    EXPECT_EQ(messages.shown,
              std::vector<ShownMessage>({{"okcancel", "hidden.cws を上書きしますか?", "上書き確認"}}));
    EXPECT_EQ(ReadFileBytes(hidden), "old");
}

// A read-only file is refused as it would be elsewhere: no question, the reason, the file
// as it was.
TEST_F(FileFlows, ReadOnlyFileIsRefusedWithTheReason) {
    const auto locked = cards.write("locked.cws", "old");
    std::filesystem::permissions(locked, std::filesystem::perms(0444));
    messages.saveFileAnswer = Q(locked);
    form.Button2Click();
    EXPECT_EQ(messages.shown,
              std::vector<ShownMessage>({{"warn", "ファイルが開けません", "Error",
                                          "読み取り専用のファイルです\n" + Q(locked)}}));
    EXPECT_EQ(ReadFileBytes(locked), "old");
    EXPECT_EQ(form.SaveFolder(), "/start/save");
}

TEST_F(FileFlows, LoadDialogStartsInTheOpenFolderAndCancelChangesNothing) {
    FillEditor();
    const EditorState before = form.editor();
    form.Button3Click();
    EXPECT_EQ(messages.dialogFolder, "/start/open");
    // Both kinds together first, as ever; then each alone, XML cards, and every file.
    EXPECT_EQ(messages.openFilters,
              (QList<FileFilter>{
                  {"cws形式(*.cws);スキルファイル(Skill*.wid)", "*.cws Skill*.wid"},
                  {"cws形式(*.cws)", "*.cws"},
                  {"スキルファイル(Skill*.wid)", "Skill*.wid"},
                  {"XML スキルカード(*.xml)", "*.xml"},
                  {"すべてのファイル(*)", "*"},
              }));
    EXPECT_TRUE(messages.shown.empty());
    ExpectEditorUnchanged(before);
}

TEST_F(FileFlows, FileThatCannotBeOpenedKeepsEditorAndFolder) {
    FillEditor();
    const EditorState before = form.editor();
    Load(cards.path() / "gone.wid");
    Load(cards.path() / "gone.cws");
    EXPECT_EQ(messages.shown, (std::vector<ShownMessage>{kCannotOpen, kCannotOpen}));
    ExpectEditorUnchanged(before);
    EXPECT_EQ(form.OpenFolder(), "/start/open");
}

TEST_F(FileFlows, FailedCardReadKeepsEditorSelectionAndPanes) {
    FillEditor();
    const EditorState before = form.editor();
    Load(cards.write("notes.txt", "just some text\n"));
    Load(cards.write("upper.CWS", "0000050\r\n000\r\n0\r\n0\r\n0\r\n"));
    Load(cards.write("Skill9.wid", WriteCard(EnemyCard()).bytes.substr(0, 40)));
    EXPECT_EQ(messages.shown, (std::vector<ShownMessage>{kReadFailed, kReadFailed, kReadFailed}));
    ExpectEditorUnchanged(before);
    EXPECT_EQ(form.OpenFolder(), cards.path().string());
}

TEST_F(FileFlows, CardLoadFillsTheEditorAndReplacesWhatWasThere) {
    FillEditor();
    WidCardPlan plan = EnemyCard();
    plan.name = Sz(Utf8ToShiftJis("炎の剣"));
    plan.level = 7;
    plan.voice = 1;
    plan.attribute = 2;
    plan.success = -3;
    plan.keyCodes[0] = Sz(Utf8ToShiftJis("暗殺"));
    plan.motions.motions = {ValueMotion(0x40800, 5, 1, 0, 30), RoundsMotion(0x40803, 2, 0, 4)};
    const auto path = Card("Skill1.wid", plan);
    Load(path);
    Load(path);  // the editor is cleared first: the rows are not doubled
    EXPECT_TRUE(messages.shown.empty());
    const EditorState& e = form.editor();
    EXPECT_EQ(form.ObCardname->text(), "炎の剣");
    EXPECT_EQ(form.ObLevel->text(), "7");
    EXPECT_TRUE(form.ObVoice->isChecked());
    EXPECT_TRUE(form.ObAssasin->isChecked());
    EXPECT_EQ(form.ObAttribute->itemIndex(), 2);
    EXPECT_EQ(form.ObSuccess->value(), -3);
    EXPECT_EQ(e.ObTarget, kTargetOneEnemy);
    ASSERT_EQ(form.Obelist->count(), 2);
    EXPECT_EQ(form.Obelist->item(0)->text(), "生命力－ダメージ");
    EXPECT_EQ(form.Obelist->item(1)->text(), "精神－睡眠状態");
    EXPECT_EQ(e.Obelist[0].attribute, 5);
    EXPECT_EQ(e.Obelist[1].rounds, 4);
    EXPECT_EQ(e.selectedRow, kNoSelection);
    EXPECT_FALSE(form.Oberoundpane->isVisibleTo(&form));
    EXPECT_EQ(form.OpenFolder(), cards.path().string());
}

TEST_F(FileFlows, CardWithoutTargetIsWarnedAndAimedAtOneEnemy) {
    form.ObTarget->item(3)->click();
    WidCardPlan plan;
    plan.target = 0;
    plan.targetAll = 1;
    Load(Card("Skill1.wid", plan));
    EXPECT_EQ(messages.shown, std::vector<ShownMessage>{kNoTarget});
    EXPECT_EQ(form.ObTarget->itemIndex(), kTargetOneEnemy);
    EXPECT_EQ(form.OpenFolder(), cards.path().string());
}

// Which target each answer gives is the load flow's rule; here: the window asks the
// question and its answer reaches the target shown.
TEST_F(FileFlows, CardForBothSidesAsksWhichSide) {
    WidCardPlan plan;
    plan.target = 4;
    plan.targetAll = 1;
    const auto path = Card("Skill1.wid", plan);
    messages.answers = {true};
    Load(path);
    EXPECT_EQ(form.ObTarget->itemIndex(), kTargetAllEnemies);
    messages.answers = {false};
    Load(path);
    EXPECT_EQ(form.ObTarget->itemIndex(), kTargetAllAllies);
    EXPECT_EQ(form.editor().ObTarget, form.ObTarget->itemIndex());
    EXPECT_EQ(messages.shown, std::vector<ShownMessage>(2, kBothSides));
}

TEST_F(FileFlows, CwsLoadShowsTheFileName) {
    EditorState skill;
    AddEffect(skill, {.kind = EffectKind::Damage, .value = 130});
    const auto path = cards.write("必殺.cws", FormatCwsFile(GatherSkillRecord(skill)));
    Load(path);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(form.ObCardname->text(), "必殺");
    EXPECT_EQ(form.ObLevel->text(), "-");
    EXPECT_EQ(form.Obelist->count(), 2);  // 130 comes back as 99 and 31
    EXPECT_EQ(form.OpenFolder(), cards.path().string());
}

// An empty file, one that is no skill and one cut short would each wipe the card or
// pass for another skill: they fail like a broken card, and the editor stays as it was.
TEST_F(FileFlows, CwsFileThatIsNoWholeSkillFailsAndKeepsTheEditor) {
    FillEditor();
    const EditorState before = form.editor();
    const std::string whole = ReadFileBytes(ExamplesDir() / "damage-single.cws");
    const auto firstLines = [&whole](int count) {
        std::size_t end = 0;
        for (int i = 0; i < count; ++i) end = whole.find('\n', end) + 1;
        return whole.substr(0, end);
    };
    TempDir other;
    Load(other.write("empty.cws", ""));
    Load(other.write("short.cws", "1000050\r\n1\r\n"));
    Load(other.write("cut20.cws", firstLines(20)));
    Load(other.write("cut6.cws", firstLines(6)));
    EXPECT_EQ(messages.shown, std::vector<ShownMessage>(4, kReadFailed));
    ExpectEditorUnchanged(before);
    EXPECT_EQ(form.OpenFolder(), "/start/open");
}

// Names are the file system's bytes: one that is not valid UTF-8 opens from the command
// line and from a drop, and its folder is remembered as those bytes.
TEST_F(FileFlows, FileWhoseNameIsNotUtf8Opens) {
    const std::string skill = ReadFileBytes(ExamplesDir() / "damage-single.cws");
    const auto path = cards.write("\x89\xCE\x89\x8A.cws", skill);  // code page 932
    std::string argument = path.string();
    char program[] = "morvat-ex";
    char* argv[] = {program, argument.data(), nullptr};
    const auto named = FileFromCommandLine(2, argv);
    ASSERT_TRUE(named.has_value());
    EXPECT_EQ(*named, path);
    EXPECT_FALSE(FileFromCommandLine(1, argv).has_value());
    form.OpenFile(*named);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(form.Obelist->count(), 1);
    EXPECT_EQ(form.OpenFolder(), cards.path().string());

    form.Button4Click();
    std::filesystem::create_directory(cards.path() / "\xff");
    const auto dropped = cards.write("\xff/\xfe.cws", skill);
    QMimeData mime;
    mime.setData("text/uri-list", "file://" + QByteArray(dropped.c_str()).toPercentEncoding("/") +
                                      "\r\n");
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &drop);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(form.Obelist->count(), 1);
    EXPECT_EQ(form.OpenFolder(), (cards.path() / "\xff").string());
}

// A name relative to the working folder leaves a folder that can be found again later.
TEST_F(FileFlows, RelativeNameRemembersTheAbsoluteFolder) {
    const auto path = Card("SkillA.wid", EnemyCard());
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(cards.path());
    form.OpenFile(std::filesystem::path("SkillA.wid"));
    form.OpenFile(std::filesystem::path("./SkillA.wid"));
    std::filesystem::current_path(before);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(form.OpenFolder(), cards.path().string());
}

TEST_F(FileFlows, DroppedFileIsOpenedAsTheLoadButtonWould) {
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(Q(cards.path() / "missing.wid"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &drop);
    EXPECT_EQ(messages.shown, std::vector<ShownMessage>{kCannotOpen});
}

TEST_F(FileFlows, ReadStartsInTheProgramFolderWhenTheOpenFolderIsGone) {
    editor.picker.result = 2;
    form.Button5Click();
    const QString programFolder = QCoreApplication::applicationDirPath() + "/";
    EXPECT_EQ(editor.picker.shownIn, std::vector<QString>{programFolder});
    EXPECT_EQ(form.OpenFolder(), ToPath(programFolder).string());
    EXPECT_TRUE(messages.shown.empty());

    // An existing folder is used as it is.
    Editor other("[MORVAT.Ex]\nOpenFolder=" + cards.path().string() + "\n");
    other.picker.result = 2;
    other.form1->Button5Click();
    EXPECT_EQ(other.picker.shownIn, std::vector<QString>{Q(cards.path())});
    EXPECT_EQ(other.form1->OpenFolder(), cards.path().string());
}

TEST_F(FileFlows, ReadOfAFileThatCannotBeOpenedKeepsTheFolder) {
    FillEditor();
    const EditorState before = form.editor();
    editor.picker.selectedPath = Q(cards.path() / "vanished.wid");
    editor.picker.browseTo = Q(cards.path());
    form.Button5Click();
    EXPECT_EQ(messages.shown, std::vector<ShownMessage>{kCannotOpen});
    ExpectEditorUnchanged(before);
    EXPECT_EQ(form.OpenFolder(), ToPath(QCoreApplication::applicationDirPath() + "/").string());
}

TEST_F(FileFlows, ReadTakesTheCardAndTheDialogsFolder) {
    FillEditor();
    const EditorState before = form.editor();
    TempDir browsed;
    editor.picker.browseTo = Q(browsed.path());
    editor.picker.selectedPath = Q(cards.write("Skill2.wid", "\x04 not a card"));
    form.Button5Click();
    EXPECT_EQ(messages.shown, std::vector<ShownMessage>{kReadFailed});
    ExpectEditorUnchanged(before);
    EXPECT_EQ(form.OpenFolder(), browsed.path().string());

    WidCardPlan plan;
    plan.name = Sz("Card");
    plan.target = 2;
    plan.targetAll = 1;
    editor.picker.selectedPath = Q(Card("Skill3.wid", plan));
    form.Button5Click();
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(form.ObCardname->text(), "Card");
    EXPECT_EQ(form.ObTarget->itemIndex(), kTargetAllAllies);
    EXPECT_EQ(form.Obelist->count(), 0);
}

}  // namespace
}  // namespace morvat::test
