#pragma once
// Folder utilities of the run and the album: emptiness, recursive copy, and the creation of
// a nested folder path. Results are status codes; the first error stops them. (Removing a
// tree is base/file_removal.h's.)

#include <string>

#include "base/status_code.h"

// True when the folder holds nothing that counts (a folder that cannot be listed holds
// nothing). Any sub-folder counts, hidden or not; hidden files count unless ignored.
bool IsFolderEmpty(const std::wstring& folder, bool ignoreHiddenFiles);
// Into an existing destination; existing files there are overwritten, existing
// sub-folders are an error. failedPath, when given, is set to what the first failure was at.
StatusCode CopyFolderTree(const std::wstring& source, const std::wstring& destination,
                          std::wstring* failedPath = nullptr);
// Creates every missing level of the path; existing levels are fine.
StatusCode CreateFolderPath(const std::wstring& path);
// Creates `root` and every missing level of `folder` below it. The root is taken wherever it
// leads: the user named it. A level below it that is there must be a folder of its own: a link or
// junction there is refused with kStatusLinkedFolder and never entered, a file with
// kStatusNotAFolder (file_failure.h).
StatusCode CreateFolderBelow(const std::wstring& root, const std::wstring& folder);
