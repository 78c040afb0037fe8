#pragma once
// The writes of one album build, as they come out: the first that failed, and where. A build
// with a failed write is a failed build, whatever else it made, and the user is told which
// file and why. Safe to use from several threads at once.

#include <atomic>
#include <mutex>
#include <string>

#include "base/status_code.h"

class AlbumWrites {
public:
    // The outcome of one write of the file or folder at the path; true when it went through.
    bool Check(StatusCode status, const std::wstring& path);
    // Makes the folder when it is not there; an existing folder is fine.
    bool MakeFolder(const std::wstring& path);

    bool Failed() const { return failed_.load(std::memory_order_acquire); }
    StatusCode Status() const;
    std::wstring FailedPath() const;

private:
    mutable std::mutex mutex_;
    std::atomic<bool> failed_{false};
    StatusCode status_ = kStatusOk;
    std::wstring path_;
};
