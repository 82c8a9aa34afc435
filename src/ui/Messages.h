// SPDX-License-Identifier: MIT
// Every message box, question and file dialog of the editor goes through this interface,
// so that the tests answer them and no modal box ever waits for a person there. The real
// boxes speak Japanese through Qt's own translation (OK, キャンセル, はい, いいえ).
#pragma once

#include <QList>
#include <QString>
#include <memory>

class QFileDialog;
class QMessageBox;
class QWidget;

// One filter of a file dialog: the text the user reads and the name patterns it stands
// for, separated by spaces.
struct FileFilter {
    QString description;
    QString patterns;

    friend bool operator==(const FileFilter&, const FileFilter&) = default;
};

class Messages {
public:
    virtual ~Messages() = default;

    // A box with an OK button: a failure or a warning. `detail`, when not empty, is shown
    // under the text: why it failed and which file it was.
    virtual void Warn(const QString& text, const QString& caption, const QString& detail) = 0;
    void Warn(const QString& text, const QString& caption) { Warn(text, caption, QString()); }
    // A box with an OK button: a result.
    virtual void Inform(const QString& text, const QString& caption) = 0;
    // True for OK, false for Cancel (or the box closed).
    virtual bool AskOkCancel(const QString& text, const QString& caption) = 0;
    // True for Yes, false for No.
    virtual bool AskYesNo(const QString& text, const QString& caption) = 0;

    // The open and save dialogs; empty when cancelled. The open dialog offers `filters`,
    // the first one chosen, and matches the patterns case-sensitively. The save dialog's
    // `description` is its one filter's text as shown, `patterns` the patterns.
    virtual QString OpenFileName(const QString& folder, const QList<FileFilter>& filters) = 0;
    // A name typed without extension gets `defaultSuffix`. The dialog itself does not ask
    // about overwriting: the save flow asks in its own words.
    virtual QString SaveFileName(const QString& folder, const QString& description,
                                 const QString& patterns, const QString& defaultSuffix) = 0;
};

// The real boxes and dialogs, owned by the application (no parent window).
class BoxMessages final : public Messages {
public:
    using Messages::Warn;
    void Warn(const QString& text, const QString& caption, const QString& detail) override;
    void Inform(const QString& text, const QString& caption) override;
    bool AskOkCancel(const QString& text, const QString& caption) override;
    bool AskYesNo(const QString& text, const QString& caption) override;
    QString OpenFileName(const QString& folder, const QList<FileFilter>& filters) override;
    QString SaveFileName(const QString& folder, const QString& description, const QString& patterns,
                         const QString& defaultSuffix) override;
};

// The open dialog that BoxMessages::OpenFileName shows, ready to be run.
std::unique_ptr<QFileDialog> MakeOpenDialog(const QString& folder, const QList<FileFilter>& filters);

// The box BoxMessages::Warn shows: the text, and the detail under it.
std::unique_ptr<QMessageBox> MakeWarningBox(const QString& text, const QString& caption,
                                            const QString& detail);
