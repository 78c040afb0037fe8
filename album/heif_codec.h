#pragma once
// The HEIF family through libheif (HEIC through libde265, AVIF through dav1d), which hands back
// the picture as the file says to show it. Portable: the fuzz target of the thumbnails builds
// it natively.

#include <cstddef>
#include <cstdint>
#include <string>

#include "album/decoded_pixels.h"

// A HEIF-family file's primary picture, turned and mirrored as the file itself says (the
// Exif orientation must not be applied again). When the file has a thumbnail item that still
// fills what the picture takes of the box (a phone's HEIC carries one), that item instead of
// the whole picture. Already shrunk by areas to fit the box when it was larger (the whole
// picture is never held twice). False, with no pixels, for what libheif refuses and past the
// limits.
bool DecodeHeifForBox(const std::uint8_t* data, std::size_t size, std::int32_t boxWidth, std::int32_t boxHeight,
                      DecodedPixels* decoded);

// The library's name and version, for the notice and the log: "libheif 1.15.1".
std::string HeifCodecVersion();
