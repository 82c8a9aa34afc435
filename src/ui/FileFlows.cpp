// SPDX-License-Identifier: MIT
// The editor's buttons that reach beyond the window: the calculation, saving and loading
// cws files, loading and reading skill cards, clearing, and the remembered folders.
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include "CardPicker.h"
#include "MainWindow.h"
#include "Messages.h"
#include "QtPaths.h"
#include "ResultWindow.h"
#include "calc/Rating.h"
#include "files/CwsFile.h"
#include "files/FileOpen.h"
#include "files/LoadFlows.h"
#include "model/SkillRecord.h"

namespace {

const QString kCannotOpen = QStringLiteral("ファイルが開けません");
const QString kCannotOpenCaption = QStringLiteral("Error");
const QString kReadFailed = QStringLiteral("読み込みに失敗しました");
const QString kReadFailedCaption = QStringLiteral("I'm sorry.");

// The two questions a skill card can raise while it is put into the editor.
class MessagePrompts final : public morvat::LoadPrompts {
public:
    explicit MessagePrompts(Messages& messages) : messages_(messages) {}
    void WarnNoTarget() override {
        messages_.Warn(QStringLiteral("対象なしデータです"), QStringLiteral("警告"));
    }
    bool AskEnemySide() override {
        return messages_.AskYesNo(
            QStringLiteral("双方効果は計算できません。敵方にしますか（いいえで味方になります）"),
            QStringLiteral("Message"));
    }

private:
    Messages& messages_;
};

void ReportFailure(Messages& messages, morvat::LoadStatus status) {
    if (status == morvat::LoadStatus::CannotOpen) messages.Warn(kCannotOpen, kCannotOpenCaption);
    if (status == morvat::LoadStatus::ReadFailed) messages.Warn(kReadFailed, kReadFailedCaption);
}

// Whether the editor takes what the load produced: a failed card read must leave it
// exactly as it was, selection and panes included.
bool EditorTakesResult(morvat::LoadStatus status) {
    return status == morvat::LoadStatus::Loaded || status == morvat::LoadStatus::StoppedEarly;
}

QString FolderText(const std::filesystem::path& file) {
    return FromPath(std::filesystem::path(morvat::FolderOf(file)));
}

}  // namespace

void TForm1::Button1Click() {
    const morvat::SkillRecord record = morvat::GatherSkillRecord(editor_);
    const morvat::RatingReport report = morvat::RateSkill(record);
    if (form2_ != nullptr) form2_->ShowReport(report);
}

void TForm1::Button2Click() {
    const QString chosen =
        messages_.SaveFileName(folders_.SaveFolder, QStringLiteral("cws形式(*.cws)"),
                               QStringLiteral("*.cws"), QStringLiteral("cws"));
    if (chosen.isEmpty()) return;
    const std::filesystem::path file = ToPath(chosen);
    if (morvat::OpenRegularFile(file) != nullptr &&
        !messages_.AskOkCancel(QFileInfo(chosen).fileName() + QStringLiteral(" を上書きしますか?"),
                               QStringLiteral("上書き確認"))) {
        return;
    }
    const morvat::SkillRecord record = morvat::GatherSkillRecord(editor_);
    if (!morvat::WriteCwsFile(file, record).ok) {
        messages_.Warn(kCannotOpen, kCannotOpenCaption);
        return;
    }
    editor_.ObCardname = morvat::CardNameFromPath(file);
    RefreshHeader();
    folders_.SaveFolder = FolderText(file);
}

void TForm1::Button3Click() {
    const QString chosen = messages_.OpenFileName(
        folders_.OpenFolder, QStringLiteral("cws形式(*.cws);スキルファイル(Skill*.wid)"),
        QStringLiteral("*.cws Skill*.wid"));
    if (!chosen.isEmpty()) OpenFile(chosen);
}

void TForm1::OpenFile(const QString& path) {
    const std::filesystem::path file = ToPath(path);
    MessagePrompts prompts(messages_);
    morvat::EditorState draft = editor_;
    const morvat::LoadOutcome outcome = morvat::LoadSkillFile(file, draft, prompts);
    ReportFailure(messages_, outcome.status);
    if (EditorTakesResult(outcome.status)) Adopt(std::move(draft));
    // The folder follows every file that was read, but not a cws file that stopped early.
    if (outcome.updatesOpenFolder) folders_.OpenFolder = FolderText(file);
}

void TForm1::Button5Click() {
    if (picker_ == nullptr) return;
    if (folders_.OpenFolder.isEmpty() || !QFileInfo(folders_.OpenFolder).isDir()) {
        folders_.OpenFolder =
            QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + QLatin1Char('/'));
    }
    picker_->setDirectory(folders_.OpenFolder);
    if (picker_->exec() != 1) return;
    MessagePrompts prompts(messages_);
    morvat::EditorState draft = editor_;
    const morvat::LoadOutcome outcome =
        morvat::ReadSkillCard(picker_->SelectedWidFile(), draft, prompts);
    ReportFailure(messages_, outcome.status);
    if (outcome.status == morvat::LoadStatus::CannotOpen) return;
    if (EditorTakesResult(outcome.status)) Adopt(std::move(draft));
    folders_.OpenFolder = picker_->directory();
}

void TForm1::Button4Click() {
    morvat::ClearEditor(editor_);
    RefreshAll();
    Edited();
}

void TForm1::FormClose() {
    if (!settings_.Write(folders_)) {
        messages_.Warn(QStringLiteral("設定を保存できませんでした"), kCannotOpenCaption);
    }
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.constFirst().isLocalFile()) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.constFirst().isLocalFile()) return;
    event->acceptProposedAction();
    OpenFile(urls.constFirst().toLocalFile());
}
