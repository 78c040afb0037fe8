#pragma once
// Finds the Exif block of a WebP file by walking the chunks of its RIFF container; reads only
// the chunk headers and the "EXIF" chunk itself.

#include <cstdint>
#include <vector>

#include "metadata/file_reader.h"

// The data of the first "EXIF" chunk (a TIFF block, with or without "Exif\0\0" before it: the
// Exif reader takes both), or false when the file has none its chunks lead to.
bool LocateWebpExif(FileReader& file, std::vector<std::uint8_t>* block);
