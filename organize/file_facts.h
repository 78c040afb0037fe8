#pragma once
// What a run needs to know of a file, learned in one open of it: its size, last-write time,
// capture date and content signature. The head that gives the signature also gives the
// format and the Exif block; a HEIF file is read by the boxes that lead to its Exif item.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "metadata/image_facts.h"
#include "organize/capture_date.h"
#include "organize/file_signature.h"

struct FileFacts {
    std::wstring path;
    std::uint64_t size = 0;
    FILETIME lastWrite{};  // UTC, as the file system keeps it
    SYSTEMTIME date{};     // the capture date, local
    CaptureDateSource source = CaptureDateSource::kNone;
    std::uint64_t signature = kUnreadableSignature;
    bool readable = false;  // the file could be opened and its head read
    // From the picture's Exif block, for the album: how to stand it upright, where it was taken.
    std::optional<std::uint16_t> orientation;
    std::optional<std::pair<double, double>> gps;  // latitude, longitude
    // The group the file belongs to in its folder (file_groups.h), numbered from 1 in a run;
    // 0 for a file on its own. A group's members lie next to one another in a run's list,
    // share one date, and take their names from the base name they share.
    std::uint32_t group = 0;
    std::wstring groupBase;
};

// found: the listing's entry of the file (its size and last-write time), or null to take
// them from the file itself (when it opens). True when the file has a capture date.
// imageRead, when given: what the read found, for a caller that keeps it; left empty when the
// file could not be read to its end (a failure that a later read may not meet).
// sidecars: the photo export sidecars of the folders, shared by the files of a walk; null to
// look for this file's alone.
bool GatherFileFacts(const std::wstring& path, const WIN32_FIND_DATAW* found, FileFacts* facts,
                     const CaptureDateRules& rules = {}, std::optional<ImageFacts>* imageRead = nullptr,
                     TakeoutSidecars* sidecars = nullptr);
// What GatherFileFacts reads of the file, without deciding its date: the facts' path, size,
// last-write time, readability and signature, and what its metadata says (empty when it gave
// nothing). It writes no log line and shares nothing, so files may be read on several threads
// at once; DateFromImageFacts then decides each date in turn.
struct FileRead {
    FileFacts facts;
    std::optional<ImageFacts> image;
    bool lastWriteKnown = false;
};
FileRead ReadFileFacts(const std::wstring& path, const WIN32_FIND_DATAW* found);

// The date of a file, reading it once, and which route gave it (kNone when none did).
CaptureDateSource ResolveCaptureDate(const std::wstring& path, SYSTEMTIME* date, const CaptureDateRules& rules = {});
// The file's last-write time as a local calendar date-time, without the range tests; false
// when the file cannot be opened (for no access to its content) or its times read.
bool GetLastWriteDate(const std::wstring& path, SYSTEMTIME* date);

// The rest of GatherFileFacts, for image facts read before: the date, orientation and position
// from them (null: the file gave none) and from the facts' path and last-write time (when
// lastWriteKnown). No file is read; the date is decided now, as a fresh read would decide it.
bool DateFromImageFacts(const ImageFacts* image, bool lastWriteKnown, FileFacts* facts,
                        const CaptureDateRules& rules = {}, TakeoutSidecars* sidecars = nullptr);
