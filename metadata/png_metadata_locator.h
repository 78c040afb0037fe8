#pragma once
// Finds what a PNG file says of itself besides its picture: the "eXIf" chunk (a TIFF/Exif
// block, as a JPEG's APP1 segment holds) and the XMP packet of an "iTXt" chunk. Only the chunk
// headers are read on the way; the image data is stepped over unread.

#include <cstdint>
#include <string>
#include <vector>

#include "metadata/file_reader.h"

struct PngMetadata {
    std::vector<std::uint8_t> exif;  // the first "eXIf" chunk's bytes; empty when none
    // The text of the first uncompressed "iTXt" chunk of keyword "XML:com.adobe.xmp"; empty when
    // none. A compressed one is not read: the writers of photos keep XMP uncompressed, so that
    // readers without zlib find it, and inflating it would take a decoder of its own here.
    std::string xmp;
};

// What the file holds, as far as its chunks can be trusted: a chunk that claims more than the
// file has left ends the walk, keeping what came before it.
PngMetadata LocatePngMetadata(FileReader& file);
