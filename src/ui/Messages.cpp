// SPDX-License-Identifier: MIT
#include "Messages.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {

QMessageBox::StandardButton Ask(QMessageBox::Icon icon, const QString& text, const QString& caption,
                                QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton) {
    QMessageBox box(icon, caption, text, buttons);
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

// The filter as the user reads it, with the patterns kept out of sight.
QString NameFilter(const QString& description, const QString& patterns) {
    return description + QStringLiteral(" (") + patterns + QStringLiteral(")");
}

QString RunFileDialog(QFileDialog& dialog) {
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

}  // namespace

void BoxMessages::Warn(const QString& text, const QString& caption) {
    Ask(QMessageBox::Warning, text, caption, QMessageBox::Ok, QMessageBox::Ok);
}

void BoxMessages::Inform(const QString& text, const QString& caption) {
    Ask(QMessageBox::Information, text, caption, QMessageBox::Ok, QMessageBox::Ok);
}

bool BoxMessages::AskOkCancel(const QString& text, const QString& caption) {
    return Ask(QMessageBox::Question, text, caption, QMessageBox::Ok | QMessageBox::Cancel,
               QMessageBox::Ok) == QMessageBox::Ok;
}

bool BoxMessages::AskYesNo(const QString& text, const QString& caption) {
    return Ask(QMessageBox::Question, text, caption, QMessageBox::Yes | QMessageBox::No,
               QMessageBox::Yes) == QMessageBox::Yes;
}

QString BoxMessages::OpenFileName(const QString& folder, const QString& description,
                                  const QString& patterns) {
    QFileDialog dialog(nullptr, QString(), folder, NameFilter(description, patterns));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return RunFileDialog(dialog);
}

QString BoxMessages::SaveFileName(const QString& folder, const QString& description,
                                  const QString& patterns, const QString& defaultSuffix) {
    QFileDialog dialog(nullptr, QString(), folder, NameFilter(description, patterns));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    return RunFileDialog(dialog);
}
