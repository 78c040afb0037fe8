#include "organize/folder_utils.h"

#include <windows.h>

#include "base/handles.h"

namespace {

bool IsDotEntry(const WIN32_FIND_DATAW& found)
{
    return wcscmp(found.cFileName, L".") == 0 || wcscmp(found.cFileName, L"..") == 0;
}

UniqueFindHandle_CL ListFolder(const std::wstring& folder, WIN32_FIND_DATAW* found)
{
    return UniqueFindHandle_CL(FindFirstFileW((folder + L"\\*.*").c_str(), found));
}

}  // namespace

bool IsFolderEmpty(const std::wstring& folder, bool ignoreHiddenFiles)
{
    WIN32_FIND_DATAW found{};
    UniqueFindHandle_CL search = ListFolder(folder, &found);
    if (!search)
        return true;
    do {
        if (IsDotEntry(found))
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            return false;
        if (!(ignoreHiddenFiles && (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN)))
            return false;
    } while (FindNextFileW(search.get(), &found));
    return true;
}

namespace {

// Deletes what the folder holds but the files `keep` picks; the folder itself goes when
// nothing in it was kept. keptAny: whether anything was.
StatusCode ClearTree(const std::wstring& folder, const KeepFile& keep, bool* keptAny)
{
    *keptAny = false;
    // A link or junction is removed itself, never entered: what it points to lies outside
    // the tree being deleted. (Where the system cannot remove a link without following it,
    // the removal fails and the delete reports it; nothing behind the link is touched.)
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return RemoveDirectoryW(folder.c_str()) ? kStatusOk : StatusFromLastError();
    WIN32_FIND_DATAW found{};
    {
        UniqueFindHandle_CL search = ListFolder(folder, &found);
        if (!search)
            return StatusFromLastError();
        do {
            if (IsDotEntry(found))
                continue;
            const std::wstring path = folder + L"\\" + found.cFileName;
            const bool link = found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && link) {
                if (!RemoveDirectoryW(path.c_str()))
                    return StatusFromLastError();
            } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                bool keptInside = false;
                if (const StatusCode status = ClearTree(path, keep, &keptInside); status != kStatusOk)
                    return status;
                *keptAny = *keptAny || keptInside;
            } else if (!link && keep && keep(path, found)) {
                *keptAny = true;
            } else if (!DeleteFileW(path.c_str())) {
                return StatusFromLastError();
            }
        } while (FindNextFileW(search.get(), &found));
    }
    if (*keptAny)
        return kStatusOk;
    return RemoveDirectoryW(folder.c_str()) ? kStatusOk : StatusFromLastError();
}

}  // namespace

StatusCode DeleteFolderTree(const std::wstring& folder)
{
    bool keptAny = false;
    return ClearTree(folder, nullptr, &keptAny);
}

StatusCode ClearFolderTree(const std::wstring& folder, const KeepFile& keep)
{
    bool keptAny = false;
    return ClearTree(folder, keep, &keptAny);
}

StatusCode CopyFolderTree(const std::wstring& source, const std::wstring& destination)
{
    WIN32_FIND_DATAW found{};
    UniqueFindHandle_CL search = ListFolder(source, &found);
    if (!search)
        return StatusFromLastError();
    do {
        if (IsDotEntry(found))
            continue;
        const std::wstring from = source + L"\\" + found.cFileName;
        const std::wstring to = destination + L"\\" + found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!CreateDirectoryW(to.c_str(), nullptr))
                return StatusFromLastError();
            if (const StatusCode status = CopyFolderTree(from, to); status != kStatusOk)
                return status;
        } else if (!CopyFileW(from.c_str(), to.c_str(), FALSE)) {
            return StatusFromLastError();
        }
    } while (FindNextFileW(search.get(), &found));
    return kStatusOk;
}

StatusCode CreateFolderPath(const std::wstring& path)
{
    auto create = [](const std::wstring& folder) -> StatusCode {
        if (CreateDirectoryW(folder.c_str(), nullptr))
            return kStatusOk;
        const DWORD error = GetLastError();
        return error == ERROR_ALREADY_EXISTS ? kStatusOk : StatusFromWin32(error);
    };
    // Every backslash that does not follow a drive's colon ends a level to create.
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] != L'\\' || (i > 0 && path[i - 1] == L':'))
            continue;
        if (const StatusCode status = create(path.substr(0, i)); status != kStatusOk)
            return status;
    }
    return create(path);
}
