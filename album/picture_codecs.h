#pragma once
// The codecs the album turns files into pixels and pixels into JPEG with, one file each, and
// what chooses among them: each decode is chosen by what the file's bytes are, never by its
// name. A codec joins as a file of its own, a decoder below, and a case where the thumbnails
// choose. Portable: the fuzz target of the thumbnails builds it natively; the system's imaging
// library, which decodes every other kind, is Windows only (imaging_codec.h).

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "album/decoded_pixels.h"
#include "album/heif_codec.h"
#include "album/jpeg_codec.h"

enum class PictureDecoder {
    kJpeg,            // libjpeg-turbo
    kHeif,            // libheif, for HEIC and AVIF alike
    kImagingLibrary,  // the system's: PNG, GIF, BMP, TIFF, or no picture at all
};
// The decoder for a file, by what its first bytes are (SniffFileKind): the same answer the
// dater reads the file by.
PictureDecoder PictureDecoderOf(std::span<const std::uint8_t> bytes);

// The libraries' versions, for the notice and the log: "libjpeg-turbo 2.1.5, libheif 1.15.1".
std::string CodecVersions();
