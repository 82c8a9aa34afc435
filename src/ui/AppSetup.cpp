#include "AppSetup.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "FocusStyle.h"
#include "Fonts.h"

void PrepareApplication(QApplication& app) {
    QCoreApplication::setApplicationName(QStringLiteral("MORVAT_Ex"));
    // Message box buttons read OK / キャンセル / はい / いいえ, as the tool's users expect.
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
    }
    InstallFontSubstitutes();
    // A focused button must be plain to see for those who work by keyboard.
    QApplication::setStyle(new FocusStyle);
    // Message boxes and dialogs share the windows' font.
    QApplication::setFont(ProportionalGothic(12));
}
