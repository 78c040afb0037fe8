#pragma once
// A recursive file finder: walks a folder tree depth-first in listing order and hands every
// file to a derived class. Excluded folders are never entered.

#include <windows.h>

#include <string>
#include <vector>

class FindFile_CL {
public:
    virtual ~FindFile_CL() = default;

    // pattern: a full search pattern such as D:\Photos\*.*.
    void Find(const std::wstring& pattern, bool recursive);
    void AddExcludedFolder(const std::wstring& path);
    void Reset();

protected:
    virtual void OnEnterFolder(const std::wstring& /*folderPath*/, const std::wstring& /*folderName*/) {}
    virtual void OnFile(const std::wstring& folderPath, const WIN32_FIND_DATAW& found) = 0;
    virtual void OnLeaveFolder() {}
    // A folder or file whose path does not fit the platform's 260 characters: it is not
    // searched or handed on, since a cut path would name something else.
    virtual void OnPathTooLong(const std::wstring& /*path*/) {}
    // Asked before each entry: true ends the whole walk there.
    virtual bool ShouldStop() const { return false; }

private:
    void Walk(const std::wstring& folder);
    bool IsExcluded(const std::wstring& folder) const;

    std::wstring namePattern_;
    std::wstring baseFolder_;
    std::vector<std::wstring> excludedFolders_;
    bool recursive_ = false;
};
