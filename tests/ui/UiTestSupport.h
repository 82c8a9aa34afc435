// SPDX-License-Identifier: MIT
// Stand-ins for everything the editor's windows would ask a person: message boxes, file
// dialogs and the loader dialog. Each records what was shown and answers from a script;
// a question nobody scripted fails the test instead of waiting.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <deque>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "CardPicker.h"
#include "MainWindow.h"
#include "Messages.h"
#include "ResultWindow.h"
#include "TempDir.h"

// Readable failure messages for Qt's strings.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace morvat::test {

struct ShownMessage {
    ShownMessage(QString kind_, QString text_, QString caption_, QString detail_ = {})
        : kind(std::move(kind_)),
          text(std::move(text_)),
          caption(std::move(caption_)),
          detail(std::move(detail_)) {}

    QString kind;  // "warn", "inform", "okcancel", "yesno"
    QString text;
    QString caption;
    QString detail;  // the text under a warning: the reason of a failure

    friend bool operator==(const ShownMessage&, const ShownMessage&) = default;
};

void PrintTo(const ShownMessage& message, std::ostream* out);

class FakeMessages final : public Messages {
public:
    std::vector<ShownMessage> shown;
    std::deque<bool> answers;  // OK/Yes is true, Cancel/No false, in the order asked
    QString openFileAnswer;    // the open dialog's choice; empty: cancelled
    QString saveFileAnswer;    // the save dialog's choice; empty: cancelled
    QString dialogFolder;      // the folder the last file dialog started in
    QString dialogDescription;
    QString dialogPatterns;
    QString dialogSuffix;
    QList<FileFilter> openFilters;  // the filters of the last open dialog

    using Messages::Warn;
    void Warn(const QString& text, const QString& caption, const QString& detail) override;
    void Inform(const QString& text, const QString& caption) override;
    bool AskOkCancel(const QString& text, const QString& caption) override;
    bool AskYesNo(const QString& text, const QString& caption) override;
    QString OpenFileName(const QString& folder, const QList<FileFilter>& filters) override;
    QString SaveFileName(const QString& folder, const QString& description, const QString& patterns,
                         const QString& defaultSuffix) override;

private:
    bool Answer();
};

class FakePicker final : public CardPicker {
public:
    int result = 1;                // what exec() returns
    QString selectedPath;          // SelectedWidPath() after a confirmation
    QString browseTo;              // a folder the "user" moves to before confirming; empty: none
    std::vector<QString> shownIn;  // the folder of each showing

    void setDirectory(const QString& folder) override { directory_ = folder; }
    QString directory() const override { return directory_; }
    int exec() override;
    QString SelectedWidPath() const override { return selectedPath; }

private:
    QString directory_;
};

// A main window with scripted boxes, a scripted loader dialog, a result window and a
// settings file of its own in a fresh folder.
struct Editor {
    explicit Editor(const std::string& iniText = {});

    TempDir dir;
    FakeMessages messages;
    FakePicker picker;
    std::unique_ptr<TForm2> form2;
    std::unique_ptr<TForm1> form1;

    std::filesystem::path iniPath() const { return dir.path() / "morvat-ex.ini"; }
    std::filesystem::path fallbackIniPath() const {
        return dir.path() / "config" / "morvat-ex.ini";
    }
};

}  // namespace morvat::test
