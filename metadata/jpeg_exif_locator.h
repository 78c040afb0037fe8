#pragma once
// Finds the Exif block of a JPEG file by walking its marker segments from the start; reads
// only the segment headers and the Exif segment itself.

#include <cstdint>
#include <vector>

#include "metadata/file_reader.h"

// The size a JPEG's frame header (SOFn) gives: the picture's own, as its decoder reads it.
struct JpegFrameSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// The payload of the first APP1 segment that starts with "Exif" and two zero bytes (the
// marker included), or false when the file has none before its image data. With frame, the
// walk goes on over the segment headers to the frame header, which cameras write just after
// their Exif, and gives its size (0 x 0 when there is none before the image data).
bool LocateJpegExif(FileReader& file, std::vector<std::uint8_t>* segment, JpegFrameSize* frame = nullptr);
