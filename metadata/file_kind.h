#pragma once
// What a file is, told by its first bytes alone and never by its name: the one answer that
// the dater, the album's choice of decoder and the readers of each format all go by, so that
// no two of them can take the same file for different things.

#include <cstddef>
#include <cstdint>
#include <span>

enum class FileKind {
    kOther,  // none of these, or too few bytes to tell
    kJpeg,   // FF D8 FF
    kTiff,   // "II*\0" or "MM\0*": TIFF, and the raw formats built on it (CR2, NEF, ARW, DNG)
    kPng,    // its eight-byte signature
    kWebp,   // "RIFF", a size, "WEBP"
    kGif,    // "GIF87a" or "GIF89a"
    kBmp,    // "BM"
    // ISO base media files, by their first box: a file type box ("ftyp") names brands.
    kHeic,   // a brand of the HEIF family and none of AV1: pictures coded as HEVC
    kAvif,   // a brand of AV1 among them: pictures coded as AV1
    kCr3,    // Canon raw, major brand "crx "
    kMovie,  // any other brand, or a first box an old QuickTime file starts with
};

// How many of a file's first bytes the answer depends on. Bytes past them are never looked at,
// so a caller that holds the whole file and one that read only its head get the same answer.
// Enough for a file type box with a dozen compatible brands; writers put two to five.
inline constexpr std::size_t kFileKindHeadBytes = 64;

FileKind SniffFileKind(std::span<const std::uint8_t> head);

inline bool IsHeifFamily(FileKind kind)
{
    return kind == FileKind::kHeic || kind == FileKind::kAvif;
}
