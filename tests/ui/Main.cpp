// SPDX-License-Identifier: MIT
// The window tests run headless: without a display the offscreen platform draws the
// windows in memory. With "--open-dialog FOLDER" the binary only shows and closes the
// editor's open dialog there, for the test of what Qt leaves on the disk.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <cstring>

#include "AppSetup.h"
#include "Messages.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    PrepareApplication(app);
    if (argc == 3 && std::strcmp(argv[1], "--open-dialog") == 0) {
        const auto dialog = MakeOpenDialog(QString::fromLocal8Bit(argv[2]), {{"all", "*"}});
        dialog->show();
        QCoreApplication::processEvents();
        dialog->hide();
        return 0;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
