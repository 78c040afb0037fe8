#include "organize/find_file.h"

#include "base/handles.h"
#include "base/path_text.h"

void FindFile_CL::Find(const std::wstring& pattern, bool recursive)
{
    recursive_ = recursive;
    // A pattern past the platform's path limit would have to be cut to be searched, and a
    // cut pattern names another folder: such a pattern finds nothing.
    if (pattern.size() >= MAX_PATH)
        return;
    const size_t slash = pattern.rfind(L'\\');
    namePattern_ = slash == std::wstring::npos ? pattern : pattern.substr(slash + 1);
    baseFolder_ = WithoutTrailingBackslash(slash == std::wstring::npos ? std::wstring() : pattern.substr(0, slash + 1));
    if (!FirstVisit(baseFolder_))
        return;
    OnEnterFolder(baseFolder_, baseFolder_);
    Walk(baseFolder_);
    OnLeaveFolder();
}

void FindFile_CL::AddExcludedFolder(const std::wstring& path)
{
    excludedFolders_.push_back(path);
}

void FindFile_CL::Reset()
{
    excludedFolders_.clear();
    walked_.clear();
    namePattern_.clear();
    baseFolder_.clear();
}

bool FindFile_CL::IsExcluded(const std::wstring& folder) const
{
    for (const std::wstring& excluded : excludedFolders_) {
        if (CompareStringOrdinal(folder.c_str(), static_cast<int>(folder.size()), excluded.c_str(),
                                 static_cast<int>(excluded.size()), TRUE) == CSTR_EQUAL)
            return true;
    }
    return false;
}

bool FindFile_CL::FirstVisit(const std::wstring& folder)
{
    // A folder whose identity cannot be learned is walked: its listing will say what is wrong.
    FileIdentity_CL identity;
    if (!IdentityOf(folder, &identity) || walked_.insert(identity).second)
        return true;
    OnFolderWalkedAlready(folder);
    return false;
}

void FindFile_CL::Walk(const std::wstring& folder)
{
    const std::wstring pattern = folder + L"\\" + namePattern_;
    if (pattern.size() >= MAX_PATH) {
        OnPathTooLong(folder);
        return;
    }
    WIN32_FIND_DATAW found{};
    UniqueFindHandle_CL search(FindFirstFileW(pattern.c_str(), &found));
    if (!search) {
        // Nothing to match is an empty folder (a drive's root has no dot entries); any other
        // answer means its files could not be seen.
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_NO_MORE_FILES)
            OnUnreadableFolder(folder, error);
        return;
    }
    do {
        if (ShouldStop())
            return;
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            if (folder.size() + 1 + name.size() >= MAX_PATH)
                OnPathTooLong(folder + L"\\" + name);
            else
                OnFile(folder, found);
            continue;
        }
        if (!recursive_)
            continue;
        const std::wstring subFolder = folder + L"\\" + name;
        if (IsExcluded(subFolder) || !FirstVisit(subFolder))
            continue;
        OnEnterFolder(subFolder, name);
        Walk(subFolder);
        OnLeaveFolder();
    } while (FindNextFileW(search.get(), &found));
}
