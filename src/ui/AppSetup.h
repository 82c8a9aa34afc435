// SPDX-License-Identifier: MIT
// What every run of the editor's windows needs before the first window: the application's
// name, Qt's own Japanese texts for the standard buttons and dialogs, and the fonts'
// stand-ins. Shared by the program and its tests, so both see the same windows.
#pragma once

#include <filesystem>
#include <optional>

class QApplication;

void PrepareApplication(QApplication& app);

// Qt's file dialog keeps its history and last folder in a settings file of Qt's own
// (~/.config/QtProject.conf). The editor keeps all of its state in its own settings file,
// so Qt's settings are read from nowhere and written nowhere.
void KeepQtSettingsOutOfFiles();

// The file named on the command line, as the system's bytes; nothing when none is named.
// `argv` is what is left after QApplication took its own options.
std::optional<std::filesystem::path> FileFromCommandLine(int argc, char** argv);
