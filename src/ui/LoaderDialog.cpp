#include "LoaderDialog.h"

// Placeholder until the dialog lands: an empty hidden dialog.
TForm3::TForm3(QWidget* parent) : QDialog(parent) {
    setObjectName("TForm3");
    setWindowTitle(QStringLiteral("スキルファイルロード"));
}

void TForm3::setDirectory(const QString& folder) { directory_ = folder; }

QString TForm3::directory() const { return directory_; }
