#pragma once
// The system's imaging library (GDI+) as one of the album's codecs: every picture no codec of
// ours reads (PNG, GIF, BMP, TIFF). Windows only.

#include <cstdint>
#include <vector>

#include "album/decoded_pixels.h"

// The picture fitted into the box and turned upright by the orientation, when its header says
// what it is and a size it may be decoded at: nothing reaches the library before that. False
// for what the library does not decode as a raster picture, or one past the limits, with why
// in `refused`.
bool DecodeByImagingLibrary(const std::vector<std::uint8_t>& bytes, std::uint16_t orientation, std::int32_t boxWidth,
                            std::int32_t boxHeight, BgrPicture* upright, DecodedPixels* refused);
