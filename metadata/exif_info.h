#pragma once
// What callers hold: at most one parsed Exif block, and the answers taken from it. Every
// failure is a plain false; no exception leaves this class.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "metadata/tiff_directory_parser.h"

class ExifInfo {
public:
    ExifInfo();
    ~ExifInfo();
    ExifInfo(const ExifInfo&) = delete;
    ExifInfo& operator=(const ExifInfo&) = delete;

    // The HEIF route: strict. The vector (or the bytes) must outlive every query.
    bool Load(const std::vector<std::uint8_t>& bytes);
    // The parser reads the caller's bytes in place: a temporary would be gone before the
    // first query.
    bool Load(std::vector<std::uint8_t>&&) = delete;
    bool Load(const std::uint8_t* data, std::size_t length);
    // The JPEG and TIFF route: faults lose only the entry or directory they are in. The
    // block's first directory is IFD0, or for a block that holds one directory alone (a CR3's
    // CMT boxes) the one `rootBase` names: kExifIfdPointer or kGpsIfdPointer.
    bool LoadTolerant(const std::uint8_t* data, std::size_t length, std::uint16_t rootBase = 0);
    bool LoadTolerant(std::unique_ptr<ExifByteSource> tiffFile);

    bool IsLoaded() const { return static_cast<bool>(analyzer_); }

    // Seconds since 1970-01-01 00:00 UTC of DateTimeOriginal (else DateTime), read as
    // local time.
    bool GetCaptureTime(std::int64_t* time) const;
    // An Exif date text ("YYYY:MM:DD HH:MM:SS") as seconds since 1970 UTC, read as local
    // time, as GetCaptureTime reads DateTimeOriginal.
    static bool LocalTimeOfDateText(const std::string& text, std::int64_t* time);
    // Decimal degrees, south and west negative.
    bool GetGpsPosition(double* latitude, double* longitude) const;

    // Exif IFD 0x9003 and main-chain 0x0132 as stored (trailing zeros removed); empty when
    // absent.
    std::string GetDateTimeOriginalText() const;
    std::string GetDateTimeText() const;
    // The first element of the main chain's 0x0112 (a SHORT, or another integer type).
    bool GetOrientation(std::uint16_t* orientation) const;

    // The camera: IFD0 0x010F Make and 0x0110 Model, without the NULs and blanks writers pad
    // them with; empty when absent, blank or longer than any camera's name.
    std::string GetMake() const;
    std::string GetModel() const;
    // The exposure, from the Exif IFD; false when absent, damaged or with a zero denominator.
    bool GetExposureTime(ExifRational* seconds) const;      // 0x829A
    bool GetFNumber(ExifRational* fNumber) const;           // 0x829D
    bool GetFocalLength(ExifRational* millimetres) const;   // 0x920A
    // 0x8827 ISOSpeedRatings (PhotographicSensitivity since Exif 2.3); false for 0.
    bool GetIsoSpeed(std::uint32_t* iso) const;
    // 0xA405 FocalLengthIn35mmFilm; false for 0, which the standard uses for "unknown".
    bool GetFocalLengthIn35mm(std::uint32_t* millimetres) const;
    // The first directory's own ImageWidth and ImageLength (0x0100, 0x0101): a TIFF file's
    // size.
    bool GetTiffImageSize(std::uint32_t* width, std::uint32_t* height) const;

    // How many bytes in front of the TIFF header a block carries: 10 for a HEIF item's
    // offset field with "Exif\0\0", 6 for "Exif\0\0", 4 + the offset field's value when
    // that leads straight to a TIFF header, else 0.
    static std::size_t TiffHeaderStart(const std::uint8_t* data, std::size_t length);

private:
    std::string CameraText(std::uint16_t tag) const;
    bool PositiveInteger(std::uint16_t base, std::uint16_t tag, std::uint32_t* value) const;
    // An Exif IFD rational that is there and above zero (a camera writes 0 for "unknown").
    bool PositiveRational(std::uint16_t tag, ExifRational* value) const;
    bool LoadBlock(const std::uint8_t* data, std::size_t length, ExifParseMode mode, std::uint16_t rootBase);
    bool Parse(std::unique_ptr<TiffDirectoryParser> analyzer);

    std::unique_ptr<TiffDirectoryParser> analyzer_;
};
