#pragma once
// The diagnostic log: one UTF-16LE line per call, time-stamped, opened and closed for each
// line so that the file may be read, moved or deleted while the program runs.

#include <cstdarg>
#include <cstdint>
#include <mutex>
#include <string>

#include "base/base_limits.h"

// The log's name in the data folder (beside the executable when there is none).
inline constexpr wchar_t kLogFileName[] = L"log.txt";

class LogFile {
public:
    static constexpr std::int32_t kSizeLimit = base_limits::kMaxLogBytes;
    static constexpr int kLineBufferChars = 1300;
    static constexpr int kMessageChars = 1040;            // including the terminating null

    LogFile() = default;
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // printf-style; every %s takes a wide string. Never fails to the caller: a line that
    // cannot be written (no path yet, missing folder, access denied) is dropped.
    void Write(const wchar_t* format, ...);
    void WriteV(const wchar_t* format, va_list args);

    void SetPath(const std::wstring& path);
    std::wstring Path() const;

private:
    mutable std::mutex mutex_;  // one open-write-close cycle at a time, process-wide
    std::wstring path_;
};

// The process-wide log.
extern LogFile g_Log;
