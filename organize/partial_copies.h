#pragma once
// The work files of copies in the making (output_names.h names them): the one a failed copy
// leaves, and those a stopped run left anywhere in the output folder's tree.

#include <string>

#include "base/file_removal.h"
#include "base/status_code.h"

// Removes one work file of ours. One made from a photo a camera marked as protected is
// read-only, as its source is, and would refuse to go: the mark is lifted first.
StatusCode RemovePartialCopy(const std::wstring& path, EntryRemover& remover);

// Removes the work files a stopped run left in the output folder's tree, the album and its
// cache left out.
void RemovePartialCopies(const std::wstring& outputFolder);
