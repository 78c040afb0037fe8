#include "organize/planned_copy.h"

#include <windows.h>

#include "base/file_removal.h"
#include "base/folder_walk.h"
#include "base/paths.h"
#include "organize/partial_copies.h"

namespace {

// The copy made under the work name, then renamed into place without replacing anything: the
// name is the file's only when it is whole.
StatusCode CopyThrough(const std::wstring& source, const std::wstring& partial, const std::wstring& destination)
{
    // The work file is made new: one left under its name is removed first (as itself, were it
    // a link), never written through.
    EntryRemover remover;
    bool copied = CopyFileW(ExtendedLengthPath(source).c_str(), ExtendedLengthPath(partial).c_str(), TRUE);
    if (!copied && GetLastError() == ERROR_FILE_EXISTS && RemovePartialCopy(partial, remover) == kStatusOk)
        copied = CopyFileW(ExtendedLengthPath(source).c_str(), ExtendedLengthPath(partial).c_str(), TRUE);
    if (copied && MoveFileExW(ExtendedLengthPath(partial).c_str(), ExtendedLengthPath(destination).c_str(), MOVEFILE_WRITE_THROUGH))
        return kStatusOk;
    const StatusCode failed = StatusFromLastError();
    // The copy's failure is what the run reports. A work file that cannot be removed now is
    // never listed (its name says what it is), and the copy that next takes its name removes
    // it first.
    WIN32_FIND_DATAW found{};
    if (FindEntry(partial, &found))
        (void)RemovePartialCopy(partial, remover);
    return failed;
}

}  // namespace

StatusCode MakePlannedCopy(const PlannedCopy& plan)
{
    if (plan.alreadyThere)
        return kStatusOk;
    if (plan.partial.empty())
        return CopyFileW(ExtendedLengthPath(plan.source).c_str(), ExtendedLengthPath(plan.destination).c_str(), TRUE) ? kStatusOk : StatusFromLastError();
    return CopyThrough(plan.source, plan.partial, plan.destination);
}
