// SPDX-License-Identifier: MIT
// Remembers where a window was and how big, in the program's own settings file (the one
// that keeps the remembered folders), so the result window comes back where the user put
// it. The place is Qt's own saved geometry, which also brings a window back onto a screen
// when the screen it was on is gone.
#pragma once

#include <QObject>
#include <QString>

#include "Settings.h"

class QWidget;

class WindowPlace : public QObject {
    Q_OBJECT
public:
    // Puts `window` where the file says, and keeps its place for Save().
    WindowPlace(QWidget& window, SettingsStore store, QString key);

    // Writes the window's place, when it was shown during this run; a window never shown
    // keeps the place it had. False when the file could not be written.
    bool Save() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
    SettingsStore store_;
    QString key_;
    bool shown_ = false;
};
