#pragma once
// A file the run could not organize, and why. A failure that belongs to one file (its name,
// its source gone or unreadable, a destination that cannot be made for it) is that file's
// alone: the run names it and goes on. A failure of the output folder itself (a full disk,
// the folder gone, a write error) would meet every file after it, and ends the run.

#include <string>

#include "base/status_code.h"

// A date folder, or a folder on the way to it, is a link or junction: what it leads to is
// not the output folder's, and nothing is written through it.
inline constexpr StatusCode kStatusLinkedFolder = StatusFromWin32(681);  // ERROR_STOPPED_ON_SYMLINK
// A file stands where a date folder must go.
inline constexpr StatusCode kStatusNotAFolder = StatusFromWin32(ERROR_DIRECTORY);

enum class FileFailureReason {
    kSourceUnreadable,  // gone since it was listed, or it can no longer be read
    kName,              // a name the system refuses
    kLinkedFolder,      // its date folder is a link or junction
    kNotAFolder,        // a file stands where its date folder must go
    kTooLong,           // its destination does not fit the platform's paths
    kNotFlushed,        // copied, but could not be put on the disk
    kDestination,       // its destination could not be made for another reason
};

struct FileFailure {
    std::wstring source;
    std::wstring destination;  // empty when none was chosen
    StatusCode status = kStatusOk;
    FileFailureReason reason = FileFailureReason::kDestination;
};

// True when the failure is the output folder's own (a full disk, the folder gone, a write
// error), so that the run must end; false when it is this one file's. Looks at the disk only
// after a failure.
bool IsOutputFailure(StatusCode status, const std::wstring& source, const std::wstring& outputFolder);

// Why a copy that is the file's own failure failed. Looks at the source only after a failure.
FileFailureReason ReasonOfCopyFailure(StatusCode status, const std::wstring& source);

// The reason as the log and the user read it.
const wchar_t* FileFailureReasonText(FileFailureReason reason);
