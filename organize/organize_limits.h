#pragma once
// Every bound the organize engine puts on what it reads and writes, in one place: its record
// file, the names it makes, and what it reads of the files beside a photo. The record's bounds
// are derived from what the engine itself writes, so that every record it writes it can read.

#include <cstdint>

#include "base/base_limits.h"

namespace organize_limits {

// --- names ---------------------------------------------------------------------------------

// The longest date folder name a layout makes, "2024\05\31" and the like; far past every one.
constexpr std::int32_t kMaxDateFolderChars = 259;
// The longest clash counter tried: IMG_0001(99999).JPG.
constexpr int kMaxClashCounter = 99999;
// An extension's characters after its dot, in the lists the user keeps.
constexpr std::size_t kMaxExtensionChars = 31;

// --- the record ----------------------------------------------------------------------------

// Bucket records a record may hold; the program writes 512.
constexpr std::int32_t kMaxBucketCount = 1 << 16;
// The most files a record may name: far past any photo collection. A run that could take a
// record past it is refused before it copies anything.
constexpr std::int64_t kMaxRecordedFiles = 2'000'000;
// The longest path an entry stores, in characters: the copies the record names lie in a date
// folder of the output folder, stored as ".\" + date folder + "\" + name, and a folder entry's
// name is never longer than the file system allows.
constexpr std::int32_t kMaxStoredPathChars = 2 + kMaxDateFolderChars + 1 + base_limits::kMaxNameChars;
// The most bytes an entry takes: its signature, its length, its path and a terminator.
constexpr std::int64_t kMaxEntryBytes = 8 + 4 + 2 * (std::int64_t{kMaxStoredPathChars} + 1);
// The largest record read: kMaxRecordedFiles entries of the longest paths, in the most bucket
// records, with its header. Anything larger is no record of ours.
constexpr std::int64_t kMaxRecordBytes = 16 + 4 * std::int64_t{kMaxBucketCount} + kMaxRecordedFiles * kMaxEntryBytes;

// --- files read beside a photo -------------------------------------------------------------

// The largest photo export's JSON sidecar read: far past any the export writes.
constexpr std::uint64_t kMaxSidecarBytes = 1u << 20;

}  // namespace organize_limits
