#pragma once
// The metadata facts of one file, as an imaging library's property items give them:
// DateTimeOriginal, DateTime, Orientation and the GPS position, from the file's head.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "metadata/file_reader.h"

enum class ImageFormat { kJpeg, kTiff, kHeif, kOther };

const char* ImageFormatName(ImageFormat format);

struct ImageFacts {
    ImageFormat format = ImageFormat::kOther;
    bool exif = false;  // an Exif block was found and parsed
    std::optional<std::string> dateTimeOriginal;  // Exif IFD 0x9003, as stored
    std::optional<std::string> dateTime;          // IFD0 0x0132
    std::optional<std::uint16_t> orientation;     // IFD0 0x0112
    std::optional<std::pair<double, double>> gps; // latitude, longitude; south and west negative
    // Seconds since 1970 of DateTimeOriginal, else DateTime, read as local time.
    std::optional<std::int64_t> captureTime;
    std::uint64_t bytesRead = 0;                  // taken from the disk to learn all this
};

// JPEG and TIFF by their first bytes, the HEIF family by its "ftyp" brand or by the path's
// extension.
ImageFormat DetectImageFormat(const std::uint8_t* head, std::size_t length,
                              const std::wstring& path);

// False, with a short English reason, when the file cannot be opened or read. Without
// readHeif a file of the HEIF family is only recognised: its boxes are not walked.
bool ReadImageFacts(const std::wstring& path, ImageFacts* facts, std::string* error, bool readHeif = true);
// The same through a file the caller opened (and reads from itself before, for other ends).
// A TIFF-structured file is handed on to the Exif reader; the reader is gone afterwards.
bool ReadImageFacts(std::unique_ptr<FileReader_CL> file, const std::wstring& path, ImageFacts* facts,
                    std::string* error, bool readHeif = true);
