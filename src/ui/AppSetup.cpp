// SPDX-License-Identifier: MIT
#include "AppSetup.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QTranslator>
#include <string_view>

#include "FocusStyle.h"
#include "Fonts.h"
#include "QtPaths.h"

void KeepQtSettingsOutOfFiles() {
#ifndef _WIN32
    // Qt's own settings use the native format, an INI file on this system. Below a name
    // that is no folder no such file, nor its lock file, can be made; reading finds none.
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        for (const auto scope : {QSettings::UserScope, QSettings::SystemScope}) {
            QSettings::setPath(format, scope, QStringLiteral("/dev/null"));
        }
    }
#endif
}

void PrepareApplication(QApplication& app) {
    QCoreApplication::setApplicationName(QStringLiteral("MORVAT_Ex"));
    KeepQtSettingsOutOfFiles();
    // The desktop matches the windows to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("morvat-ex"));
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

std::optional<std::filesystem::path> FileFromCommandLine(int argc, char** argv) {
    // The first argument that is not the end of the options (Qt has taken its own by now).
    int first = 1;
    if (first < argc && argv[first] != nullptr && std::string_view(argv[first]) == "--") ++first;
    if (first >= argc || argv[first] == nullptr) return std::nullopt;
#ifdef _WIN32
    return ToPath(QCoreApplication::arguments().value(first));
#else
    // Bytes that are not valid UTF-8 would not survive QCoreApplication::arguments().
    return std::filesystem::path(argv[first]);
#endif
}
