#pragma once
// Removing what the program made, and nothing else. Every removal opens the entry itself (a
// link or junction as itself, not what it leads to), checks that it really lies where its
// path says, and removes it through that same handle: a link the platform does not show as
// one is found by where it leads, and nothing can swap the entry between check and removal.

#include <windows.h>

#include <functional>
#include <string>

#include "base/status_code.h"

// What a removal refuses an entry with that turned out to lead somewhere else.
inline constexpr StatusCode kStatusLeadsElsewhere = StatusFromWin32(ERROR_CANT_ACCESS_FILE);

// Removes entries of one folder after another, remembering where the last folder lies.
class EntryRemover {
public:
    // The file, the empty folder, or the link or junction itself at the path.
    StatusCode Remove(const std::wstring& path);

private:
    std::wstring parent_;       // the folder of the last entry removed
    std::wstring parentFinal_;  // where it really lies
};

// One entry, as EntryRemover removes it.
StatusCode RemoveEntry(const std::wstring& path);
// RemoveEntry when there is something at the path; success when there is nothing.
StatusCode RemoveEntryIfThere(const std::wstring& path);

// The folder and everything in it. Links and junctions inside are removed, never followed;
// so is the folder itself when it is one (or a file). The first failure stops it and is
// returned.
StatusCode DeleteFolderTree(const std::wstring& folder);
// Which plain files a clearing leaves, by their path and their entry in the folder's listing.
using KeepFile = std::function<bool(const std::wstring& path, const WIN32_FIND_DATAW& found)>;
// As DeleteFolderTree, but the files `keep` picks stay, and so do the folders that hold them.
// failedPath, when given, is set to what the first failure was at.
StatusCode ClearFolderTree(const std::wstring& folder, const KeepFile& keep, std::wstring* failedPath = nullptr);
