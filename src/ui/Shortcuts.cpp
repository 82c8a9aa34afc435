// SPDX-License-Identifier: MIT
#include "Shortcuts.h"

#include <QAction>
#include <QPushButton>

#include "AboutBox.h"
#include "MainWindow.h"

namespace {

void AddAction(TForm1& form, const char* name, const QString& text, const QKeySequence& key,
               const std::function<void()>& run) {
    auto* action = new QAction(text, &form);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(action, &QAction::triggered, &form, run);
    form.addAction(action);
}

void AddButtonAction(TForm1& form, const char* name, QPushButton* button,
                     const QKeySequence& key) {
    AddAction(form, name, button->text(), key, [button] { button->click(); });
}

}  // namespace

void InstallEditorShortcuts(TForm1& form) {
    AddButtonAction(form, "actionCalculate", form.Button1, QKeySequence(Qt::Key_F5));
    AddButtonAction(form, "actionSave", form.Button2, QKeySequence(Qt::CTRL | Qt::Key_S));
    AddButtonAction(form, "actionLoad", form.Button3, QKeySequence(Qt::CTRL | Qt::Key_O));
    AddButtonAction(form, "actionRead", form.Button5, QKeySequence(Qt::CTRL | Qt::Key_R));
    AddButtonAction(form, "actionClear", form.Button4, QKeySequence(Qt::CTRL | Qt::Key_L));
    auto* separator = new QAction(&form);
    separator->setSeparator(true);
    form.addAction(separator);
    AddAction(form, "actionAbout", QStringLiteral("MORVAT_Ex について"),
              QKeySequence(Qt::Key_F1), [&form] { ShowAboutBox(&form); });
    form.setContextMenuPolicy(Qt::ActionsContextMenu);
}
