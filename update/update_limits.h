#pragma once
// Every bound the update check puts on the network and on what a server may send, in one
// place.

#include <windows.h>

#include <cstdint>

namespace update_limits {

// Each step of the exchange (connecting, sending, each wait for the answer) gives up after this.
constexpr DWORD kStepTimeoutMs = 3000;
// And the whole exchange, the name lookup included, after this: a server that sends a byte
// just before each step would give up could otherwise keep the check for hours. A check cut
// short shows nothing and is made again at the next start.
constexpr DWORD kDeadlineMs = 5000;
// Redirects within the update host followed in one exchange, at most.
constexpr int kMaxRedirects = 5;
// No version file is anywhere near this long: a longer answer is no version file.
constexpr std::int32_t kMaxBodyBytes = 65536;
// A body of no stated length is read in parts of this size.
constexpr DWORD kReadChunkBytes = 1 << 20;

}  // namespace update_limits
