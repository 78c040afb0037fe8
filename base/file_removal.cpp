#include "base/file_removal.h"

#include <vector>

#include "base/file_identity.h"
#include "base/folder_walk.h"
#include "base/handles.h"
#include "base/path_text.h"
#include "base/paths.h"

namespace {

// Clears a tree below the walked folder: files `keep` does not pick, links, and the folders
// that are left empty, the walked folder last. The first failure ends the walk.
class TreeClearer : public FolderWalker {
public:
    explicit TreeClearer(const KeepFile& keep) : keep_(keep) {}

    StatusCode Status() const { return status_; }
    const std::wstring& FailedPath() const { return failedPath_; }

protected:
    void OnEnterFolder(const std::wstring&) override { keptBelow_.push_back(false); }
    void OnLeaveFolder(const std::wstring& path) override
    {
        const bool kept = keptBelow_.back();
        keptBelow_.pop_back();
        if (kept && !keptBelow_.empty())
            keptBelow_.back() = true;
        if (!kept && status_ == kStatusOk)
            Note(remover_.Remove(path), path);
    }
    void OnFile(const std::wstring& folder, const WIN32_FIND_DATAW& found) override
    {
        const std::wstring path = folder + L"\\" + found.cFileName;
        if (keep_ && keep_(path, found))
            keptBelow_.back() = true;
        else
            Note(remover_.Remove(path), path);
    }
    void OnLink(const std::wstring& path, const WIN32_FIND_DATAW&) override { Note(remover_.Remove(path), path); }
    void OnPathTooLong(const std::wstring& path) override { Note(StatusFromWin32(ERROR_FILENAME_EXCED_RANGE), path); }
    void OnUnreadableFolder(const std::wstring& path, DWORD error) override { Note(StatusFromWin32(error), path); }
    bool ShouldStop() const override { return status_ != kStatusOk; }

private:
    void Note(StatusCode status, const std::wstring& path)
    {
        if (status_ != kStatusOk || status == kStatusOk)
            return;
        status_ = status;
        failedPath_ = path;
    }

    const KeepFile& keep_;
    EntryRemover remover_;
    std::vector<bool> keptBelow_;  // per folder being walked: whether something in it stays
    StatusCode status_ = kStatusOk;
    std::wstring failedPath_;
};

}  // namespace

StatusCode EntryRemover::Remove(const std::wstring& path)
{
    const std::size_t slash = path.rfind(L'\\');
    if (slash == std::wstring::npos || slash + 1 == path.size())
        return StatusFromWin32(ERROR_INVALID_NAME);
    const std::wstring parent = path.substr(0, slash);
    if (parentFinal_.empty() || parent != parent_) {
        parent_ = parent;
        parentFinal_ = FinalFolderPathOf(parent);
        if (parentFinal_.empty())
            return StatusFromLastError();
    }
    // The entry itself: a link or junction is opened as what it is, not as where it leads.
    UniqueFile entry(CreateFileW(ExtendedLengthPath(path).c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!entry)
        return StatusFromLastError();
    // Where the compatibility layer of our tests cannot open a link as itself, it opens what
    // the link leads to, and removing that would remove a file or an empty folder outside.
    // What does not lie where its path says is left alone.
    if (!LiesWhereListed(FinalPathOf(entry.get(), path), parentFinal_, path.substr(slash + 1)))
        return kStatusLeadsElsewhere;
    // Removed when the handle closes; a read-only file and a folder that is not empty refuse.
    FILE_DISPOSITION_INFO disposition{TRUE};
    if (!SetFileInformationByHandle(entry.get(), FileDispositionInfo, &disposition, sizeof disposition))
        return StatusFromLastError();
    entry.reset();
    // The compatibility layer takes the removal and only tries it at the close, where a
    // read-only disk refuses it unheard: an entry still there was not removed.
    if (GetFileAttributesW(ExtendedLengthPath(path).c_str()) != INVALID_FILE_ATTRIBUTES)
        return StatusFromWin32(ERROR_ACCESS_DENIED);
    return kStatusOk;
}

StatusCode RemoveEntry(const std::wstring& path)
{
    return EntryRemover().Remove(path);
}

StatusCode RemoveEntryIfThere(const std::wstring& path)
{
    WIN32_FIND_DATAW found{};
    return FindEntry(path, &found) ? RemoveEntry(path) : kStatusOk;
}

StatusCode DeleteFolderTree(const std::wstring& folder)
{
    return ClearFolderTree(folder, nullptr);
}

StatusCode ClearFolderTree(const std::wstring& folder, const KeepFile& keep, std::wstring* failedPath)
{
    if (failedPath)
        *failedPath = folder;
    // The folder itself as a link or junction (or a file) is removed as one, never entered.
    WIN32_FIND_DATAW found{};
    if (FindEntry(folder, &found) && (IsLinkEntry(found) || !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)))
        return RemoveEntry(folder);
    TreeClearer clearer(keep);
    clearer.Walk(folder);
    if (failedPath)
        *failedPath = clearer.FailedPath();
    return clearer.Status();
}
