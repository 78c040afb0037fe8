#pragma once
// Every bound the metadata readers put on what a file may ask of them, in one place.

#include <cstddef>
#include <cstdint>

namespace exif_limits {

// Directories of the main chain (IFD0, IFD1, ...). Real files have two; the visited set
// stops loops, this stops very long honest-looking chains.
constexpr int kMaxMainChainDirectories = 64;

// Directory entries read in one parse, over every directory: one directory may hold 65,535;
// cameras write a few hundred in all. Each directory is read once however many pointers lead
// to it, and past this many entries the parse stops: a crafted file cannot make a parse cost
// more than this.
constexpr std::uint32_t kMaxDirectoryEntriesPerParse = 1u << 16;

// Box nesting of the HEIF walk. Real files nest about six deep; each level costs only
// 8 bytes, so a crafted file could otherwise nest thousands deep and exhaust the stack.
constexpr int kMaxBoxDepth = 32;

// Marker segments looked at before the Exif segment of a JPEG file. Cameras write a
// handful; past this many the file is not a photo we can date from its head.
constexpr int kMaxJpegSegments = 256;
// 0xFF fill bytes taken before one marker. Encoders write none or a few; a longer run is
// damage (erased flash reads as 0xFF), and the file is dated as one without Exif.
constexpr std::uint32_t kMaxJpegFillBytes = 64u << 10;

// HEIF files are read by the boxes that lead to the Exif item, never whole: the top-level
// boxes are stepped over by their headers (at most this many), the "meta" box is read (at
// most this large; real ones hold a few kilobytes of item tables), then the item itself (at
// most this large; an Exif block of a photo is well under a megabyte).
constexpr int kMaxHeifTopLevelBoxes = 65536;
constexpr std::uint64_t kMaxHeifMetaBytes = 16u << 20;
constexpr std::uint64_t kMaxHeifExifBytes = 16u << 20;

// Movies are read by their box headers alone: at most this many top-level boxes (real
// files have a handful; fragmented recordings a few thousand), and this many children of the
// "moov" box before its "mvhd" header and first video track (and of a track, and of its media).
constexpr int kMaxIsoTopLevelBoxes = 65536;
constexpr int kMaxMovieChildBoxes = 1024;
// The start of the "moov" box is read in one piece, this much of it: its "mvhd" and its first
// track's headers take a few hundred bytes.
constexpr std::uint64_t kMovieBoxStartBytes = 4096;

// PNG files are walked chunk by chunk, by their headers, to the end: a writer may put its
// "eXIf" or XMP chunk after the image data, which libpng's writers cut into chunks of 8 KiB
// (a picture of 100 MB has some 12,000 of them). Past this many the walk stops.
constexpr int kMaxPngChunks = 16384;
// WebP files are walked by their RIFF chunks; an animation has one per frame.
constexpr int kMaxRiffChunks = 65536;
// An Exif block kept in a chunk or box of its own (PNG "eXIf", WebP "EXIF", a CR3's CMT
// boxes) is read whole, when it is no larger than this.
constexpr std::uint64_t kMaxExifChunkBytes = 16u << 20;
// An XMP packet is read whole, when it is no larger than this: an editor's history can make
// one of a megabyte or two.
constexpr std::uint64_t kMaxXmpPacketBytes = 4u << 20;

// An ASCII value is read whole into memory; the ones we read are dates and GPS letters of
// a few bytes, so a count past this is a damaged or crafted entry and reads as empty.
constexpr std::uint32_t kMaxAsciiValueBytes = 64u << 10;

// A camera's make or model is a few dozen characters; a longer one is damage or a crafted
// entry and is not shown.
constexpr std::size_t kMaxCameraNameBytes = 128;

// Pages of a TIFF-structured file kept in memory while its directories are read.
constexpr std::uint32_t kTiffPageBytes = 4096;
constexpr std::uint32_t kMaxTiffCachedPages = 256;

}  // namespace exif_limits
