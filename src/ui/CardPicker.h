// SPDX-License-Identifier: MIT
// The skill file loader dialog as the "読み込み" button uses it. The editor talks to this
// interface so that the tests can stand in for the modal dialog.
#pragma once

#include <QString>
#include <filesystem>

#include "LoaderDialog.h"
#include "QtPaths.h"

class CardPicker {
public:
    virtual ~CardPicker() = default;
    virtual void setDirectory(const QString& folder) = 0;
    virtual QString directory() const = 0;
    // Shows the dialog modally: 1 when a card was confirmed, 2 when cancelled.
    virtual int exec() = 0;
    virtual QString SelectedWidPath() const = 0;
    // The confirmed file to open. The text above is for showing: a file name that is not
    // valid UTF-8 (a card folder copied with its code page 932 names) does not survive the
    // way through QString, so the dialog hands over the file system's own bytes as well.
    virtual std::filesystem::path SelectedWidFile() const { return ToPath(SelectedWidPath()); }
};

// The real dialog, `TForm3`.
class LoaderDialogPicker final : public CardPicker {
public:
    explicit LoaderDialogPicker(TForm3& dialog) : dialog_(dialog) {}
    void setDirectory(const QString& folder) override { dialog_.setDirectory(folder); }
    QString directory() const override { return dialog_.directory(); }
    int exec() override { return dialog_.exec(); }
    QString SelectedWidPath() const override { return dialog_.SelectedWidPath(); }
    std::filesystem::path SelectedWidFile() const override { return dialog_.SelectedWidFile(); }

private:
    TForm3& dialog_;
};
