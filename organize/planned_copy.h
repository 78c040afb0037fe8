#pragma once
// One file's copy into the output folder, decided before it is made (date_folder_writer.h
// decides it), and the making of it: under a work name, then renamed into place without
// replacing anything, so that a final name never holds a half-written file and the source is
// left as it was.

#include <cstdint>
#include <string>

#include "base/status_code.h"
#include "organize/capture_date.h"
#include "organize/file_signature.h"

// Where one file goes, decided before it is copied: the copy itself may then run on any
// thread, beside others.
struct PlannedCopy {
    std::wstring source;
    std::wstring destination;  // the final name
    std::wstring partial;      // the temporary name it is made under; empty: straight to its place
    std::uint64_t signature = kUnreadableSignature;  // the source's, which the copy shares
    CaptureDateSource dateSource = CaptureDateSource::kNone;  // where its day came from
    // A file of the final name (or one of its counter names) holds the same bytes already:
    // a copy an earlier run made but could not record. Nothing is copied then.
    bool alreadyThere = false;
};

// Makes a planned copy. Touches nothing but the plan's files: copies may be made on any
// threads at once.
StatusCode MakePlannedCopy(const PlannedCopy& plan);
