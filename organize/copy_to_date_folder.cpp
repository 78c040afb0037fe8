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
#include "organize/file_groups.h"
#include "organize/folder_utils.h"
#include "organize/organize_limits.h"
#include "organize/output_names.h"

namespace {

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(ExtendedLengthPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A path past the longest the system can name is refused rather than cut: a cut destination
// would put the file somewhere else.
bool Fits(const std::wstring& path)
{
    return FitsPathLimit(path);
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
    UniqueFindHandle find(FindFirstFileExW(ExtendedLengthPath(folder + L"\\*").c_str(), FindExInfoBasic, &found,
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
    std::vector<PlannedCopy> plans;
    const StatusCode planned = PlanGroup({&file}, &plans);
    *plan = std::move(plans.front());
    return planned;
}

StatusCode DateFolderWriter::PlanGroup(const std::vector<const FileFacts*>& members, std::vector<PlannedCopy>* plans)
{
    plans->assign(members.size(), PlannedCopy{});
    for (std::size_t i = 0; i < members.size(); ++i) {
        PlannedCopy& plan = (*plans)[i];
        plan.source = members[i]->path;
        plan.signature = members[i]->signature;
        plan.dateSource = members[i]->source;
    }
    std::vector<std::wstring> names;
    for (const FileFacts* member : members) {
        // The name this system can hold: a card written elsewhere may end one in a dot or a space.
        names.push_back(WithoutTrailingDotsAndSpaces(NameOfPath(member->path)));
        if (names.back().empty())
            return StatusFromWin32(ERROR_INVALID_NAME);
    }
    const FileFacts& first = *members.front();
    if (first.source == CaptureDateSource::kNone)
        return kStatusFail;
    // A counter goes after the name a group's members share; a lone file's before its last
    // extension ("archive.tar(1).gz").
    const std::wstring base =
        first.group ? first.groupBase : names.front().substr(0, names.front().size() - ExtensionOf(names.front()).size());
    const std::wstring folder = outputFolder_ + L"\\" + MakeDateFolderName(first.date, formatIndex_);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::wstring target = folder + L"\\" + names[i];
        if (!Fits(target))
            return StatusFromWin32(ERROR_FILENAME_EXCED_RANGE);
        (*plans)[i].destination = target;
    }
    // The folder first: its names are read, and its files compared, only when it is the
    // output folder's own and not a link to somewhere else.
    if (const StatusCode made = MakeFolder(folder); made != kStatusOk)
        return made;

    // A name that is taken goes to the next free counter, unless what has it is this very
    // content: a copy made before the record could say so. A name this run gave out holds
    // other content (the run's duplicates never get this far). A group takes the first
    // counter under which every member's name is free.
    FolderNames& taken = NamesIn(folder);
    std::vector<std::wstring> upperNames(members.size());
    for (int n = 0;; ++n) {
        // With every counter taken the last candidates stand, and the copies refuse them.
        const bool last = n == organize_limits::kMaxClashCounter;
        bool allFree = true;
        for (std::size_t i = 0; i < members.size() && allFree; ++i) {
            PlannedCopy& plan = (*plans)[i];
            const std::wstring name = n == 0 ? names[i] : CountedMemberName(names[i], base, n);
            plan.destination = folder + L"\\" + name;
            plan.alreadyThere = false;
            upperNames[i] = UpperCasePath(name);
            if (!Fits(plan.destination)) {
                plan.destination.clear();
                return StatusFromWin32(ERROR_FILENAME_EXCED_RANGE);
            }
            const bool given = taken.given.count(upperNames[i]) != 0;
            if (!given && !taken.Found(folder, upperNames[i]))
                continue;
            if (!given && !FilesDiffer(plan.source, plan.destination, buffers_))
                plan.alreadyThere = true;
            else
                allFree = last;
        }
        if (allFree)
            break;
    }
    for (std::size_t i = 0; i < members.size(); ++i)
        GiveOut(folder, upperNames[i], &(*plans)[i]);
    return kStatusOk;
}

bool DateFolderWriter::PlanBeside(const FileFacts& file, const std::wstring& besideCopy, const FileFacts& besideSource,
                                  PlannedCopy* plan)
{
    *plan = PlannedCopy{};
    plan->source = file.path;
    plan->signature = file.signature;
    plan->dateSource = file.source;
    // What follows the shared base name in each: the copy's own name ends in its member's
    // suffix, and the companion takes the copy's base with its own suffix.
    const std::wstring& base = file.groupBase;
    const std::wstring name = WithoutTrailingDotsAndSpaces(NameOfPath(file.path));
    const std::wstring memberName = WithoutTrailingDotsAndSpaces(NameOfPath(besideSource.path));
    const std::wstring copyName = NameOfPath(besideCopy);
    const auto startsWithBase = [&base](const std::wstring& text) {
        return text.size() >= base.size() && SamePathText(text.substr(0, base.size()), base);
    };
    if (!startsWithBase(name) || !startsWithBase(memberName))
        return false;
    const std::wstring memberSuffix = memberName.substr(base.size());
    if (copyName.size() < memberSuffix.size() ||
        !SamePathText(copyName.substr(copyName.size() - memberSuffix.size()), memberSuffix))
        return false;
    const std::wstring folder = FolderOfPath(besideCopy);
    const std::wstring target = copyName.substr(0, copyName.size() - memberSuffix.size()) + name.substr(base.size());
    plan->destination = folder + L"\\" + target;
    if (!Fits(plan->destination))
        return false;
    FolderNames& taken = NamesIn(folder);
    const std::wstring upperName = UpperCasePath(target);
    if (taken.given.count(upperName))
        return false;
    if (taken.Found(folder, upperName)) {
        if (FilesDiffer(plan->source, plan->destination, buffers_))
            return false;
        plan->alreadyThere = true;
    }
    GiveOut(folder, upperName, plan);
    return true;
}

void DateFolderWriter::GiveOut(const std::wstring& folder, const std::wstring& upperName, PlannedCopy* plan)
{
    if (plan->alreadyThere)
        return;
    NamesIn(folder).given.insert(upperName);
    // The work name is in the output folder itself, which holds few names: a search there is
    // cheap where a file system searches the whole folder for each new name (a date folder
    // may hold thousands). No room for it: the copy goes straight to its place.
    const std::wstring partial = outputFolder_ + L"\\" + kPartialCopyName + std::to_wstring(++partialSerial_);
    if (Fits(partial))
        plan->partial = partial;
}

namespace {

// Removes a work file of ours. One made from a photo a camera marked as protected is
// read-only, as its source is, and would refuse to go: the mark is lifted first.
StatusCode RemoveWorkFile(const std::wstring& path, EntryRemover& remover)
{
    const DWORD attributes = GetFileAttributesW(ExtendedLengthPath(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
        !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        SetFileAttributesW(ExtendedLengthPath(path).c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    return remover.Remove(path);
}

// The copy made under the work name, then renamed into place without replacing anything: the
// name is the file's only when it is whole.
StatusCode CopyThrough(const std::wstring& source, const std::wstring& partial, const std::wstring& destination)
{
    // The work file is made new: one left under its name is removed first (as itself, were it
    // a link), never written through.
    EntryRemover remover;
    bool copied = CopyFileW(ExtendedLengthPath(source).c_str(), ExtendedLengthPath(partial).c_str(), TRUE);
    if (!copied && GetLastError() == ERROR_FILE_EXISTS && RemoveWorkFile(partial, remover) == kStatusOk)
        copied = CopyFileW(ExtendedLengthPath(source).c_str(), ExtendedLengthPath(partial).c_str(), TRUE);
    if (copied && MoveFileExW(ExtendedLengthPath(partial).c_str(), ExtendedLengthPath(destination).c_str(), MOVEFILE_WRITE_THROUGH))
        return kStatusOk;
    const StatusCode failed = StatusFromLastError();
    WIN32_FIND_DATAW found{};
    if (FindEntry(partial, &found))
        RemoveWorkFile(partial, remover);
    return failed;
}

}  // namespace

StatusCode DateFolderWriter::Make(const PlannedCopy& plan)
{
    if (plan.alreadyThere)
        return kStatusOk;
    if (plan.partial.empty())
        return CopyFileW(ExtendedLengthPath(plan.source).c_str(), ExtendedLengthPath(plan.destination).c_str(), TRUE) ? kStatusOk : StatusFromLastError();
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
    return UniqueFile(CreateFileW(ExtendedLengthPath(copy).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

StatusCode FlushToDisk(const std::wstring& copy)
{
    // A photo a camera marked as protected is read-only, and so is its copy, which then
    // refuses to be opened for writing: the mark is lifted for the flush and put back. (Looked
    // at first: an administrator may open it all the same, and the mark would then stay.)
    const DWORD attributes = GetFileAttributesW(ExtendedLengthPath(copy).c_str());
    const bool protectedCopy = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
                               !(attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
                               SetFileAttributesW(ExtendedLengthPath(copy).c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    UniqueFile file = OpenToFlush(copy);
    const StatusCode flushed = file && FlushFileBuffers(file.get()) ? kStatusOk : StatusFromLastError();
    file.reset();
    if (protectedCopy)
        SetFileAttributesW(ExtendedLengthPath(copy).c_str(), attributes);
    return flushed;
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
            RemoveWorkFile(folder + L"\\" + found.cFileName, remover_);
    }

private:
    EntryRemover remover_;
};

}  // namespace

void RemovePartialCopies(const std::wstring& folder)
{
    PartialCopyRemover().Walk(folder);
}
