// The editor's remembered folders, "OpenFolder" and "SaveFolder" in section "MORVAT.Ex" of
// its settings file, and the one rule for where that file is: beside the program when it
// can be used there, else in the user's configuration folder. The values are bytes, kept
// exactly as the file holds them, whatever their encoding. No file of the user's is ever
// deleted, and a file that could not be read is never overwritten.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "files/SaveFile.h"

namespace morvat {

struct FolderSettings {
    std::string OpenFolder;  // bytes of a folder path, as stored
    std::string SaveFolder;

    friend bool operator==(const FolderSettings&, const FolderSettings&) = default;
};

struct FolderSettingsRead {
    FolderSettings folders;  // a missing file or key gives the default folder
    bool refused = false;    // a file was there but could not be read
    std::string detail;      // for a refused file: the reason and its path
};

class SettingsFile {
public:
    // `besideProgram`: the program's own path with ".ini" for its extension; `inConfig`:
    // a file of that name in the user's configuration folder.
    SettingsFile(std::filesystem::path besideProgram, std::filesystem::path inConfig);

    // The pair for a program file and a configuration folder. An installed program (its
    // desktop entry in ../share/applications) shares its folder with every user of the
    // machine, so its file is in the configuration folder only.
    static SettingsFile ForExecutable(const std::filesystem::path& executable,
                                      const std::filesystem::path& configFolder);

    // The file in use: the one beside the program when it is a readable and writable
    // file, or when there is none and the program's folder takes new files; otherwise the
    // one in the configuration folder.
    std::filesystem::path Location() const;

    // Reads both folders from Location(). `defaultFolder` stands for a missing file or key.
    FolderSettingsRead Read(std::string_view defaultFolder) const;

    // Writes both keys to Location(), keeping everything else in the file; creates the
    // configuration folder when the file goes there. A folder whose name has a line break
    // cannot be kept in the file: that key keeps its old value and the result says so. A
    // file that cannot be read is not replaced.
    FileResult Write(const FolderSettings& folders) const;

    const std::filesystem::path& besideProgram() const { return besideProgram_; }
    const std::filesystem::path& inConfig() const { return inConfig_; }

private:
    std::filesystem::path besideProgram_;
    std::filesystem::path inConfig_;
};

}  // namespace morvat
