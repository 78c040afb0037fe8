#pragma once
// The codecs the album turns files into pixels and pixels into JPEG with: libjpeg-turbo for
// JPEG (decoded at the smallest scale that still fills the box, a DCT scale of 1/8 to 1/1),
// and libheif for the HEIF family (HEIC through libde265, AVIF through dav1d), which hands
// back the picture as the file says to show it. Each decode is chosen by what the bytes are,
// never by the file's name. Portable: the fuzz targets build it natively.
//
// Bytes of untrusted files: what a decode will hold is counted from what the file claims and
// checked against the limits of picture_limits.h before anything is allocated for it, and the
// libraries' own limits stay on. A decode that holds the whole picture takes a whole decode's
// turn (whole_decodes.h) for as long as it runs.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "album/picture_limits.h"
#include "album/picture_pixels.h"

// What a file's first bytes say it is.
enum class PictureContainer {
    kJpeg,   // FF D8 FF
    kHeic,   // the HEIF family, pictures coded as HEVC
    kAvif,   // the HEIF family, pictures coded as AV1
    kOther,  // anything else: PNG, GIF, BMP, TIFF, or no picture at all
};
PictureContainer PictureContainerOf(const std::uint8_t* head, std::size_t size);

// Why a decode gave no picture.
enum class DecodeRefusal {
    kNone,
    kUnreadable,    // no picture the library reads: empty, cut, damaged or of another kind
    kTooLarge,      // more pixels than kMaxSourcePixels, or more memory than kMaxDecodeBytes
    kTooManyScans,  // a JPEG of more scans than kMaxJpegScans
};

// A decoded picture, and the size of the picture it came from (as stored, before any turn).
// When nothing was decoded: why, and the size and memory the file claimed when it was read
// that far (for the log).
struct DecodedPixels {
    BgrPicture pixels;
    std::uint32_t sourceWidth = 0;
    std::uint32_t sourceHeight = 0;
    DecodeRefusal refusal = DecodeRefusal::kNone;
    std::uint64_t bytesNeeded = 0;
};

// The JPEG decoded at the smallest DCT scale at which, turned upright by the orientation, it
// still fills what it takes of the box (whole when nothing smaller does): not yet turned.
// False, with no pixels, for what libjpeg-turbo refuses and past the limits: the memory the
// decode would hold (for a picture of several scans, the coefficients of all of it) and the
// number of scans, counted as they are read.
bool DecodeJpegForBox(const std::uint8_t* data, std::size_t size, std::int32_t boxWidth, std::int32_t boxHeight,
                      std::uint16_t orientation, DecodedPixels* decoded);

// A HEIF-family file's primary picture, turned and mirrored as the file itself says (the
// Exif orientation must not be applied again). When the file has a thumbnail item that still
// fills what the picture takes of the box (a phone's HEIC carries one), that item instead of
// the whole picture. Already shrunk by areas to fit the box when it was larger (the whole
// picture is never held twice). False, with no pixels, for what libheif refuses and past the
// limits.
bool DecodeHeifForBox(const std::uint8_t* data, std::size_t size, std::int32_t boxWidth, std::int32_t boxHeight,
                      DecodedPixels* decoded);

// The picture as JPEG bytes at the quality (0 to 100), chroma halved both ways as cameras
// store it; false, with no bytes, when it cannot be encoded (memory that ran short too).
bool EncodeJpeg(const BgrPicture& picture, int quality, std::vector<std::uint8_t>* jpeg);

// The libraries' versions, for the notice and the log: "libjpeg-turbo 2.1.5, libheif 1.15.1".
std::string CodecVersions();
