#pragma once
// Files the program writes and reads whole: its record, the album's pages and its cache.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/status_code.h"

// All the bytes to an open file, from where it stands; a short write is a full disk.
StatusCode WriteBytesTo(HANDLE file, const void* bytes, std::size_t size);
// The bytes as they are, in a new or emptied file.
StatusCode WriteFileBytes(const std::wstring& path, const void* bytes, std::size_t size);

enum class Durability {
    kCached,  // the system writes it out when it likes
    kOnDisk,  // on the disk before it takes the path: what it says must hold after a power cut
};

// Writes the file through `write` under a work name beside it (the path plus workSuffix),
// then puts it in the path's place: whatever stops the writing, the path holds the old file
// or the new one, never half of one. The work file is always made new, so that nothing a
// name left there might lead to is written through. Returns the first failure: of making
// the work file (`write` is then never called), of `write`, or of putting it in place.
StatusCode ReplaceFileWhole(const std::wstring& path, const std::wstring& workSuffix, Durability durability,
                            const std::function<StatusCode(HANDLE file)>& write);
StatusCode ReplaceFileWhole(const std::wstring& path, const void* bytes, std::size_t size,
                            const std::wstring& workSuffix = L".part", Durability durability = Durability::kCached);

// A whole file of at most maxBytes; false when it cannot be read, is empty or is larger.
bool ReadFileBytes(const std::wstring& path, std::uint64_t maxBytes, std::vector<std::uint8_t>* bytes);
