// morvat-ex: the desktop editor. Creates the three windows once, restores the remembered
// folders and runs until the editor window closes. A file named on the command line is
// opened as the "ロード" button would open it.
#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <exception>
#include <string_view>

#include "AppSetup.h"
#include "CardPicker.h"
#include "LoaderDialog.h"
#include "MainWindow.h"
#include "Messages.h"
#include "ResultWindow.h"

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

// --version and --help answer before any window system is needed, so they work without a
// display too.
bool AnswerInformationOption(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--version") {
            std::printf("morvat-ex %s\n", MORVAT_VERSION);
            return true;
        }
        if (arg == "--help" || arg == "-h") {
            std::printf(
                "Usage: morvat-ex [FILE]\n\n"
                "Opens the MORVAT_Ex skill card editor. FILE, a cws file or a skill card file\n"
                "(Skill*.wid), is opened at start as the \"ロード\" button would open it.\n"
                "The command line tool morvat-ex-cli rates files without a window.\n");
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (AnswerInformationOption(argc, argv)) return 0;
    Application app(argc, argv);
    PrepareApplication(app);

    try {
        BoxMessages messages;
        TForm1 form1(messages, SettingsStore::ForProgram());
        TForm2 form2(messages);
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
