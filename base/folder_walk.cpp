#include "base/folder_walk.h"

#include <cwchar>

#include "base/handles.h"
#include "base/path_text.h"
#include "base/paths.h"

bool IsDotEntry(const WIN32_FIND_DATAW& found)
{
    return wcscmp(found.cFileName, L".") == 0 || wcscmp(found.cFileName, L"..") == 0;
}

bool IsLinkEntry(const WIN32_FIND_DATAW& found)
{
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    // The listing gives the reparse tag in the first reserved field. The compatibility layer
    // that runs our tests marks a link to a folder by its attribute alone, with no tag: an
    // entry that says it is a reparse point and will not say of what kind is taken as a link.
    const DWORD tag = found.dwReserved0;
    return tag == 0 || IsReparseTagNameSurrogate(tag);
}

bool FindEntry(const std::wstring& path, WIN32_FIND_DATAW* found)
{
    // A pattern without wildcards lists the entry itself; one with them would list others.
    if (path.find_first_of(L"*?") != std::wstring::npos)
        return false;
    return static_cast<bool>(UniqueFindHandle(FindFirstFileW(ExtendedLengthPath(path).c_str(), found)));
}

namespace {

// Whether listings mark a link to a file as a link. The system's do, with its reparse tag. The
// compatibility layer that runs our tests lists such a link as the file it leads to; it is
// known by the function only it exports.
bool ListingsMarkFileLinks()
{
    static const bool marked =
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") == nullptr;
    return marked;
}

// A file the listing shows as plain that is really a link: opened as itself (where the
// platform can), it lies elsewhere than its path says. folderFinal: where the folder lies,
// learned at the first file that asks.
bool IsUnmarkedFileLink(const std::wstring& folder, const std::wstring& path, std::wstring* folderFinal)
{
    const std::wstring name = NameOfPath(path);
    // A device's name is never opened: it would open the device.
    if (ListingsMarkFileLinks() || IsDeviceName(name))
        return false;
    UniqueFile entry(CreateFileW(ExtendedLengthPath(path).c_str(), FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!entry)
        return false;  // nothing to follow: a read of it fails as well
    if (folderFinal->empty())
        *folderFinal = FinalFolderPathOf(folder);
    const std::wstring final = FinalPathOf(entry.get(), path);
    return !final.empty() && !folderFinal->empty() && !LiesWhereListed(final, *folderFinal, name);
}

}  // namespace

void FolderWalker::Walk(const std::wstring& folder)
{
    if (!FirstVisit(folder))
        return;
    OnEnterFolder(folder);
    WalkFolder(folder);
    OnLeaveFolder(folder);
}

bool FolderWalker::FirstVisit(const std::wstring& folder)
{
    // A folder whose identity cannot be learned is walked: its listing will say what is wrong.
    FileIdentity identity;
    if (!IdentityOf(folder, &identity) || walked_.insert(identity).second)
        return true;
    OnFolderWalkedAlready(folder);
    return false;
}

void FolderWalker::WalkFolder(const std::wstring& folder)
{
    const std::wstring pattern = folder + L"\\*";
    if (!FitsPathLimit(pattern)) {
        OnPathTooLong(folder);
        return;
    }
    WIN32_FIND_DATAW found{};
    UniqueFindHandle search(FindFirstFileW(ExtendedLengthPath(pattern).c_str(), &found));
    if (!search) {
        // Nothing to match is an empty folder (a drive's root has no dot entries); any other
        // answer means its entries could not be seen.
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_NO_MORE_FILES)
            OnUnreadableFolder(folder, error);
        return;
    }
    std::wstring folderFinal;
    do {
        if (ShouldStop())
            return;
        if (IsDotEntry(found) || Skips(folder, found))
            continue;
        const std::wstring path = folder + L"\\" + found.cFileName;
        if (!FitsPathLimit(path)) {
            OnPathTooLong(path);
        } else if (IsLinkEntry(found) ||
                   (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsUnmarkedFileLink(folder, path, &folderFinal))) {
            OnLink(path, found);
        } else if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            OnFile(folder, found);
        } else if (FirstVisit(path)) {
            OnEnterFolder(path);
            WalkFolder(path);
            OnLeaveFolder(path);
        }
    } while (FindNextFileW(search.get(), &found));
}
