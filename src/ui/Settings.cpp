// SPDX-License-Identifier: MIT
#include "Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include "QtPaths.h"

SettingsStore::SettingsStore(std::filesystem::path besideProgram, std::filesystem::path fallback)
    : file_(std::move(besideProgram), std::move(fallback)) {}

SettingsStore SettingsStore::ForProgram() {
    const QString configFolder =
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return SettingsStore(morvat::SettingsFile::ForExecutable(
        ToPath(QCoreApplication::applicationFilePath()), ToPath(configFolder)));
}

std::string SettingsStore::DefaultFolder() {
#ifdef _WIN32
    return "C:\\";
#else
    return ToPath(QDir::homePath()).string();
#endif
}
