#pragma once
// What an organize run came to, and the words the user reads of it. The engine shows
// nothing; the window and the console program each say these texts their own way.

#include <string>

#include <vector>

#include "base/status_code.h"
#include "organize/file_failure.h"

struct OrganizeCounts {
    int inputFiles = 0;
    int duplicates = 0;
    int copied = 0;
    // Folders and files the run could not reach because their paths are too long.
    int tooLong = 0;
    // Folders and wanted files the run could not read (denied, locked, a name the system
    // refuses).
    int unreadable = 0;
    // Listed files that could not be copied for a reason of their own (fileFailures names
    // each); the run went on with the rest.
    int notOrganized = 0;
    // Files copied that carry no date, inside or in their names, and went to the day of their
    // last write: the ones a user may want to look at.
    int datedByLastWrite = 0;

    // Something was left out that the user should hear of.
    bool LeftOut() const { return tooLong != 0 || unreadable != 0 || notOrganized != 0; }
};

// Where a run's time went, in seconds, for the log and the benchmarks.
struct OrganizeTimings {
    double recordLoad = 0;      // the record read, and a stopped run's work files removed
    double listing = 0;         // the inputs walked and each file's head read for its date
    double duplicateTests = 0;  // hashes and byte comparisons with what the output holds
    double planning = 0;        // names chosen and date folders made
    double copyWaits = 0;       // waiting for copies the workers had not finished
    double copyFlushes = 0;     // the copies put on the disk before the record names them
    double recordSaves = 0;     // the record saved, while the copies go on and at the end
    double total = 0;
};

struct OrganizeResult {
    // Where a run that failed stopped.
    // kUnfinished: the run never came to an end of its own (its worker could not start, or
    // an exception ended it). kOutputFolder: the output folder could not be made or written
    // to, before anything was written.
    // kRecordFull: the record could not name every file the run might copy; nothing was
    // copied.
    enum Stage { kNone, kUnfinished, kRecordLoad, kRecordFull, kOutputFolder, kCopy, kRecordSave, kAlbum };

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
    // Each file counted in counts.notOrganized, in the order they were met.
    std::vector<FileFailure> fileFailures;
    // The output folder's record file, named in the texts of kRecordLoad and kOutputFolder.
    std::wstring recordPath;
    // kAlbum: the album's file or folder that could not be cleared or written, or the codec it
    // could not find.
    std::wstring failedAlbumPath;
    std::wstring missingAlbumCodec;
    OrganizeTimings timings;

    bool Failed() const { return failedStage != kNone; }
};

// What the user reads of a failed copy: the source, the destination and the status code.
std::wstring CopyFailureText(const OrganizeResult& result);

// What the user reads of a run that failed at any other stage, with what to do about it.
std::wstring RunFailureText(const OrganizeResult& result);

// What the user reads of an album that could not be made: the file it failed at and why, or
// the codec's DLL that is not there.
std::wstring AlbumFailureText(StatusCode status, const std::wstring& path, const std::wstring& missingCodec = L"");

// What the user reads of a record file that is there but is no record (cut short, zeros,
// foreign bytes), with the ways out.
std::wstring RecordDamagedText(const std::wstring& recordPath);

// What the user reads of a run they stopped: what it did, and that the rest comes next time.
std::wstring RunStoppedText(const OrganizeResult& result);

// The sentence that follows the completion notice when files were dated by their last-write
// time alone; empty when none were.
std::wstring DatedByLastWriteText(const OrganizeCounts& counts);

// The sentences that follow the completion notice when folders or files were left out
// because their paths are too long or they could not be read; empty when none were.
std::wstring LeftOutText(const OrganizeCounts& counts);
