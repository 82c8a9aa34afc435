// SPDX-License-Identifier: MIT
// morvat-ex: the desktop editor. Creates the three windows once, restores the remembered
// folders and runs until the editor window closes. A file named on the command line is
// opened as the "ロード" button would open it.
#include <QApplication>
#include <QMessageBox>
#include <algorithm>
#include <array>
#include <cstdio>
#include <exception>
#include <string_view>

#include "AppSetup.h"
#include "CardPicker.h"
#include "LoaderDialog.h"
#include "MainWindow.h"
#include "Messages.h"
#include "ResultWindow.h"
#include "WindowPlace.h"

namespace {

const QString kTitle = QStringLiteral("MORVAT_Ex");

void ShowException(const QString& text) {
    QMessageBox::critical(nullptr, kTitle, text);
}

// An exception that escapes a handler is shown in a box and the program goes on.
class Application final : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& error) {
            ShowException(QString::fromLocal8Bit(error.what()));
        } catch (...) {
            ShowException(QStringLiteral("Unknown error"));
        }
        return false;
    }
};

constexpr int kExitUsage = 64;

constexpr const char* kUsage =
    "Usage: morvat-ex [FILE]\n\n"
    "Opens the MORVAT_Ex skill card editor. FILE, a cws file or a skill card file\n"
    "(Skill*.wid), is opened at start as the \"ロード\" button would open it.\n"
    "The command line tool morvat-ex-cli rates files without a window.\n\n"
    "Options:\n"
    "  -h, --help     show this help\n"
    "  --version      show the version\n\n"
    "Keys: Ctrl+O ロード, Ctrl+S cwsセーブ, Ctrl+R 読み込み, F5 計算開始,\n"
    "Ctrl+L クリア, F1 about MORVAT_Ex.\n";

// The options QApplication takes for itself.
bool IsQtOption(std::string_view arg) {
    constexpr std::array<std::string_view, 12> kQtOptions{
        "-platform",      "-platformpluginpath", "-platformtheme", "-plugin",
        "-style",         "-stylesheet",         "-qwindowgeometry", "-qwindowtitle",
        "-qwindowicon",   "-reverse",            "-session",       "-display"};
    const std::string_view name = arg.substr(0, arg.find('='));
    return std::find(kQtOptions.begin(), kQtOptions.end(), name) != kQtOptions.end();
}

// --version and --help answer before any window system is needed, so they work without a
// display too. An option we do not know is a mistake to point out, not a file to open:
// returns the exit status, or -1 to go on and open the window.
int AnswerOptions(int argc, char** argv) {
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") continue;
        if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--version") {
            std::printf("morvat-ex %s\n", MORVAT_VERSION);
            return 0;
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (IsQtOption(arg)) {
            if (arg.find('=') == std::string_view::npos && arg != "-reverse") ++i;  // its value
        } else {
            std::fprintf(stderr, "morvat-ex: unknown option '%s'\n%s", argv[i], kUsage);
            return kExitUsage;
        }
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (const int status = AnswerOptions(argc, argv); status >= 0) return status;
    Application app(argc, argv);
    PrepareApplication(app);

    try {
        BoxMessages messages;
        const SettingsStore settings = SettingsStore::ForProgram();
        TForm1 form1(messages, settings);
        TForm2 form2(messages);
        WindowPlace resultPlace(form2, settings, QStringLiteral("ResultWindow"));
        QObject::connect(&app, &QCoreApplication::aboutToQuit, &resultPlace,
                         [&resultPlace] { resultPlace.Save(); });
        TForm3 form3(&form1);
        form3.setAttribute(Qt::WA_QuitOnClose, false);
        LoaderDialogPicker picker(form3);
        form1.SetResultWindow(&form2);
        form1.SetCardPicker(&picker);

        form1.show();
        if (const auto file = FileFromCommandLine(argc, argv)) form1.OpenFile(*file);
        return QApplication::exec();
    } catch (const std::exception& error) {
        // A failure while starting up: say so and end.
        ShowException(QString::fromLocal8Bit(error.what()));
        return 1;
    }
}
