#pragma once
// Finds the Exif of a Canon CR3 raw file. A CR3 is an ISO base media file (brand "crx ") that
// keeps its Exif not as one block but as one TIFF block per directory, each in a box of its
// own inside Canon's "uuid" box of "moov": "CMT1" holds IFD0, "CMT2" the Exif directory,
// "CMT4" the GPS directory. Only box headers are read on the way, and those boxes themselves.

#include <cstdint>
#include <vector>

#include "metadata/file_reader.h"

struct Cr3ExifBlocks {
    std::vector<std::uint8_t> ifd0;  // each empty when the file has no such box
    std::vector<std::uint8_t> exif;
    std::vector<std::uint8_t> gps;
};

// False when the file has none of the three boxes where they belong.
bool LocateCr3Exif(FileReader& file, Cr3ExifBlocks* blocks);
