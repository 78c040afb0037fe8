#include "organize/partial_copies.h"

#include <windows.h>

#include "base/folder_walk.h"
#include "base/paths.h"
#include "organize/output_names.h"

StatusCode RemovePartialCopy(const std::wstring& path, EntryRemover& remover)
{
    const DWORD attributes = GetFileAttributesW(ExtendedLengthPath(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
        !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        SetFileAttributesW(ExtendedLengthPath(path).c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    return remover.Remove(path);
}

namespace {

// Removes the work files of copies a stopped run left, wherever in the tree they are.
class PartialCopyRemover : public FolderWalker {
protected:
    bool Skips(const std::wstring&, const WIN32_FIND_DATAW& found) override
    {
        return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsOwnFolderName(found.cFileName);
    }
    void OnFile(const std::wstring& folder, const WIN32_FIND_DATAW& found) override
    {
        // One that cannot be removed is never listed all the same (its name says what it is),
        // and the copy that next takes its name removes it first.
        if (IsPartialCopyName(found.cFileName))
            (void)RemovePartialCopy(folder + L"\\" + found.cFileName, remover_);
    }

private:
    EntryRemover remover_;
};

}  // namespace

void RemovePartialCopies(const std::wstring& outputFolder)
{
    PartialCopyRemover().Walk(outputFolder);
}
