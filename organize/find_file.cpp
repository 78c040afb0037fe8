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

void FindFile_CL::Walk(const std::wstring& folder)
{
    const std::wstring pattern = folder + L"\\" + namePattern_;
    if (pattern.size() >= MAX_PATH) {
        OnPathTooLong(folder);
        return;
    }
    WIN32_FIND_DATAW found{};
    // A folder that cannot be listed counts as empty.
    UniqueFindHandle_CL search(FindFirstFileW(pattern.c_str(), &found));
    if (!search)
        return;
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
        if (IsExcluded(subFolder))
            continue;
        OnEnterFolder(subFolder, name);
        Walk(subFolder);
        OnLeaveFolder();
    } while (FindNextFileW(search.get(), &found));
}
