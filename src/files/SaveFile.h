// Saving a file all or nothing. The new content goes into a temporary file beside the
// target, is written, checked and flushed to the disk, and only then takes the target's
// name in one rename. Whatever goes wrong, the old file stays as it was and no temporary
// file is left behind. The cws files and the settings file are saved this way.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "files/FileResult.h"

namespace morvat {

// What a save to `path` would replace, looked at before the user is asked.
struct SaveTarget {
    std::filesystem::path file;  // where the content goes: a symbolic link's final target
    bool exists = false;         // something of the chosen name is there (lstat)
    FileResult problem;          // ok() when a save may go ahead
};

// Follows symbolic links from `path` (to at most 40 of them) and says whether the save can
// replace what is there: a folder or another special file is refused, and so is a regular
// file without write permission (mode 0444), even where the user could still rename over
// it, as a read-only file is refused elsewhere.
SaveTarget ExamineSaveTarget(const std::filesystem::path& path);

// Replaces the file at `path` (or the file a symbolic link there points to; the link stays)
// with `bytes`. A replaced file keeps its permissions and, where allowed, its owner. The
// result is Ok, ReadOnly or Failed, with the reason and the file's path in `detail`.
FileResult CommitFile(const std::filesystem::path& path, std::string_view bytes);

// A failure for `path` with the reason of `error`, as CommitFile reports it.
FileResult SaveFailure(int error, const std::filesystem::path& path);

// The reason for `error` in the user's words, with the system's own text after it.
std::string SaveFailureReason(int error);

}  // namespace morvat
