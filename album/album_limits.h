#pragma once
// Every bound the album puts on what a file may ask of it, in one place: the pictures it
// decodes, and the files of its cache it reads back. A picture past one is listed as a file
// without preview, and the log says which bound it passed; a cache file past one is not used.

#include <cstddef>
#include <cstdint>

namespace picture_limits {

// A picture file is read into memory whole, once; a larger one is no photo.
constexpr std::uint64_t kMaxPictureFileBytes = 512ull << 20;
// A picture a file may claim: 1 gigapixel, past any camera or phone there is.
constexpr std::uint64_t kMaxSourcePixels = 1ull << 30;
// Memory one decode may hold, counted before it starts from what the file claims: a camera's
// 200-megapixel baseline JPEG read at an eighth holds a few rows of it, a progressive one of
// 85 megapixels its coefficients, a phone's 48-megapixel HEIC its planes and their colours.
constexpr std::uint64_t kMaxDecodeBytes = 256ull << 20;
// Scans of one JPEG. Encoders write one, or up to a few dozen for a progressive picture; each
// scan walks the whole picture again, so a file of a thousand tiny scans would take minutes.
constexpr int kMaxJpegScans = 64;
// The longest side libheif takes.
constexpr int kMaxHeifSide = 32768;
// What the system's imaging library holds to decode a picture and draw it smaller, per pixel:
// its decoder's buffer, its bitmap, and the copy the drawing makes (measured under Wine: 10
// to 10.5 bytes for PNGs of 24 and 256 megapixels).
constexpr std::uint64_t kImagingBytesPerPixel = 11;
// Decodes that hold a whole picture at once, whatever the number of workers: a machine of
// many cores would otherwise hold that many.
constexpr std::ptrdiff_t kMaxWholeDecodesAtOnce = 4;

// A movie's poster is one frame: the walk to it from the keyframe before its moment is bounded
// whatever the file claims, in frames decoded, packets read (of any stream), and packets the
// decoder refuses in a row (a damaged or cut file). A second of a phone's movie is 30 to 60
// frames. The frame itself is held to kMaxSourcePixels and kMaxDecodeBytes as a photo is.
constexpr int kMaxPosterFramesDecoded = 90;
constexpr int kMaxPosterPacketsRead = 4000;
constexpr int kMaxPosterPacketsRefused = 16;

}  // namespace picture_limits

namespace cache_limits {

// Files a cache list may name: several times any album anyone keeps, and few enough that a
// list past it (a crafted one of tiny entries, say) is refused before it costs much memory.
constexpr std::uint64_t kMaxListedFiles = 1'000'000;
// The largest list files read: a few dozen bytes a file.
constexpr std::uint64_t kMaxScannedFactsBytes = 128u << 20;
constexpr std::uint64_t kMaxThumbnailListBytes = 64u << 20;
// No thumbnail of a 320 x 240 box comes near this; a larger entry is not ours.
constexpr std::uint64_t kMaxEntryBytes = 4u << 20;
// Longer than any path Windows opens.
constexpr std::uint32_t kMaxPathUnits = 32767;
// Capture-time texts are 20 bytes; a file whose texts run past this is simply read each time.
constexpr std::uint32_t kMaxTextBytes = 4096;

}  // namespace cache_limits
