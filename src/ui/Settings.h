// SPDX-License-Identifier: MIT
// The editor's side of its settings file: the running program's paths and the user's home
// folder. Where the file is and how it is read and written is the core's
// (files/FolderSettings.h).
#pragma once

#include <filesystem>
#include <string>

#include "files/FolderSettings.h"

using FolderSettings = morvat::FolderSettings;

class SettingsStore {
public:
    // `besideProgram` is the file beside the program, `fallback` the one in the user's
    // configuration folder.
    SettingsStore(std::filesystem::path besideProgram, std::filesystem::path fallback);

    // The running program's files: its own path with the extension replaced by ".ini",
    // and a file of that name in the user's configuration folder.
    static SettingsStore ForProgram();

    // The folder a missing key stands for: "C:\" on Windows, the home folder elsewhere,
    // as bytes of a path.
    static std::string DefaultFolder();

    morvat::FolderSettingsRead Read() const { return file_.Read(DefaultFolder()); }
    morvat::FileResult Write(const FolderSettings& folders) const { return file_.Write(folders); }

    const morvat::SettingsFile& file() const { return file_; }
    const std::filesystem::path& besideProgram() const { return file_.besideProgram(); }
    const std::filesystem::path& fallback() const { return file_.inConfig(); }

private:
    explicit SettingsStore(morvat::SettingsFile file) : file_(std::move(file)) {}

    morvat::SettingsFile file_;
};
