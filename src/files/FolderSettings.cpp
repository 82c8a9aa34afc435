#include "files/FolderSettings.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "files/IniFile.h"
#include "files/UserTexts.h"

namespace morvat {
namespace {

constexpr std::string_view kSection = "MORVAT.Ex";
constexpr std::string_view kOpenFolderKey = "OpenFolder";
constexpr std::string_view kSaveFolderKey = "SaveFolder";

std::string Value(const IniFile& file, std::string_view key, std::string_view fallback) {
    const auto value = file.Get(kSection, key);
    return value ? *value : std::string(fallback);
}

// Why a settings file that is there could not be taken, for the user.
std::string RefusalDetail(const IniReadResult& read, const std::filesystem::path& path) {
    std::string reason;
    if (read.status == FileStatus::TooLarge) {
        reason = texts::kReasonTooLarge;
    } else if (read.error != 0) {
        reason = SaveFailureReason(read.error);
    } else {
        reason = SaveFailureReason(EINVAL);
    }
    return reason + "\n" + path.string();
}

bool Refused(const IniReadResult& read) {
    return read.status == FileStatus::Unreadable ||
           read.status == FileStatus::TooLarge;
}

}  // namespace

SettingsFile::SettingsFile(std::filesystem::path besideProgram, std::filesystem::path inConfig)
    : besideProgram_(std::move(besideProgram)), inConfig_(std::move(inConfig)) {}

SettingsFile SettingsFile::ForExecutable(const std::filesystem::path& executable,
                                         const std::filesystem::path& configFolder) {
    std::filesystem::path beside = executable;
    beside.replace_extension(".ini");
    const std::filesystem::path inConfig = configFolder / beside.filename();
    std::error_code ignored;
    const bool installed = std::filesystem::exists(
        beside.parent_path() / ".." / "share" / "applications" / "morvat-ex.desktop", ignored);
    return installed ? SettingsFile(inConfig, inConfig) : SettingsFile(beside, inConfig);
}

std::filesystem::path SettingsFile::Location() const {
    struct stat st {};
    if (::stat(besideProgram_.c_str(), &st) == 0) {
        const bool usable = S_ISREG(st.st_mode) && (st.st_mode & 0222) != 0 &&
                            ::access(besideProgram_.c_str(), R_OK | W_OK) == 0;
        return usable ? besideProgram_ : inConfig_;
    }
    struct stat link {};
    if (::lstat(besideProgram_.c_str(), &link) == 0) return inConfig_;  // a dangling link
    const std::filesystem::path folder = besideProgram_.has_parent_path()
                                             ? besideProgram_.parent_path()
                                             : std::filesystem::path(".");
    return ::access(folder.c_str(), W_OK | X_OK) == 0 ? besideProgram_ : inConfig_;
}

FolderSettingsRead SettingsFile::Read(std::string_view defaultFolder) const {
    const std::filesystem::path path = Location();
    const IniReadResult read = ReadIniFile(path);
    FolderSettingsRead result;
    if (Refused(read)) {
        result.refused = true;
        result.detail = RefusalDetail(read, path);
    }
    result.folders = {Value(read.file, kOpenFolderKey, defaultFolder),
                      Value(read.file, kSaveFolderKey, defaultFolder)};
    return result;
}

FileResult SettingsFile::Write(const FolderSettings& folders) const {
    const std::filesystem::path path = Location();
    IniReadResult read = ReadIniFile(path);
    if (Refused(read)) {
        return {FileStatus::Failed, read.error, RefusalDetail(read, path)};
    }
    const bool keptOpen = read.file.Set(kSection, kOpenFolderKey, folders.OpenFolder);
    const bool keptSave = read.file.Set(kSection, kSaveFolderKey, folders.SaveFolder);
    if (path == inConfig_ && path.has_parent_path()) {
        std::error_code ignored;
        std::filesystem::create_directories(path.parent_path(), ignored);
    }
    const FileResult saved = WriteIniFile(path, read.file);
    if (!saved.ok()) return saved;
    if (!keptOpen || !keptSave) {
        return {FileStatus::Failed, EINVAL, std::string(texts::kReasonLineBreak) + "\n" +
                                                (keptOpen ? folders.SaveFolder : folders.OpenFolder)};
    }
    return saved;
}

}  // namespace morvat
