#pragma once
// Stepping over the boxes of an ISO base media file (HEIF, AVIF, MP4, QuickTime) by their
// headers alone: each header is read, each payload only skipped, so a box of gigabytes (the
// media data of a movie) costs one small read.

#include <cstdint>
#include <functional>

#include "metadata/file_reader.h"

constexpr std::uint32_t FourCC(const char (&text)[5])
{
    return (std::uint32_t(std::uint8_t(text[0])) << 24) | (std::uint32_t(std::uint8_t(text[1])) << 16) |
           (std::uint32_t(std::uint8_t(text[2])) << 8) | std::uint32_t(std::uint8_t(text[3]));
}

struct BoxHeader {
    std::uint32_t type = 0;
    std::uint64_t offset = 0;      // of the box's first byte in the file
    std::uint64_t size = 0;        // the whole box, header included
    std::uint64_t headerSize = 0;  // 8, or 16 with a 64-bit size

    std::uint64_t PayloadOffset() const { return offset + headerSize; }
    std::uint64_t PayloadSize() const { return size - headerSize; }
};

// Calls `visit` for each box that lies wholly within [begin, end) of the file, in order,
// until it returns true (then true) or at most `maxBoxes` were seen, a header cannot be read,
// or a box claims less than its header or more than its parent has left (then false: what
// follows cannot be trusted to start where it seems to). A size of 0 runs to `end`.
bool ForEachBox(FileReader& file, std::uint64_t begin, std::uint64_t end, int maxBoxes,
                const std::function<bool(const BoxHeader&)>& visit);
