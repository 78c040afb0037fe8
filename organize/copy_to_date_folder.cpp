#include "organize/copy_to_date_folder.h"

#include <windows.h>

#include <algorithm>
#include <mutex>
#include <thread>

#include "base/file_removal.h"
#include "base/folder_walk.h"
#include "base/handles.h"
#include "base/paths.h"
#include "organize/date_folder_format.h"
#include "organize/folder_utils.h"
#include "organize/output_names.h"

namespace {

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The key under which the file system takes two names as one: it ignores letter case.
std::wstring UpperCasePath(std::wstring path)
{
    if (!path.empty())
        CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
    return path;
}

// A path that does not fit the platform's 260-character buffers is refused rather than
// cut: a cut destination would put the file somewhere else.
bool Fits(const std::wstring& path)
{
    return path.size() < MAX_PATH;
}

}  // namespace

StatusCode DateFolderWriter::MakeFolder(const std::wstring& folder)
{
    if (folders_.count(folder))
        return kStatusOk;
    const StatusCode made = CreateFolderBelow(outputFolder_, folder);
    if (made == kStatusOk)
        folders_.insert(folder);
    return made;
}

DateFolderWriter::FolderNames& DateFolderWriter::NamesIn(const std::wstring& folder)
{
    auto [entry, added] = names_.try_emplace(folder);
    FolderNames& names = entry->second;
    if (!added)
        return names;
    // Read once, when the run first comes to the folder: a lookup of each name instead costs
    // a search of the folder each time on some file systems.
    WIN32_FIND_DATAW found{};
    UniqueFindHandle find(FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) {
        // Not there yet: nothing in it is taken. Unreadable: each name is looked up instead.
        const DWORD error = GetLastError();
        names.listed = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return names;
    }
    names.listed = true;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            names.found.insert(UpperCasePath(name));
    } while (FindNextFileW(find.get(), &found));
    return names;
}

bool DateFolderWriter::FolderNames::Found(const std::wstring& folder, const std::wstring& upperName) const
{
    return listed ? found.count(upperName) != 0 : Exists(folder + L"\\" + upperName);
}

StatusCode DateFolderWriter::Plan(const FileFacts& file, PlannedCopy* plan)
{
    *plan = PlannedCopy{};
    plan->source = file.path;
    plan->signature = file.signature;
    plan->datedByLastWrite = file.source == CaptureDateSource::kLastWrite;
    if (file.source == CaptureDateSource::kNone)
        return kStatusFail;
    // The name this system can hold: a card written elsewhere may end one in a dot or a space.
    const std::wstring name = WithoutTrailingDotsAndSpaces(NameOfPath(file.path));
    if (name.empty())
        return StatusFromWin32(ERROR_INVALID_NAME);
    const std::wstring folder = outputFolder_ + L"\\" + MakeDateFolderName(file.date, formatIndex_);
    std::wstring target = folder + L"\\" + name;
    if (!Fits(target))
        return StatusFromWin32(ERROR_FILENAME_EXCED_RANGE);
    // The folder first: its names are read, and its files compared, only when it is the
    // output folder's own and not a link to somewhere else.
    if (const StatusCode made = MakeFolder(folder); made != kStatusOk) {
        plan->destination = target;
        return made;
    }

    // A name that is taken goes to the next free counter, unless what has it is this very
    // content: a copy made before the record could say so. A name this run gave out holds
    // other content (the run's duplicates never get this far).
    const std::wstring extension = ExtensionOf(name);
    const std::wstring stem = name.substr(0, name.size() - extension.size());
    FolderNames& names = NamesIn(folder);
    std::wstring upperName = UpperCasePath(name);
    for (int n = 1;; ++n) {
        const bool given = names.given.count(upperName) != 0;
        if (!given && !names.Found(folder, upperName))
            break;
        if (!given && !FilesDiffer(file.path, target, buffers_)) {
            plan->destination = target;
            plan->alreadyThere = true;
            return kStatusOk;
        }
        if (n > kMaxClashCounter)
            break;  // with every counter taken the last candidate stands, and the copy refuses it
        const std::wstring counted = stem + L"(" + std::to_wstring(n) + L")" + extension;
        target = folder + L"\\" + counted;
        upperName = UpperCasePath(counted);
        if (!Fits(target))
            return StatusFromWin32(ERROR_FILENAME_EXCED_RANGE);
    }

    plan->destination = target;
    names.given.insert(std::move(upperName));
    // The work name is in the output folder itself, which holds few names: a search there is
    // cheap where a file system searches the whole folder for each new name (a date folder
    // may hold thousands). No room for it: the copy goes straight to its place.
    const std::wstring partial = outputFolder_ + L"\\" + kPartialCopyName + std::to_wstring(++partialSerial_);
    if (Fits(partial))
        plan->partial = partial;
    return kStatusOk;
}

namespace {

// The copy made under the work name, then renamed into place without replacing anything: the
// name is the file's only when it is whole.
StatusCode CopyThrough(const std::wstring& source, const std::wstring& partial, const std::wstring& destination)
{
    // The work file is made new: one left under its name is removed first (as itself, were it
    // a link), never written through.
    bool copied = CopyFileW(source.c_str(), partial.c_str(), TRUE);
    if (!copied && GetLastError() == ERROR_FILE_EXISTS && RemoveEntry(partial) == kStatusOk)
        copied = CopyFileW(source.c_str(), partial.c_str(), TRUE);
    if (copied && MoveFileExW(partial.c_str(), destination.c_str(), MOVEFILE_WRITE_THROUGH))
        return kStatusOk;
    const StatusCode failed = StatusFromLastError();
    RemoveEntryIfThere(partial);
    return failed;
}

}  // namespace

StatusCode DateFolderWriter::Make(const PlannedCopy& plan)
{
    if (plan.alreadyThere)
        return kStatusOk;
    if (plan.partial.empty())
        return CopyFileW(plan.source.c_str(), plan.destination.c_str(), TRUE) ? kStatusOk : StatusFromLastError();
    return CopyThrough(plan.source, plan.partial, plan.destination);
}

StatusCode DateFolderWriter::Copy(const FileFacts& file, std::wstring* destination, bool* alreadyThere)
{
    PlannedCopy plan;
    StatusCode status = Plan(file, &plan);
    if (status == kStatusOk)
        status = Make(plan);
    *destination = plan.destination;
    *alreadyThere = plan.alreadyThere;
    return status;
}

StatusCode CopyToDateFolder(const std::wstring& outputFolder, const std::wstring& sourcePath, int formatIndex,
                            std::wstring* destination)
{
    FileFacts facts;
    GatherFileFacts(sourcePath, nullptr, &facts);
    DateFolderWriter writer(outputFolder, formatIndex);
    bool alreadyThere = false;
    return writer.Copy(facts, destination, &alreadyThere);
}

namespace {

UniqueFile OpenToFlush(const std::wstring& copy)
{
    // Opened as itself: a name that has become a link is not written through.
    return UniqueFile(CreateFileW(copy.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

StatusCode FlushToDisk(const std::wstring& copy)
{
    UniqueFile file = OpenToFlush(copy);
    // A photo a camera marked as protected is read-only, and so is its copy, which then
    // refuses to be opened for writing: the mark is lifted for the flush and put back.
    const DWORD attributes = file ? 0 : GetFileAttributesW(copy.c_str());
    if (!file && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
        SetFileAttributesW(copy.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY)) {
        file = OpenToFlush(copy);
        const DWORD error = GetLastError();
        SetFileAttributesW(copy.c_str(), attributes);
        SetLastError(error);
    }
    return file && FlushFileBuffers(file.get()) ? kStatusOk : StatusFromLastError();
}

}  // namespace

std::vector<std::pair<std::wstring, StatusCode>> FlushCopiesToDisk(const std::vector<std::wstring>& copies,
                                                                   int threads)
{
    std::vector<std::pair<std::wstring, StatusCode>> failed;
    std::mutex failedLock;
    auto flushEvery = [&](std::size_t first, std::size_t step) {
        for (std::size_t i = first; i < copies.size(); i += step) {
            if (const StatusCode status = FlushToDisk(copies[i]); status != kStatusOk) {
                std::lock_guard<std::mutex> lock(failedLock);
                failed.emplace_back(copies[i], status);
            }
        }
    };
    const auto count = static_cast<std::size_t>(std::clamp(threads, 1, 16));
    std::vector<std::thread> helpers;
    for (std::size_t t = 1; t < count && t < copies.size(); ++t)
        helpers.emplace_back(flushEvery, t, count);
    flushEvery(0, count);
    for (std::thread& helper : helpers)
        helper.join();
    return failed;
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
        if (IsPartialCopyName(found.cFileName))
            remover_.Remove(folder + L"\\" + found.cFileName);
    }

private:
    EntryRemover remover_;
};

}  // namespace

void RemovePartialCopies(const std::wstring& folder)
{
    PartialCopyRemover().Walk(folder);
}
