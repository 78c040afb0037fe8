#pragma once
// The one way the program walks a folder tree, for reading and for clearing alike, with one
// rule for links: the folder a walk is given is taken wherever it leads (the user named it),
// but below it no link or junction is ever followed. What such a link leads to inside the
// tree is reached by its own path; what lies outside is not the walk's to read or delete. No
// folder is walked twice in a walker's life, however many paths lead to it (two inputs that
// overlap, one folder named twice).

#include <windows.h>

#include <set>
#include <string>

#include "base/file_identity.h"

// "." and "..", which every listing but a drive root's begins with.
bool IsDotEntry(const WIN32_FIND_DATAW& found);
// An entry that stands for another place: a symbolic link, a junction, a mounted volume.
// Placeholders of cloud files and other reparse points that store the entry's own data in
// another form are plain files and folders.
bool IsLinkEntry(const WIN32_FIND_DATAW& found);
// The entry at the path itself, as its folder's listing shows it; false when there is none.
bool FindEntry(const std::wstring& path, WIN32_FIND_DATAW* found);

class FolderWalker {
public:
    virtual ~FolderWalker() = default;

    // The folder's files and sub-folders, depth first in listing order: a sub-folder is walked
    // when it is met. Paths are the folder's path and the entries' names below it.
    void Walk(const std::wstring& folder);
    // Forgets the folders walked: a later Walk goes through them again.
    void ForgetWalkedFolders() { walked_.clear(); }

protected:
    // An entry this walk leaves out entirely (a folder of our own, say); asked first.
    virtual bool Skips(const std::wstring& /*folder*/, const WIN32_FIND_DATAW& /*found*/) { return false; }
    // Called for the walked folder itself and each sub-folder, before and after its entries.
    virtual void OnEnterFolder(const std::wstring& /*path*/) {}
    virtual void OnLeaveFolder(const std::wstring& /*path*/) {}
    virtual void OnFile(const std::wstring& folder, const WIN32_FIND_DATAW& found) = 0;
    // A link or junction below the walked folder, file or folder: not followed.
    virtual void OnLink(const std::wstring& /*path*/, const WIN32_FIND_DATAW& /*found*/) {}
    // A folder or file whose path is past the longest the system can name: it is not
    // searched or handed on, since a cut path would name something else.
    virtual void OnPathTooLong(const std::wstring& /*path*/) {}
    // A folder that could not be listed (denied, locked, gone): nothing in it was handed on.
    virtual void OnUnreadableFolder(const std::wstring& /*path*/, DWORD /*error*/) {}
    // A folder this walker has walked already, reached by another path: not walked again.
    virtual void OnFolderWalkedAlready(const std::wstring& /*path*/) {}
    // Asked before each entry: true ends the whole walk there.
    virtual bool ShouldStop() const { return false; }

private:
    void WalkFolder(const std::wstring& folder);
    // False, after telling the derived class, for a folder walked already.
    bool FirstVisit(const std::wstring& folder);

    std::set<FileIdentity> walked_;
};
