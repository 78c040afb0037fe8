#pragma once
// Every bound the foundation puts on what a file on the disk may ask of it, in one place.

#include <cstdint>

namespace base_limits {

// Items of one list in the settings file. No list the program writes comes near this; a larger
// count is a damaged or hand-made file, and reading that many items would hold up the start
// for minutes.
constexpr std::int32_t kMaxSettingsListItems = 1000;

// The log's size: past it the file starts over, so that a program left running for years
// never fills a disk with its log.
constexpr std::int32_t kMaxLogBytes = 32 << 20;

// The longest name of one folder entry on the file systems the program writes to (NTFS, exFAT
// and FAT's long names), in characters.
constexpr std::int32_t kMaxNameChars = 255;

// The longest path the system's file functions take, in characters, in its "\\?\" form.
// Past it a path cannot be named at all: a folder that deep is reported, never cut short (a
// cut path would name something else).
constexpr std::int32_t kMaxPathChars = 32767;

}  // namespace base_limits
