#pragma once
// The boxes of an ISO base media file (HEIF, AVIF, CR3, MP4, QuickTime): one reader of their
// headers, for the bytes a caller holds and for a walk over a file that reads the headers
// alone, each payload only skipped, so that a box of gigabytes (the media data of a movie)
// costs one small read.

#include <cstdint>
#include <functional>
#include <span>

#include "metadata/file_reader.h"

constexpr std::uint32_t FourCC(const char (&text)[5])
{
    return (std::uint32_t(std::uint8_t(text[0])) << 24) | (std::uint32_t(std::uint8_t(text[1])) << 16) |
           (std::uint32_t(std::uint8_t(text[2])) << 8) | std::uint32_t(std::uint8_t(text[3]));
}

// A header is the box's size and type, 8 bytes, and when that size is 1 a 64-bit size after them.
inline constexpr std::size_t kBoxHeaderBytes = 8;
inline constexpr std::size_t kLargeBoxHeaderBytes = 16;

struct BoxHeader {
    std::uint32_t type = 0;
    std::uint64_t offset = 0;      // of the box's first byte in the file
    std::uint64_t size = 0;        // the whole box, header included
    std::uint64_t headerSize = 0;  // 8, or 16 with a 64-bit size

    std::uint64_t PayloadOffset() const { return offset + headerSize; }
    std::uint64_t PayloadSize() const { return size - headerSize; }
};

// The header of the box at `offset`, read from `held`: the bytes the caller holds from that
// offset on, of which at most the first 16 are looked at. `room` is what the box's parent (or
// the file) has left from `offset`; a size of 0 runs the box to its end. False, with `box`
// untouched, when the header is not wholly held, or the box claims less than its header or
// more than its room: what follows cannot be trusted to start where it seems to.
bool ReadBoxHeader(std::span<const std::uint8_t> held, std::uint64_t offset, std::uint64_t room, BoxHeader* box);

// Calls `visit` for each box that lies wholly within [begin, end) of the file, in order,
// until it returns true (then true) or at most `maxBoxes` were seen, or a header cannot be
// read (then false).
bool ForEachBox(FileReader& file, std::uint64_t begin, std::uint64_t end, int maxBoxes,
                const std::function<bool(const BoxHeader&)>& visit);
