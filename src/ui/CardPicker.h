// The skill file loader dialog as the "読み込み" button uses it. The editor talks to this
// interface so that the tests can stand in for the modal dialog.
#pragma once

#include <QString>

#include "LoaderDialog.h"

class CardPicker {
public:
    virtual ~CardPicker() = default;
    virtual void setDirectory(const QString& folder) = 0;
    virtual QString directory() const = 0;
    // Shows the dialog modally: 1 when a card was confirmed, 2 when cancelled.
    virtual int exec() = 0;
    virtual QString SelectedWidPath() const = 0;
};

// The real dialog, `TForm3`.
class LoaderDialogPicker final : public CardPicker {
public:
    explicit LoaderDialogPicker(TForm3& dialog) : dialog_(dialog) {}
    void setDirectory(const QString& folder) override { dialog_.setDirectory(folder); }
    QString directory() const override { return dialog_.directory(); }
    int exec() override { return dialog_.exec(); }
    QString SelectedWidPath() const override { return dialog_.SelectedWidPath(); }

private:
    TForm3& dialog_;
};
