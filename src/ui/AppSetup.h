// SPDX-License-Identifier: MIT
// What every run of the editor's windows needs before the first window: the application's
// name, Qt's own Japanese texts for the standard buttons and dialogs, and the fonts'
// stand-ins. Shared by the program and its tests, so both see the same windows.
#pragma once

class QApplication;

void PrepareApplication(QApplication& app);
