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

}  // namespace base_limits
