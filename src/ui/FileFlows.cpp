// SPDX-License-Identifier: MIT
// The editor's buttons that reach beyond the window: the calculation, saving and loading
// cws files, loading and reading skill cards, clearing, and the remembered folders.
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "CardPicker.h"
#include "MainWindow.h"
#include "Messages.h"
#include "QtPaths.h"
#include "ResultWindow.h"
#include "calc/Rating.h"
#include "files/CwsFile.h"
#include "files/LoadFlows.h"
#include "files/archive/ArchiveCards.h"
#include "files/SaveFile.h"
#include "files/UserTexts.h"
#include "model/SkillRecord.h"

namespace {

const QString kCannotOpen = FromUtf8(morvat::texts::kCannotOpen);
const QString kCannotOpenCaption = FromUtf8(morvat::texts::kErrorCaption);

// The open dialog's filters. The cws filter lists exactly the names that the Load button
// reads as cws files (".cws", case and all): the dialog matches names case-sensitively.
const QList<FileFilter> kOpenFilters{
    {QStringLiteral("cws形式(*.cws);スキルファイル(Skill*.wid)"), QStringLiteral("*.cws Skill*.wid")},
    {QStringLiteral("cws形式(*.cws)"), QStringLiteral("*.cws")},
    {QStringLiteral("スキルファイル(Skill*.wid)"), QStringLiteral("Skill*.wid")},
    {QStringLiteral("XML スキルカード(*.xml)"), QStringLiteral("*.xml")},
    {QStringLiteral("すべてのファイル(*)"), QStringLiteral("*")},
};

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

// The editor's box shows the message alone; the command line's detail is for scripts.
void ReportFailure(Messages& messages, const morvat::LoadOutcome& outcome) {
    if (const auto message = morvat::LoadFailureMessageFor(outcome)) {
        messages.Warn(FromUtf8(message->text), FromUtf8(message->caption));
    }
}

// Whether the editor takes what the load produced: a failed read must leave it exactly as
// it was, selection and panes included.
bool EditorTakesResult(morvat::LoadStatus status) {
    return status == morvat::LoadStatus::Loaded;
}

// A dropped file's path as the file system's bytes: a name that is not valid UTF-8 stays
// percent-encoded in the URL and would be lost on the way through QString.
std::filesystem::path DroppedPath(const QUrl& url) {
#ifdef _WIN32
    return ToPath(url.toLocalFile());
#else
    return std::filesystem::path(
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString());
#endif
}

}  // namespace

void TForm1::Button1Click() {
    const morvat::SkillRecord record = morvat::GatherSkillRecord(editor_);
    const morvat::RatingReport report = morvat::RateSkill(record);
    if (form2_ != nullptr) form2_->ShowReport(report);
}

void TForm1::Button2Click() {
    const QString chosen =
        messages_.SaveFileName(FromPath(folders_.SaveFolder), QStringLiteral("cws形式(*.cws)"),
                               QStringLiteral("*.cws"), QStringLiteral("cws"));
    if (chosen.isEmpty()) return;
    const std::filesystem::path file = ToPath(chosen);
    // A name that cannot take the skill (a folder, a read-only file) is refused before
    // the question; anything else of that name, readable or not, is asked about.
    const morvat::SaveTarget target = morvat::ExamineSaveTarget(file);
    if (!target.problem.ok()) {
        messages_.Warn(kCannotOpen, kCannotOpenCaption, FromUtf8(target.problem.detail));
        return;
    }
    if (target.exists &&
        !messages_.AskOkCancel(FromPath(file.filename()) + FromUtf8(morvat::texts::kOverwriteQuestion),
                               FromUtf8(morvat::texts::kOverwriteCaption))) {
        return;
    }
    const morvat::SkillRecord record = morvat::GatherSkillRecord(editor_);
    const morvat::FileResult saved = morvat::WriteCwsFile(file, record);
    if (!saved.ok()) {
        messages_.Warn(kCannotOpen, kCannotOpenCaption, FromUtf8(saved.detail));
        return;
    }
    editor_.ObCardname = morvat::CardNameFromPath(file);
    RefreshHeader();
    folders_.SaveFolder = morvat::AbsoluteFolderOf(file);
}

void TForm1::Button3Click() {
    const QString chosen = messages_.OpenFileName(FromPath(folders_.OpenFolder), kOpenFilters);
    if (!chosen.isEmpty()) OpenFile(ToPath(chosen));
}

void TForm1::OpenFile(const QString& path) {
    OpenFile(ToPath(path));
}

void TForm1::OpenFile(const std::filesystem::path& file) {
    MessagePrompts prompts(messages_);
    morvat::EditorState draft = editor_;
    const morvat::LoadOutcome outcome = morvat::LoadSkillFile(file, draft, prompts);
    ReportFailure(messages_, outcome);
    if (EditorTakesResult(outcome.status)) Adopt(std::move(draft));
    if (outcome.updatesOpenFolder) folders_.OpenFolder = morvat::AbsoluteFolderOf(file);
}

void TForm1::Button5Click() {
    if (picker_ == nullptr) return;
    std::error_code ec;
    if (folders_.OpenFolder.empty() ||
        !std::filesystem::is_directory(std::filesystem::path(folders_.OpenFolder), ec)) {
        folders_.OpenFolder = ToPath(QDir::toNativeSeparators(
                                         QCoreApplication::applicationDirPath() + QLatin1Char('/')))
                                  .string();
    }
    picker_->setDirectory(FromPath(folders_.OpenFolder));
    if (picker_->exec() != 1) return;
    MessagePrompts prompts(messages_);
    morvat::EditorState draft = editor_;
    // The dialog may have chosen a card inside an archive (ARCHIVE/member/path).
    const morvat::LoadOutcome outcome =
        morvat::ReadSkillCardAt(picker_->SelectedWidFile(), draft, prompts);
    ReportFailure(messages_, outcome);
    if (EditorTakesResult(outcome.status)) Adopt(std::move(draft));
    // The dialog's folder is remembered by the same rule as a file's.
    if (outcome.updatesOpenFolder) folders_.OpenFolder = ToPath(picker_->directory()).string();
}

void TForm1::Button4Click() {
    morvat::ClearEditor(editor_);
    RefreshAll();
    Edited();
}

void TForm1::FormClose() {
    const morvat::FileResult saved = settings_.Write(folders_);
    if (!saved.ok()) {
        messages_.Warn(FromUtf8(morvat::texts::kSettingsNotSaved), kCannotOpenCaption,
                       FromUtf8(saved.detail));
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
    OpenFile(DroppedPath(urls.constFirst()));
}
