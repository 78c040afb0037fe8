#pragma once
// A recursive file finder: walks a folder tree depth-first in listing order and hands every
// file to a derived class. Excluded folders are never entered, and no folder is walked twice
// in one search, however many links lead to it.

#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "organize/file_identity.h"

class FindFile_CL {
public:
    virtual ~FindFile_CL() = default;

    // pattern: a full search pattern such as D:\Photos\*.*.
    void Find(const std::wstring& pattern, bool recursive);
    void AddExcludedFolder(const std::wstring& path);
    // Forgets the exclusions and the folders walked: Find calls before it count as one search.
    void Reset();

protected:
    virtual void OnEnterFolder(const std::wstring& /*folderPath*/, const std::wstring& /*folderName*/) {}
    virtual void OnFile(const std::wstring& folderPath, const WIN32_FIND_DATAW& found) = 0;
    virtual void OnLeaveFolder() {}
    // A folder or file whose path does not fit the platform's 260 characters: it is not
    // searched or handed on, since a cut path would name something else.
    virtual void OnPathTooLong(const std::wstring& /*path*/) {}
    // A folder that could not be listed (denied, locked, gone): nothing in it was handed on.
    virtual void OnUnreadableFolder(const std::wstring& /*folderPath*/, DWORD /*error*/) {}
    // A folder reached again, through a link or a junction to a folder this search has walked
    // or is walking (a link to its own parent, say): it is not walked again.
    virtual void OnFolderWalkedAlready(const std::wstring& /*folderPath*/) {}
    // Asked before each entry: true ends the whole walk there.
    virtual bool ShouldStop() const { return false; }

private:
    void Walk(const std::wstring& folder);
    bool IsExcluded(const std::wstring& folder) const;
    // False, after telling the derived class, for a folder this search has walked already.
    bool FirstVisit(const std::wstring& folder);

    std::wstring namePattern_;
    std::wstring baseFolder_;
    std::vector<std::wstring> excludedFolders_;
    std::set<FileIdentity_CL> walked_;
    bool recursive_ = false;
};
