#pragma once
// JPEG through libjpeg-turbo: decoded at the smallest scale that still fills the box (a DCT
// scale of 1/8 to 1/1), and the album's own JPEGs encoded. Portable: the fuzz target of the
// thumbnails builds it natively.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "album/decoded_pixels.h"

// The JPEG decoded at the smallest DCT scale at which, turned upright by the orientation, it
// still fills what it takes of the box (whole when nothing smaller does): not yet turned.
// False, with no pixels, for what libjpeg-turbo refuses and past the limits: the memory the
// decode would hold (for a picture of several scans, the coefficients of all of it) and the
// number of scans, counted as they are read.
bool DecodeJpegForBox(const std::uint8_t* data, std::size_t size, std::int32_t boxWidth, std::int32_t boxHeight,
                      std::uint16_t orientation, DecodedPixels* decoded);

// The picture as JPEG bytes at the quality (0 to 100), chroma halved both ways as cameras
// store it; false, with no bytes, when it cannot be encoded (memory that ran short too).
bool EncodeJpeg(const BgrPicture& picture, int quality, std::vector<std::uint8_t>* jpeg);

// The library's name and version, for the notice and the log: "libjpeg-turbo 2.1.5".
std::string JpegCodecVersion();
