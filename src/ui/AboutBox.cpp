// SPDX-License-Identifier: MIT
#include "AboutBox.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "Icons.h"

// Outside any namespace, as the resource's initialiser requires.
static void InitAboutResource() {
    // The resource lives in the static library, which the linker would otherwise drop.
    Q_INIT_RESOURCE(About);
}

namespace {

// The licence shown is the LICENSE file itself, built in.
QString LicenceText() {
    InitAboutResource();
    QFile file(QStringLiteral(":/about/LICENSE"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

}  // namespace

void ShowAboutBox(QWidget* parent) {
    if (parent != nullptr) {
        if (auto* open = parent->findChild<QDialog*>(QStringLiteral("AboutBox"))) {
            open->show();
            open->raise();
            open->activateWindow();
            return;
        }
    }
    auto* box = new QDialog(parent);
    box->setObjectName(QStringLiteral("AboutBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowTitle(QStringLiteral("MORVAT_Ex について"));
    box->setWindowIcon(EditorWindowIcon());

    auto* title = new QLabel(box);
    title->setObjectName(QStringLiteral("AboutTitle"));
    title->setTextFormat(Qt::RichText);
    title->setText(QStringLiteral("<b style='font-size:15px'>MORVAT_Ex</b> %1<br>"
                                  "スキルカードを評価し、技能レベルを計算します")
                       .arg(QStringLiteral("バージョン " MORVAT_VERSION)));
    auto* licence = new QPlainTextEdit(LicenceText(), box);
    licence->setObjectName(QStringLiteral("AboutLicence"));
    licence->setReadOnly(true);
    licence->setMinimumSize(470, 260);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, box);
    QObject::connect(buttons, &QDialogButtonBox::rejected, box, &QDialog::close);

    auto* layout = new QVBoxLayout(box);
    auto* header = new QHBoxLayout;
    auto* icon = new QLabel(box);
    icon->setPixmap(EditorWindowIcon().pixmap(48, 48));
    header->addWidget(icon);
    header->addWidget(title, 1);
    layout->addLayout(header);
    layout->addWidget(licence);
    layout->addWidget(buttons);
    box->open();
}
