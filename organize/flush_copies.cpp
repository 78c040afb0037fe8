#include "organize/flush_copies.h"

#include <windows.h>

#include <algorithm>

#include "base/handles.h"
#include "base/parallel_for.h"
#include "base/paths.h"

namespace {

// The most flushes at once, however many copy workers the run has.
constexpr int kMaxFlushThreads = 16;

UniqueFile OpenToFlush(const std::wstring& copy)
{
    // Opened as itself: a name that has become a link is not written through.
    return UniqueFile(CreateFileW(ExtendedLengthPath(copy).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

StatusCode FlushToDisk(const std::wstring& copy)
{
    // A photo a camera marked as protected is read-only, and so is its copy, which then
    // refuses to be opened for writing: the mark is lifted for the flush and put back. (Looked
    // at first: an administrator may open it all the same, and the mark would then stay.)
    const DWORD attributes = GetFileAttributesW(ExtendedLengthPath(copy).c_str());
    const bool protectedCopy = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
                               !(attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
                               SetFileAttributesW(ExtendedLengthPath(copy).c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    UniqueFile file = OpenToFlush(copy);
    const StatusCode flushed = file && FlushFileBuffers(file.get()) ? kStatusOk : StatusFromLastError();
    file.reset();
    if (protectedCopy)
        SetFileAttributesW(ExtendedLengthPath(copy).c_str(), attributes);
    return flushed;
}

}  // namespace

std::vector<std::pair<std::wstring, StatusCode>> FlushCopiesToDisk(const std::vector<std::wstring>& copies,
                                                                   int threads)
{
    std::vector<std::pair<std::wstring, StatusCode>> failed;
    if (copies.empty())
        return failed;
    // Each copy counts as not flushed until its flush says otherwise: one whose flush could not
    // run to its end (memory ran short) is never vouched for.
    std::vector<StatusCode> flushed(copies.size(), kStatusFail);
    ParallelFor(copies.size(), std::clamp(threads, 1, kMaxFlushThreads),
                [&](std::size_t i) { flushed[i] = FlushToDisk(copies[i]); });
    for (std::size_t i = 0; i < copies.size(); ++i) {
        if (flushed[i] != kStatusOk)
            failed.emplace_back(copies[i], flushed[i]);
    }
    return failed;
}
