// SPDX-License-Identifier: MIT
#include "Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <system_error>

#include "QtPaths.h"
#include "files/IniFile.h"

namespace {

constexpr const char* kSection = "MORVAT.Ex";
constexpr const char* kOpenFolderKey = "OpenFolder";
constexpr const char* kSaveFolderKey = "SaveFolder";

// Folder texts are kept in the file as UTF-8, byte for byte as the user gave them.
QString Value(const morvat::IniFile& file, const char* key) {
    const auto value = file.Get(kSection, key);
    return value ? QString::fromStdString(*value) : SettingsStore::DefaultFolder();
}

bool WriteFolders(const std::filesystem::path& path, morvat::IniFile base,
                  const FolderSettings& folders) {
    base.Set(kSection, kOpenFolderKey, folders.OpenFolder.toStdString());
    base.Set(kSection, kSaveFolderKey, folders.SaveFolder.toStdString());
    return morvat::WriteIniFile(path, base);
}

}  // namespace

SettingsStore::SettingsStore(std::filesystem::path besideProgram, std::filesystem::path fallback)
    : besideProgram_(std::move(besideProgram)), fallback_(std::move(fallback)) {}

SettingsStore SettingsStore::ForProgram() {
    const QString configFolder =
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return ForExecutable(ToPath(QCoreApplication::applicationFilePath()), ToPath(configFolder));
}

SettingsStore SettingsStore::ForExecutable(const std::filesystem::path& executable,
                                           const std::filesystem::path& configFolder) {
    std::filesystem::path beside = executable;
    beside.replace_extension(".ini");
    const std::filesystem::path inConfig = configFolder / beside.filename();
    // An installed program (its desktop entry under ../share) lives in a folder shared by
    // every user of the machine: each user's folders belong in their own configuration.
    std::error_code ignored;
    const bool installed = std::filesystem::exists(
        beside.parent_path() / ".." / "share" / "applications" / "morvat-ex.desktop", ignored);
    return installed ? SettingsStore(inConfig, inConfig) : SettingsStore(beside, inConfig);
}

QString SettingsStore::DefaultFolder() {
#ifdef _WIN32
    return QStringLiteral("C:\\");
#else
    return QDir::homePath();
#endif
}

FolderSettings SettingsStore::Read() const {
    morvat::IniReadResult read = morvat::ReadIniFile(fallback_);
    if (read.status != morvat::IniReadResult::Status::Read)
        read = morvat::ReadIniFile(besideProgram_);
    const morvat::IniFile file =
        read.status == morvat::IniReadResult::Status::Read ? read.file : morvat::IniFile{};
    return {Value(file, kOpenFolderKey), Value(file, kSaveFolderKey)};
}

bool SettingsStore::Write(const FolderSettings& folders) const {
    using Status = morvat::IniReadResult::Status;
    const morvat::IniReadResult beside = morvat::ReadIniFile(besideProgram_);
    // A file there that we cannot read is not ours to replace.
    if (beside.status != Status::Unreadable && WriteFolders(besideProgram_, beside.file, folders)) {
        std::error_code ignored;
        // No stale copy may shadow this one.
        if (fallback_ != besideProgram_) std::filesystem::remove(fallback_, ignored);
        return true;
    }
    const morvat::IniReadResult old = morvat::ReadIniFile(fallback_);
    const morvat::IniFile base = old.status == Status::Read      ? old.file
                                 : beside.status == Status::Read ? beside.file
                                                                 : morvat::IniFile{};
    std::error_code ignored;
    std::filesystem::create_directories(fallback_.parent_path(), ignored);
    return WriteFolders(fallback_, base, folders);
}
