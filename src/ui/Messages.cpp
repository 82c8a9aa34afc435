// SPDX-License-Identifier: MIT
#include "Messages.h"

#include <QDir>
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

std::unique_ptr<QMessageBox> MakeWarningBox(const QString& text, const QString& caption,
                                            const QString& detail) {
    auto box = std::make_unique<QMessageBox>(QMessageBox::Warning, caption, text, QMessageBox::Ok);
    // Shown under the text, not behind a button: the reason is what the user needs.
    if (!detail.isEmpty()) {
        box->setInformativeText(detail);
        // Wide enough for a path and a reason on a line each, instead of a narrow column.
        box->setStyleSheet(
            QStringLiteral("QLabel#qt_msgbox_informativelabel { min-width: 360px; }"));
    }
    return box;
}

void BoxMessages::Warn(const QString& text, const QString& caption, const QString& detail) {
    MakeWarningBox(text, caption, detail)->exec();
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

std::unique_ptr<QFileDialog> MakeOpenDialog(const QString& folder,
                                            const QList<FileFilter>& filters) {
    QStringList nameFilters;
    for (const FileFilter& filter : filters) {
        nameFilters.append(NameFilter(filter.description, filter.patterns));
    }
    auto dialog = std::make_unique<QFileDialog>(nullptr, QString(), folder);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    // "*.cws" must not list NAME.CWS: the Load button would read it as a card.
    dialog->setFilter(dialog->filter() | QDir::CaseSensitive);
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    dialog->setNameFilters(nameFilters);
    return dialog;
}

QString BoxMessages::OpenFileName(const QString& folder, const QList<FileFilter>& filters) {
    const std::unique_ptr<QFileDialog> dialog = MakeOpenDialog(folder, filters);
    return RunFileDialog(*dialog);
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
