// SPDX-License-Identifier: MIT
// The two remembered folders, "OpenFolder" and "SaveFolder" in section "MORVAT.Ex" of the
// INI file beside the program. When the program's folder cannot take the file (a system
// folder, a read-only medium), the file goes to the user's configuration folder instead,
// so that the folders are never silently forgotten.
#pragma once

#include <QString>
#include <filesystem>

struct FolderSettings {
    QString OpenFolder;
    QString SaveFolder;

    friend bool operator==(const FolderSettings&, const FolderSettings&) = default;
};

class SettingsStore {
public:
    // `besideProgram` is the file beside the program, `fallback` the one used when that
    // cannot be written.
    SettingsStore(std::filesystem::path besideProgram, std::filesystem::path fallback);

    // The running program's files: its own path with the extension replaced by ".ini",
    // and a file of that name in the user's configuration folder.
    static SettingsStore ForProgram();
    // The same for a given program file and configuration folder. An installed program
    // keeps its file in the configuration folder only.
    static SettingsStore ForExecutable(const std::filesystem::path& executable,
                                       const std::filesystem::path& configFolder);

    // The folder a missing key stands for: "C:\" on Windows, the home folder elsewhere.
    static QString DefaultFolder();

    // The fallback file, when it exists, holds the latest values; else the file beside
    // the program. Missing files and keys give DefaultFolder().
    FolderSettings Read() const;

    // Writes both keys, keeping everything else in the file. False when neither place
    // could take the file.
    bool Write(const FolderSettings& folders) const;

    const std::filesystem::path& besideProgram() const { return besideProgram_; }
    const std::filesystem::path& fallback() const { return fallback_; }

private:
    std::filesystem::path besideProgram_;
    std::filesystem::path fallback_;
};
