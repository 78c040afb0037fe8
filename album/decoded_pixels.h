#pragma once
// What a codec's decode hands back: the pixels, or why there are none. Every codec of the album
// answers in it, so the thumbnails treat them all alike. Portable.
//
// Bytes of untrusted files: what a decode will hold is counted from what the file claims and
// checked against the limits of album_limits.h before anything is allocated for it, and the
// libraries' own limits stay on. A decode that holds the whole picture takes a whole decode's
// turn (whole_decodes.h) for as long as it runs.

#include <cstdint>

#include "album/album_limits.h"
#include "album/picture_pixels.h"

// Why a decode gave no picture.
enum class DecodeRefusal {
    kNone,
    kUnreadable,    // no picture the library reads: empty, cut, damaged or of another kind
    kTooLarge,      // more pixels than kMaxSourcePixels, or more memory than kMaxDecodeBytes
    kTooManyScans,  // a JPEG of more scans than kMaxJpegScans
};

// A decoded picture, and the size of the picture it came from (as stored, before any turn).
// When nothing was decoded: why, and the size and memory the file claimed when it was read
// that far (for the log).
struct DecodedPixels {
    BgrPicture pixels;
    std::uint32_t sourceWidth = 0;
    std::uint32_t sourceHeight = 0;
    DecodeRefusal refusal = DecodeRefusal::kNone;
    std::uint64_t bytesNeeded = 0;
};
