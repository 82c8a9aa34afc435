// What every run of the editor's windows needs before the first window: the application's
// name, Qt's own Japanese texts for the standard buttons and dialogs, and the fonts'
// stand-ins. Shared by the program and its tests, so both see the same windows.
#pragma once

class QApplication;

void PrepareApplication(QApplication& app);

// Qt's file dialog keeps its history and last folder in a settings file of Qt's own
// (~/.config/QtProject.conf). The editor keeps all of its state in its own settings file,
// so Qt's settings are read from nowhere and written nowhere.
void KeepQtSettingsOutOfFiles();
