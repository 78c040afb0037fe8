#include "organize/date_folder_writer.h"

#include <windows.h>

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
