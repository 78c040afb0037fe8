#pragma once
// The metadata facts of one file, as an imaging library's property items give them:
// DateTimeOriginal, DateTime, Orientation and the GPS position, from the file's head.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include "metadata/exif_rational.h"
#include "metadata/file_reader.h"

// kMovie: a movie or recording of the ISO base media / QuickTime family (.mov, .mp4, .3gp,
// .m4a); kCr3: a Canon raw file, of the same family. The values are kept in the album's cache:
// a new one goes at the end.
enum class ImageFormat { kJpeg, kTiff, kHeif, kMovie, kOther, kPng, kWebp, kCr3 };
// The last format there is: a cache that names a later one was not written by this program.
inline constexpr ImageFormat kLastImageFormat = ImageFormat::kCr3;

const char* ImageFormatName(ImageFormat format);

struct ImageFacts {
    ImageFormat format = ImageFormat::kOther;
    bool exif = false;  // an Exif block was found and parsed
    // Exif IFD 0x9003, as stored; for a PNG without one, its XMP capture date as Exif text.
    std::optional<std::string> dateTimeOriginal;
    std::optional<std::string> dateTime;          // IFD0 0x0132
    std::optional<std::uint16_t> orientation;     // IFD0 0x0112
    std::optional<std::pair<double, double>> gps; // latitude, longitude; south and west negative
    // Seconds since 1970 of DateTimeOriginal, else DateTime, read as local time.
    std::optional<std::int64_t> captureTime;
    // A movie's creation time as it stores it: seconds since 1904-01-01 UTC (0: none given).
    std::optional<std::uint64_t> movieCreated;
    // The camera and its exposure, as the Exif gives them (make and model trimmed).
    std::optional<std::string> make;                 // IFD0 0x010F
    std::optional<std::string> model;                // IFD0 0x0110
    std::optional<ExifRational> exposureTime;        // seconds, 0x829A
    std::optional<ExifRational> fNumber;             // 0x829D
    std::optional<std::uint32_t> isoSpeed;           // 0x8827
    std::optional<ExifRational> focalLength;         // millimetres, 0x920A
    std::optional<std::uint32_t> focalLength35mm;    // millimetres, 0xA405
    // The picture's size in pixels as stored, before any turn by its orientation, from the
    // picture's own header: a JPEG's frame header, a PNG's IHDR, a TIFF's first directory.
    // The HEIF family and movies turn their pictures themselves, and give theirs as shown: the
    // primary item's "ispe" turned by its "irot", the video track's "tkhd" by its matrix.
    std::optional<std::pair<std::uint32_t, std::uint32_t>> pixelSize;
    std::uint64_t bytesRead = 0;                  // taken from the disk to learn all this
};

// The format the dater reads a file as, by what its first bytes are (SniffFileKind); a file of
// no other format is of the HEIF family also by its path's extension.
ImageFormat DetectImageFormat(std::span<const std::uint8_t> head, const std::wstring& path);

// False, with a short English reason, when the file cannot be opened or read. Without
// readHeif a file of the HEIF family is only recognised: its boxes are not walked.
bool ReadImageFacts(const std::wstring& path, ImageFacts* facts, std::string* error, bool readHeif = true);
// The same through a file the caller opened (and reads from itself before, for other ends);
// the reader is gone afterwards.
bool ReadImageFacts(std::unique_ptr<FileReader> file, const std::wstring& path, ImageFacts* facts,
                    std::string* error, bool readHeif = true);
