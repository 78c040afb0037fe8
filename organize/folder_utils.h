#pragma once
// Folder utilities of the run and the album: emptiness, recursive delete and copy, and the
// creation of a nested folder path. Results are status codes; the first error stops them.

#include <windows.h>

#include <functional>
#include <string>

#include "base/status_code.h"

// True when the folder holds nothing that counts (a folder that cannot be listed holds
// nothing). Any sub-folder counts, hidden or not; hidden files count unless ignored.
bool IsFolderEmpty(const std::wstring& folder, bool ignoreHiddenFiles);
// The folder and everything in it; links and junctions inside are removed, never followed.
StatusCode DeleteFolderTree(const std::wstring& folder);
// Which plain files a clearing leaves, by their path and their entry in the folder's listing.
using KeepFile = std::function<bool(const std::wstring& path, const WIN32_FIND_DATAW& found)>;
// As DeleteFolderTree, but the files `keep` picks stay, and so do the folders that hold them.
StatusCode ClearFolderTree(const std::wstring& folder, const KeepFile& keep);
// Into an existing destination; existing files there are overwritten, existing
// sub-folders are an error.
StatusCode CopyFolderTree(const std::wstring& source, const std::wstring& destination);
// Creates every missing level of the path; existing levels are fine.
StatusCode CreateFolderPath(const std::wstring& path);
