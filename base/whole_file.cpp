#include "base/whole_file.h"

#include "base/file_removal.h"
#include "base/handles.h"
#include "base/paths.h"

StatusCode WriteBytesTo(HANDLE file, const void* bytes, std::size_t size)
{
    const auto* at = static_cast<const std::uint8_t*>(bytes);
    while (size > 0) {
        const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, at, chunk, &written, nullptr))
            return StatusFromLastError();
        // A short write is what a full disk looks like.
        if (written != chunk)
            return StatusFromWin32(ERROR_DISK_FULL);
        at += chunk;
        size -= chunk;
    }
    return kStatusOk;
}

namespace {

UniqueFile CreateNewFile(const std::wstring& path)
{
    return UniqueFile(
        CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

StatusCode WriteFileBytes(const std::wstring& path, const void* bytes, std::size_t size)
{
    UniqueFile file(CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    if (!file)
        return StatusFromLastError();
    return WriteBytesTo(file.get(), bytes, size);
}

StatusCode ReplaceFileWhole(const std::wstring& path, const std::wstring& workSuffix, Durability durability,
                            const std::function<StatusCode(HANDLE file)>& write)
{
    const std::wstring work = path + workSuffix;
    UniqueFile file = CreateNewFile(work);
    // A work file that a stopped write left behind is removed (as itself, were it a link),
    // and the work file made new.
    if (!file && GetLastError() == ERROR_FILE_EXISTS && RemoveEntry(work) == kStatusOk)
        file = CreateNewFile(work);
    if (!file)
        return StatusFromLastError();
    StatusCode status = write(file.get());
    if (status == kStatusOk && durability == Durability::kOnDisk && !FlushFileBuffers(file.get()))
        status = StatusFromLastError();
    file.reset();
    const DWORD moveFlags = MOVEFILE_REPLACE_EXISTING | (durability == Durability::kOnDisk ? MOVEFILE_WRITE_THROUGH : 0);
    if (status == kStatusOk && !MoveFileExW(ExtendedLengthPath(work).c_str(), ExtendedLengthPath(path).c_str(), moveFlags))
        status = StatusFromLastError();
    // The first failure is what the caller hears of. A work file that cannot be removed now
    // is removed by the next write of this file before it makes its own.
    if (status != kStatusOk)
        (void)RemoveEntry(work);
    return status;
}

StatusCode ReplaceFileWhole(const std::wstring& path, const void* bytes, std::size_t size,
                            const std::wstring& workSuffix, Durability durability)
{
    return ReplaceFileWhole(path, workSuffix, durability,
                            [&](HANDLE file) { return WriteBytesTo(file, bytes, size); });
}

bool ReadFileBytes(const std::wstring& path, std::uint64_t maxBytes, std::vector<std::uint8_t>* bytes)
{
    bytes->clear();
    UniqueFile file(CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 ||
        static_cast<std::uint64_t>(size.QuadPart) > maxBytes)
        return false;
    bytes->resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < bytes->size()) {
        const std::size_t left = bytes->size() - done;
        const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
        DWORD read = 0;
        if (!ReadFile(file.get(), bytes->data() + done, chunk, &read, nullptr) || read == 0) {
            bytes->clear();
            return false;
        }
        done += read;
    }
    return true;
}
