#include "base/log_file.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "base/handles.h"

LogFile g_Log;

namespace {

// Deny-none sharing, as the runtime's _SH_DENYNO: other programs may read, write, move or
// delete the log between (and during) our lines.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

UniqueFile OpenLog(const std::wstring& path, DWORD disposition)
{
    return UniqueFile(CreateFileW(path.c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                  disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool WriteAll(HANDLE file, const void* data, DWORD bytes)
{
    DWORD written = 0;
    return WriteFile(file, data, bytes, &written, nullptr) && written == bytes;
}

}  // namespace

void LogFile::SetPath(const std::wstring& path)
{
    std::lock_guard<std::mutex> lock(mutex_);
    path_ = path;
}

std::wstring LogFile::Path() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return path_;
}

void LogFile::Write(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    WriteV(format, args);
    va_end(args);
}

void LogFile::WriteV(const wchar_t* format, va_list args)
{
    SYSTEMTIME now{};
    GetLocalTime(&now);

    // One buffer for the whole line, with room for the byte-order mark in front and the line
    // break behind, so that each line reaches the file in a single write.
    wchar_t line[1 + kLineBufferChars + 2];
    wchar_t* const text = line + 1;
    int length = _snwprintf(text, kLineBufferChars, L"%04d/%02d/%02d %02d:%02d:%02d.%03d : ",
                            now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
                            now.wSecond, now.wMilliseconds);
    if (length < 0)
        return;

    // The runtime's own wide printf: there %s is a wide string, as every log format expects.
    wchar_t* const message = text + length;
    const int messageLength = _vsnwprintf(message, kMessageChars - 1, format, args);
    if (messageLength < 0 || messageLength >= kMessageChars - 1) {
        message[kMessageChars - 1] = L'\0';
        length += kMessageChars - 1;
    } else {
        length += messageLength;
    }
    text[length++] = L'\r';
    text[length++] = L'\n';

    std::lock_guard<std::mutex> lock(mutex_);
    if (path_.empty())
        return;

    UniqueFile file = OpenLog(path_, OPEN_ALWAYS);
    if (!file)
        return;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size))
        return;
    if (size.QuadPart > kSizeLimit) {
        file = OpenLog(path_, CREATE_ALWAYS);
        if (!file)
            return;
        size.QuadPart = 0;
    }

    const wchar_t* start = text;
    if (size.QuadPart == 0) {
        line[0] = 0xFEFF;
        start = line;
    }
    const LARGE_INTEGER zero{};
    if (!SetFilePointerEx(file.get(), zero, nullptr, FILE_END))
        return;
    const DWORD bytes = static_cast<DWORD>((text + length - start) * sizeof(wchar_t));
    WriteAll(file.get(), start, bytes);
}
