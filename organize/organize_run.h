#pragma once
// One organize run: every wanted file of the input folders whose content the output folder
// does not hold yet is copied into its date folder, and the output folder's record is
// brought up to date. It shows nothing: the caller tells the user what the result means.

#include <string>
#include <vector>

#include "base/progress_sink.h"
#include "base/status_code.h"
#include "organize/organize_settings.h"

struct OrganizeCounts {
    int inputFiles = 0;
    int duplicates = 0;
    int copied = 0;
    // Folders and files the run could not reach because their paths are too long.
    int tooLong = 0;
};

struct OrganizeResult {
    // Where a run that failed stopped.
    // kUnfinished: the run never came to an end of its own (its worker could not start, or
    // an exception ended it).
    enum Stage { kNone, kUnfinished, kRecordLoad, kCopy, kRecordSave, kAlbum };

    StatusCode status = kStatusOk;
    Stage failedStage = kNone;
    OrganizeCounts counts;
    // The user asked the run to stop: it ended after the file it was at, with the record saved.
    bool stopped = false;
    // The copy that ended the run, when one failed; the destination is empty when none could
    // be chosen.
    bool copyFailed = false;
    std::wstring failedSource;
    std::wstring failedDestination;

    bool Failed() const { return failedStage != kNone; }
};

// Copies made at once by default: a copy mostly waits for the disk.
constexpr int kDefaultCopyWorkers = 3;

// Runs on the worker thread of the progress dialog (or the console program's thread), with
// the kinds, lists and layout of `settings`. The first copy failure ends the run; a stop the
// progress asks for ends it after the copies under way. copyWorkers: how many copies are made
// at once; names, counts and the record come out the same for any number.
OrganizeResult RunOrganize(const OrganizeSettings& settings, ProgressSink_CL& progress,
                           const std::vector<std::wstring>& inputFolders, const std::wstring& outputFolder,
                           int copyWorkers = kDefaultCopyWorkers);

// What the user reads of a failed copy: the source, the destination and the status code.
std::wstring CopyFailureText(const OrganizeResult& result);

// What the user reads of a run that failed at any other stage, with what to do about it.
std::wstring RunFailureText(const OrganizeResult& result);

// What the user reads of a run they stopped: what it did, and that the rest comes next time.
std::wstring RunStoppedText(const OrganizeResult& result);

// The sentence that follows the completion notice when folders or files were left out
// because their paths are too long; empty when none were.
std::wstring LeftOutText(const OrganizeCounts& counts);
