#include "organize/folder_utils.h"

#include <windows.h>

#include "base/folder_walk.h"
#include "base/handles.h"
#include "base/paths.h"
#include "organize/file_failure.h"

namespace {

UniqueFindHandle ListFolder(const std::wstring& folder, WIN32_FIND_DATAW* found)
{
    return UniqueFindHandle(FindFirstFileW(ExtendedLengthPath(folder + L"\\*.*").c_str(), found));
}

}  // namespace

bool IsFolderEmpty(const std::wstring& folder, bool ignoreHiddenFiles)
{
    WIN32_FIND_DATAW found{};
    UniqueFindHandle search = ListFolder(folder, &found);
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

// Copies the walked tree into the destination, as it is met; the first failure ends it.
class TreeCopier : public FolderWalker {
public:
    TreeCopier(const std::wstring& source, const std::wstring& destination)
        : source_(source), destination_(destination)
    {
    }
    StatusCode Status() const { return status_; }
    const std::wstring& FailedPath() const { return failedPath_; }

protected:
    void OnEnterFolder(const std::wstring& path) override
    {
        if (path.size() > source_.size() && !CreateDirectoryW(ExtendedLengthPath(Destination(path)).c_str(), nullptr))
            Note(StatusFromLastError(), Destination(path));
    }
    void OnFile(const std::wstring& folder, const WIN32_FIND_DATAW& found) override
    {
        const std::wstring from = folder + L"\\" + found.cFileName;
        if (!CopyFileW(ExtendedLengthPath(from).c_str(), ExtendedLengthPath(Destination(from)).c_str(), FALSE))
            Note(StatusFromLastError(), Destination(from));
    }
    void OnUnreadableFolder(const std::wstring& path, DWORD error) override { Note(StatusFromWin32(error), path); }
    void OnPathTooLong(const std::wstring& path) override { Note(StatusFromWin32(ERROR_FILENAME_EXCED_RANGE), path); }
    bool ShouldStop() const override { return status_ != kStatusOk; }

private:
    std::wstring Destination(const std::wstring& path) const { return destination_ + path.substr(source_.size()); }
    void Note(StatusCode status, const std::wstring& path)
    {
        if (status_ != kStatusOk)
            return;
        status_ = status;
        failedPath_ = path;
    }

    std::wstring source_, destination_;
    StatusCode status_ = kStatusOk;
    std::wstring failedPath_;
};

}  // namespace

StatusCode CopyFolderTree(const std::wstring& source, const std::wstring& destination, std::wstring* failedPath)
{
    TreeCopier copier(source, destination);
    copier.Walk(source);
    if (failedPath)
        *failedPath = copier.FailedPath();
    return copier.Status();
}

StatusCode CreateFolderPath(const std::wstring& path)
{
    auto create = [](const std::wstring& folder) -> StatusCode {
        if (CreateDirectoryW(ExtendedLengthPath(folder).c_str(), nullptr))
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

StatusCode CreateFolderBelow(const std::wstring& root, const std::wstring& folder)
{
    if (folder.size() <= root.size() || folder.compare(0, root.size(), root) != 0 || folder[root.size()] != L'\\')
        return StatusFromWin32(ERROR_INVALID_PARAMETER);
    if (const StatusCode made = CreateFolderPath(root); made != kStatusOk)
        return made;
    for (std::size_t end = folder.find(L'\\', root.size() + 1);; end = folder.find(L'\\', end + 1)) {
        const std::wstring level = folder.substr(0, end);
        // Made new, it is ours. Already there, it is looked at as its folder lists it: the
        // listing tells a link or junction from a folder without going through it.
        if (!CreateDirectoryW(ExtendedLengthPath(level).c_str(), nullptr)) {
            const DWORD error = GetLastError();
            if (error != ERROR_ALREADY_EXISTS)
                return StatusFromWin32(error);
            WIN32_FIND_DATAW found{};
            if (!FindEntry(level, &found))
                return StatusFromLastError();
            if (IsLinkEntry(found))
                return kStatusLinkedFolder;
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                return kStatusNotAFolder;
        }
        if (end == std::wstring::npos)
            return kStatusOk;
    }
}
