// SPDX-License-Identifier: MIT
// How reading or writing one of the tool's own files ended: a cws file, the settings file,
// any save. One type for all of them, so that every caller asks and tells the same way.
// The card readers keep their numbered codes, which say which field of a card broke.
#pragma once

#include <string>

namespace morvat {

enum class FileStatus {
    Ok,
    Missing,     // reading: there is no file of that name
    Unreadable,  // reading: no regular file, or the system refused a read; `error` says why
    TooLarge,    // reading: more than the reader takes
    NotWhole,    // reading: read to its end, but not a whole file of its kind
    ReadOnly,    // saving: the existing file is read-only, refused before anything was written
    Failed,      // saving: the system refused a step; `error` says why
};

struct FileResult {
    FileStatus status = FileStatus::Failed;
    int error = 0;       // the errno of the step that failed, when the system refused one
    std::string detail;  // why, for the user, where the caller shows more than the status

    bool ok() const { return status == FileStatus::Ok; }
};

}  // namespace morvat
