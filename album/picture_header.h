#pragma once
// The size a picture file claims in its header, read before any decoder sees the file, for
// the formats the system's imaging library decodes for the album: PNG (its IHDR chunk), GIF
// (its logical screen and first image), BMP (its info header) and TIFF (the ImageWidth and
// ImageLength of its first directory). Only the bytes given are read, each length checked.
// Portable: the fuzz targets build it natively.

#include <cstddef>
#include <cstdint>

struct ClaimedSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// The size the header claims; false for bytes of another format, and for a header that is
// cut short, damaged or claims no pixels.
bool ReadClaimedSize(const std::uint8_t* data, std::size_t size, ClaimedSize* claimed);
