#pragma once
// Finds the Exif block of a JPEG file by walking its marker segments from the start; reads
// only the segment headers and the Exif segment itself.

#include <cstdint>
#include <vector>

#include "metadata/file_reader.h"

// The payload of the first APP1 segment that starts with "Exif" and two zero bytes (the
// marker included), or false when the file has none before its image data.
bool LocateJpegExif(FileReader& file, std::vector<std::uint8_t>* segment);
