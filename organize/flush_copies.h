#pragma once
// Finished copies put on the disk (their data and sizes) before the record vouches for them,
// several at once: a disk takes several flushes together faster than one after the other.

#include <string>
#include <utility>
#include <vector>

#include "base/status_code.h"

// Flushes the copies on up to `threads` threads. Returns the copies that could not be opened
// or flushed, with the status of each, in the order they were given.
std::vector<std::pair<std::wstring, StatusCode>> FlushCopiesToDisk(const std::vector<std::wstring>& copies,
                                                                   int threads);
