#pragma once
// The copying half of an organize run. Each listed file, in list order, is either found
// among the contents the output folder holds (the record, or the copies under way) or given
// its name in its date folder and handed to the copy workers. Results come back in the same
// order into the record, which is saved now and then, so that a run stopped at any moment
// leaves the next one only what is missing.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/progress_sink.h"
#include "organize/compare_file.h"
#include "organize/copy_to_date_folder.h"
#include "organize/copy_workers.h"
#include "organize/file_facts.h"
#include "organize/organize_result.h"

class CopyPass_CL {
public:
    // All four stay the caller's. The pass adds to `table` and `result`, and saves the table
    // to recordPath from time to time (the caller saves it at the end).
    CopyPass_CL(CompareFile_CL& table, std::wstring recordPath, ProgressSink_CL& progress, OrganizeResult* result);

    // Ends at the first failed copy or when the progress asks to stop; either way every copy
    // already handed to the workers is finished and recorded first.
    void Run(const std::vector<FileFacts_CL>& files, DateFolderWriter_CL writer, int copyWorkers);

private:
    void Settle(const PlannedCopy_CL& plan, StatusCode status);
    // Settles the copies that are done, oldest first; with `all`, waits for every one.
    void TakeDone(CopyWorkers_CL& workers, bool all);
    bool DuplicateInFlight(const FileFacts_CL& file) const;
    void FileDone();
    void NoteCopyFailure(StatusCode status, const std::wstring& source, const std::wstring& destination);

    CompareFile_CL& table_;
    std::wstring recordPath_;
    ProgressSink_CL& progress_;
    OrganizeResult* result_;
    // Copies handed to the workers and not yet settled, by signature: a later file with the
    // same bytes is a duplicate of the copy under way, though that is not made yet.
    std::unordered_multimap<std::uint64_t, std::wstring> inFlight_;
    int settled_ = 0;
    int sinceSave_ = 0;
    std::uint64_t lastSaveMs_ = 0;
};
