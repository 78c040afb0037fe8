#include "album/album_writes.h"

#include <windows.h>

#include "base/log_file.h"
#include "base/paths.h"
#include "base/status_code.h"

bool AlbumWrites::Check(StatusCode status, const std::wstring& path)
{
    if (status == kStatusOk)
        return true;
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!failed_.load(std::memory_order_relaxed)) {
        status_ = status;
        path_ = path;
        failed_.store(true, std::memory_order_release);
        g_Log.Write(L"写真一覧のファイルを書き込めません = %s %s", path.c_str(), HexStatus(status).c_str());
    }
    return false;
}

bool AlbumWrites::MakeFolder(const std::wstring& path)
{
    if (CreateDirectoryW(ExtendedLengthPath(path).c_str(), nullptr))
        return true;
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS && (GetFileAttributesW(ExtendedLengthPath(path).c_str()) & FILE_ATTRIBUTE_DIRECTORY))
        return true;
    return Check(StatusFromWin32(error), path);
}

StatusCode AlbumWrites::Status() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return status_;
}

std::wstring AlbumWrites::FailedPath() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return path_;
}
