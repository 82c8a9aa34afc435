// SPDX-License-Identifier: MIT
// Every message box, question and file dialog of the editor goes through this interface,
// so that the tests answer them and no modal box ever waits for a person there. The real
// boxes speak Japanese through Qt's own translation (OK, キャンセル, はい, いいえ).
#pragma once

#include <QString>

class QWidget;

class Messages {
public:
    virtual ~Messages() = default;

    // A box with an OK button: a failure or a warning.
    virtual void Warn(const QString& text, const QString& caption) = 0;
    // A box with an OK button: a result.
    virtual void Inform(const QString& text, const QString& caption) = 0;
    // True for OK, false for Cancel (or the box closed).
    virtual bool AskOkCancel(const QString& text, const QString& caption) = 0;
    // True for Yes, false for No.
    virtual bool AskYesNo(const QString& text, const QString& caption) = 0;

    // The open and save dialogs. `description` is the filter's text as shown, `patterns`
    // the file name patterns it stands for, separated by spaces. Empty when cancelled.
    virtual QString OpenFileName(const QString& folder, const QString& description,
                                 const QString& patterns) = 0;
    // A name typed without extension gets `defaultSuffix`. The dialog itself does not ask
    // about overwriting: the save flow asks in its own words.
    virtual QString SaveFileName(const QString& folder, const QString& description,
                                 const QString& patterns, const QString& defaultSuffix) = 0;
};

// The real boxes and dialogs, owned by the application (no parent window).
class BoxMessages final : public Messages {
public:
    void Warn(const QString& text, const QString& caption) override;
    void Inform(const QString& text, const QString& caption) override;
    bool AskOkCancel(const QString& text, const QString& caption) override;
    bool AskYesNo(const QString& text, const QString& caption) override;
    QString OpenFileName(const QString& folder, const QString& description,
                         const QString& patterns) override;
    QString SaveFileName(const QString& folder, const QString& description, const QString& patterns,
                         const QString& defaultSuffix) override;
};
