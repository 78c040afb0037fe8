#pragma once
// The codecs the album turns files into pixels and pixels into JPEG with, one file each, and
// what chooses among them: each decode is chosen by what the file's bytes are, never by its
// name. A codec joins as a file of its own, a kind below, and a case where the thumbnails
// choose. Portable: the fuzz target of the thumbnails builds it natively; the system's imaging
// library, which decodes every other kind, is Windows only (imaging_codec.h).

#include <cstddef>
#include <cstdint>
#include <string>

#include "album/decoded_pixels.h"
#include "album/heif_codec.h"
#include "album/jpeg_codec.h"

// What a file's first bytes say it is.
enum class PictureContainer {
    kJpeg,   // FF D8 FF
    kHeic,   // the HEIF family, pictures coded as HEVC
    kAvif,   // the HEIF family, pictures coded as AV1
    kOther,  // anything else: PNG, GIF, BMP, TIFF, or no picture at all
};
PictureContainer PictureContainerOf(const std::uint8_t* head, std::size_t size);

// The libraries' versions, for the notice and the log: "libjpeg-turbo 2.1.5, libheif 1.15.1".
std::string CodecVersions();
