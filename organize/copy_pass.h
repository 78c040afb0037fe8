#pragma once
// The copying half of an organize run. Each listed file, in list order, is either found
// among the contents the output folder holds (the record, or the copies under way) or given
// its name in its date folder and handed to the copy workers. Results come back in the same
// order into the record, which is saved now and then, so that a run stopped at any moment
// leaves the next one only what is missing.

#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/progress_sink.h"
#include "organize/output_record.h"
#include "organize/date_folder_writer.h"
#include "organize/copy_workers.h"
#include "organize/duplicate_lookahead.h"
#include "organize/file_facts.h"
#include "organize/file_failure.h"
#include "organize/organize_result.h"
#include "organize/run_report.h"

class CopyPass {
public:
    // All four stay the caller's. The pass adds to `table` and `result`, and saves the table
    // to recordPath from time to time (the caller saves it at the end).
    // report: when given, told of each file as its outcome is known.
    CopyPass(OutputRecord& table, std::wstring recordPath, ProgressSink& progress, OrganizeResult* result,
             RunReportSink* report = nullptr);

    // A file that cannot be copied for a reason of its own is named in the result and the
    // rest go on. Ends at the first failure of the output folder itself, or when the progress
    // asks to stop; either way every copy already handed to the workers is finished, and
    // recorded once it is on the disk. With more than one copy worker the duplicate tests
    // are weighed ahead on threads of their own (duplicate_lookahead.h); with one, each is
    // weighed when the pass comes to its file. The outcome is the same either way.
    void Run(const std::vector<FileFacts>& files, DateFolderWriter writer, int copyWorkers);

private:
    // copy, when given: set to the output folder's copy that holds the same bytes, recorded or
    // still under way.
    bool IsDuplicate(const FileFacts& source, std::wstring* copy = nullptr);
    void Organize(const FileFacts& source, DateFolderWriter& writer, CopyWorkers& workers);
    // A file known to be new: its name planned on its own, its copy handed to the workers.
    void PlanAndHandOver(const FileFacts& source, DateFolderWriter& writer, CopyWorkers& workers);
    // A file whose bytes the output folder holds already, at `copy`.
    void NoteDuplicate(const FileFacts& source, const std::wstring& copy);
    void Report(const PlannedCopy& plan, FileOutcome outcome, const std::wstring& reason = L"");
    // A group's members: one date folder and one counter for all, or beside the copy of a
    // member the output folder holds already.
    void OrganizeGroup(std::span<const FileFacts> members, DateFolderWriter& writer, CopyWorkers& workers);
    void HandOver(PlannedCopy plan, CopyWorkers& workers);
    void Settle(const PlannedCopy& plan, StatusCode status);
    // Settles the oldest copy when it is done (with `wait`, once it is); false when there was
    // none to settle.
    bool TakeOne(CopyWorkers& workers, bool wait);
    // Settles the copies that are done, oldest first; with `all`, waits for every one.
    void TakeDone(CopyWorkers& workers, bool all);
    // Puts the settled copies on the disk and records those that are.
    void FlushCopies();
    StatusCode SaveRecord();
    void EraseInFlight(const PlannedCopy& plan);
    // The sources of the copies under way with this signature.
    std::vector<const std::wstring*> InFlightWith(std::uint64_t signature) const;
    void FileDone();
    void ShowCount();
    void NoteFailure(StatusCode status, const PlannedCopy& plan);
    void NoteFileFailure(StatusCode status, const PlannedCopy& plan, FileFailureReason reason);
    void NoteOutputFailure(StatusCode status, const std::wstring& source, const std::wstring& destination);

    OutputRecord& table_;
    std::wstring recordPath_;
    std::wstring outputFolder_;
    ProgressSink& progress_;
    OrganizeResult* result_;
    RunReportSink* report_;
    const FileFacts* firstFile_ = nullptr;  // of the list the pass goes through
    DuplicateLookahead* lookahead_ = nullptr;  // while the pass runs, when there is one
    // Copies handed to the workers and not yet recorded, by signature: a later file with the
    // same bytes is a duplicate of the copy under way, though that is not made or flushed yet.
    struct InFlight {
        std::wstring source;
        std::wstring destination;
    };
    std::unordered_multimap<std::uint64_t, InFlight> inFlight_;
    // Copies made since the record was last saved, in planned order, not yet known to be on
    // the disk and so not yet recorded.
    std::vector<PlannedCopy> unrecorded_;
    int copyWorkers_ = 1;  // as many flushes as copies go at once
    int settled_ = 0;
    int sinceSave_ = 0;
    std::uint64_t lastSaveMs_ = 0;
    double lastSaveSeconds_ = 0;
    std::uint64_t lastCaptionMs_ = 0;
};
