#pragma once
// The day a file was taken, as a local calendar date-time: the Exif capture time of a HEIF
// file, the Exif DateTimeOriginal of a picture, the filming time a movie keeps in itself,
// else the time a photo export's sidecar gives it, else the date the file's name carries,
// else the file's last-write time.

#include <windows.h>

#include <string>

#include "metadata/image_facts.h"
#include "organize/takeout_sidecar.h"

// Which source gave the date.
enum class CaptureDateSource { kNone, kHeif, kExif, kMovie, kLastWrite, kName, kTakeout };

// The user's choices among the sources.
struct CaptureDateRules {
    // A movie is dated by the filming time in its "mvhd" box; off, by its last-write time.
    bool movieDateFromFile = true;
    // A file with no date inside is dated by the time its photo export's sidecar gives, else
    // by the date its name carries, before its last-write time.
    bool dateFromName = true;
};

// The date from what one read of the file found: its image facts (null when the file could
// not be read) and its last-write time as the file system keeps it (UTC; null when unknown).
// kNone when no date passes the range tests. The file itself is not read here: the path only
// names it (its extension, the date its name carries, and the log's lines); `sidecars`, when
// given, is asked for its sidecar's time when nothing inside it gave a date.
CaptureDateSource CaptureDateFromFacts(const std::wstring& path, const ImageFacts* facts, const FILETIME* lastWrite,
                                       SYSTEMTIME* date, const CaptureDateRules& rules = {},
                                       TakeoutSidecars* sidecars = nullptr);

// A last-write time (UTC) as a local calendar date-time, without the range tests.
bool LocalDateOfFileTime(const FILETIME& utc, SYSTEMTIME* date);

// "%04d/%02d/%02d:%02d:%02d:%02d.%03d", as the log shows dates.
std::wstring CaptureDateLogText(const SYSTEMTIME& date);
