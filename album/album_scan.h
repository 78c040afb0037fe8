#pragma once
// The album's scan of an output folder: the one folder walk (no link followed, none of the
// program's own folders and files at any depth), and each file dated from one read of it, or
// from what an earlier scan read of it when it is unchanged since.

#include <windows.h>

#include <optional>
#include <string>

#include "album/album_model.h"
#include "album/scanned_facts.h"
#include "base/progress_sink.h"
#include "organize/capture_date.h"

class AlbumScan {
public:
    // Every media file below the folder, read for its date on `workers` threads and filed in
    // the order found. Files of kind Other only with includeOther.
    AlbumModel Scan(const std::wstring& folder, bool includeOther, ProgressSink* progress = nullptr, int workers = 1);

    CaptureDateRules dateRules;  // how the files are dated
    // What earlier scans read, for files unchanged since; null: every file is read.
    ScannedFacts* scannedFacts = nullptr;

private:
    // A file with its day, ready to be filed.
    struct DatedFile {
        AlbumFile file;
        SYSTEMTIME date;
    };
    // The file read for its date and facts; nothing when it has no day. found: the listing's
    // entry of the file, or null to ask the file system.
    std::optional<DatedFile> Date(const std::wstring& path, AlbumFileKind kind, const WIN32_FIND_DATAW* found) const;
    // The path below the folder Scan walks; empty for a file added on its own.
    std::wstring Relative(const std::wstring& path) const;

    std::wstring scanRoot_;
    // The photo export sidecars of the folders scanned; shared by the scan's threads, which
    // it keeps safe itself.
    mutable TakeoutSidecars sidecars_;
};
