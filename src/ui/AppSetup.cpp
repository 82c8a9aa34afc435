// SPDX-License-Identifier: MIT
#include "AppSetup.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "Fonts.h"

void PrepareApplication(QApplication& app) {
    QCoreApplication::setApplicationName(QStringLiteral("MORVAT_Ex"));
    // The desktop matches the windows to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("morvat-ex"));
    // Message box buttons read OK / キャンセル / はい / いいえ, as the tool's users expect.
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
    }
    InstallFontSubstitutes();
    // Message boxes and dialogs share the windows' font.
    QApplication::setFont(ProportionalGothic(12));
}
