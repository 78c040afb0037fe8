#include "metadata/exif_info.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "metadata/exif_limits.h"
#include "metadata/file_kind.h"

namespace {

constexpr std::uint16_t kDateTimeOriginal = 0x9003;
constexpr std::uint16_t kDateTime = 0x0132;
constexpr std::uint16_t kOrientation = 0x0112;
constexpr std::uint16_t kImageWidth = 0x0100;
constexpr std::uint16_t kImageLength = 0x0101;
constexpr std::uint16_t kMake = 0x010F;
constexpr std::uint16_t kModel = 0x0110;
constexpr std::uint16_t kExposureTime = 0x829A;
constexpr std::uint16_t kFNumber = 0x829D;
constexpr std::uint16_t kIsoSpeed = 0x8827;
constexpr std::uint16_t kFocalLength = 0x920A;
constexpr std::uint16_t kFocalLengthIn35mm = 0xA405;

bool StartsWith(const std::uint8_t* data, std::size_t length, std::size_t at, const char* text,
                std::size_t count)
{
    return at <= length && count <= length - at && std::memcmp(data + at, text, count) == 0;
}

// A TIFF header starts the block's TIFF structure as it starts a TIFF file.
bool IsTiffHeader(const std::uint8_t* data, std::size_t length, std::size_t at)
{
    return at <= length && SniffFileKind({data + at, length - at}) == FileKind::kTiff;
}

// strtol over a fixed-width field: white space and a sign may lead, conversion stops at the
// first non-digit, and a field without a digit fails.
bool ParseField(const std::string& text, std::size_t at, std::size_t width, int* value)
{
    const std::string field = text.substr(at, width);
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(field.c_str(), &end, 10);
    if (end == field.c_str() || errno == ERANGE)
        return false;
    *value = static_cast<int>(parsed);
    return true;
}

}  // namespace

ExifInfo::ExifInfo() = default;
ExifInfo::~ExifInfo() = default;

std::size_t ExifInfo::TiffHeaderStart(const std::uint8_t* data, std::size_t length)
{
    if (length >= 10 && StartsWith(data, length, 4, "Exif\0\0", 6))
        return 10;
    if (length >= 6 && StartsWith(data, length, 0, "Exif\0\0", 6))
        return 6;
    // A HEIF Exif item starts with a big-endian offset to its TIFF header, and many writers
    // put the header straight behind it (offset 0) without the "Exif" marker.
    if (length >= 4) {
        const std::uint64_t offset = (std::uint64_t{data[0]} << 24) | (std::uint64_t{data[1]} << 16) |
                                     (std::uint64_t{data[2]} << 8) | data[3];
        if (offset <= length - 4 && IsTiffHeader(data, length, static_cast<std::size_t>(4 + offset)))
            return static_cast<std::size_t>(4 + offset);
    }
    return 0;
}

bool ExifInfo::Load(const std::vector<std::uint8_t>& bytes)
{
    if (bytes.empty()) {
        analyzer_.reset();
        return false;
    }
    return Load(bytes.data(), bytes.size());
}

bool ExifInfo::Load(const std::uint8_t* data, std::size_t length)
{
    return LoadBlock(data, length, ExifParseMode::kStrict, 0);
}

bool ExifInfo::LoadTolerant(const std::uint8_t* data, std::size_t length, std::uint16_t rootBase)
{
    return LoadBlock(data, length, ExifParseMode::kTolerant, rootBase);
}

bool ExifInfo::LoadBlock(const std::uint8_t* data, std::size_t length, ExifParseMode mode, std::uint16_t rootBase)
{
    analyzer_.reset();
    if (!data || length == 0)
        return false;
    const std::size_t skip = TiffHeaderStart(data, length);
    if (skip >= length)
        return false;
    // TIFF offsets are 32 bits: a longer block is cut to what they can reach.
    const std::size_t remaining = length - skip;
    const auto blockLength =
        static_cast<std::uint32_t>(remaining > UINT32_MAX ? UINT32_MAX : remaining);
    try {
        return Parse(std::make_unique<TiffDirectoryParser>(data + skip, blockLength, mode, rootBase));
    } catch (...) {
        return false;
    }
}

bool ExifInfo::LoadTolerant(std::unique_ptr<ExifByteSource> tiffFile)
{
    analyzer_.reset();
    if (!tiffFile || tiffFile->Size() == 0)
        return false;
    try {
        return Parse(std::make_unique<TiffDirectoryParser>(std::move(tiffFile), ExifParseMode::kTolerant));
    } catch (...) {
        return false;
    }
}

bool ExifInfo::Parse(std::unique_ptr<TiffDirectoryParser> analyzer)
{
    try {
        analyzer->Parse();
    } catch (...) {
        return false;  // a half-filled analyzer is dropped with its records
    }
    analyzer_ = std::move(analyzer);
    return true;
}

bool ExifInfo::GetCaptureTime(std::int64_t* time) const
{
    *time = 0;
    if (!analyzer_)
        return false;
    std::string text = analyzer_->GetAsciiValue(kExifIfdPointer, kDateTimeOriginal);
    if (text.empty())
        text = analyzer_->GetAsciiValue(0, kDateTime);
    return LocalTimeOfDateText(text, time);
}

bool ExifInfo::LocalTimeOfDateText(const std::string& text, std::int64_t* time)
{
    *time = 0;
    if (text.size() < 19)
        return false;
    int year, month, day, hour, minute, second;
    if (!ParseField(text, 0, 4, &year) || !ParseField(text, 5, 2, &month) ||
        !ParseField(text, 8, 2, &day) || !ParseField(text, 11, 2, &hour) ||
        !ParseField(text, 14, 2, &minute) || !ParseField(text, 17, 2, &second))
        return false;
    std::tm calendar{};
    calendar.tm_year = year - 1900;
    calendar.tm_mon = month - 1;
    calendar.tm_mday = day;
    calendar.tm_hour = hour;
    calendar.tm_min = minute;
    calendar.tm_sec = second;
    calendar.tm_isdst = 0;
    // Local time, with out-of-range fields normalised (30 February becomes 1 March).
    const std::time_t result = std::mktime(&calendar);
    if (result == static_cast<std::time_t>(-1))
        return false;
    *time = static_cast<std::int64_t>(result);
    return true;
}

bool ExifInfo::GetGpsPosition(double* latitude, double* longitude) const
{
    *latitude = 0.0;
    *longitude = 0.0;
    if (!analyzer_)
        return false;
    const std::string latitudeRef = analyzer_->GetAsciiValue(kGpsIfdPointer, 1);
    const std::string longitudeRef = analyzer_->GetAsciiValue(kGpsIfdPointer, 3);
    const char latitudeLetter = latitudeRef.empty() ? 'N' : latitudeRef[0];
    const char longitudeLetter = longitudeRef.empty() ? 'E' : longitudeRef[0];

    // Degrees, minutes and seconds of one coordinate; false when any element is missing.
    auto coordinate = [this](std::uint16_t tag, char letter, double* degrees) {
        std::pair<std::uint32_t, std::uint32_t> parts[3];
        try {
            for (int i = 0; i < 3; ++i)
                parts[i] = analyzer_->GetGpsRational(tag, i);
        } catch (...) {
            return false;
        }
        if (parts[0].second == 0 || parts[1].second == 0 || parts[2].second == 0) {
            *degrees = 0.0;
            return true;
        }
        double value = (double(parts[1].first) / double(parts[1].second)) / 60.0 +
                       double(parts[0].first) / double(parts[0].second) +
                       (double(parts[2].first) / double(parts[2].second)) / 3600.0;
        if (letter == 'S' || letter == 's' || letter == 'W' || letter == 'w')
            value = -value;
        *degrees = value;
        return true;
    };

    double lat = 0.0, lon = 0.0;
    if (!coordinate(2, latitudeLetter, &lat) || !coordinate(4, longitudeLetter, &lon))
        return false;
    *latitude = lat;
    *longitude = lon;
    return true;
}

std::string ExifInfo::GetDateTimeOriginalText() const
{
    return analyzer_ ? analyzer_->GetAsciiValue(kExifIfdPointer, kDateTimeOriginal) : std::string();
}

std::string ExifInfo::GetDateTimeText() const
{
    return analyzer_ ? analyzer_->GetAsciiValue(0, kDateTime) : std::string();
}

bool ExifInfo::GetOrientation(std::uint16_t* orientation) const
{
    // Some writers store it as a LONG or SLONG; an imaging library reads the number anyway.
    std::uint32_t value = 0;
    if (!analyzer_ || !analyzer_->GetFirstInteger(0, kOrientation, &value) || value > 0xFFFF)
        return false;
    *orientation = static_cast<std::uint16_t>(value);
    return true;
}

std::string ExifInfo::CameraText(std::uint16_t tag) const
{
    if (!analyzer_)
        return std::string();
    std::string text = analyzer_->GetAsciiValue(0, tag);
    // Cameras pad to a fixed width with NULs or blanks; GetAsciiValue took the NULs at the end.
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0'))
        text.pop_back();
    if (text.size() > exif_limits::kMaxCameraNameBytes)
        return std::string();
    return text;
}

std::string ExifInfo::GetMake() const
{
    return CameraText(kMake);
}

std::string ExifInfo::GetModel() const
{
    return CameraText(kModel);
}

bool ExifInfo::PositiveRational(std::uint16_t tag, ExifRational* value) const
{
    return analyzer_ && analyzer_->GetFirstRational(kExifIfdPointer, tag, value) && value->numerator != 0;
}

bool ExifInfo::GetExposureTime(ExifRational* seconds) const
{
    return PositiveRational(kExposureTime, seconds);
}

bool ExifInfo::GetFNumber(ExifRational* fNumber) const
{
    return PositiveRational(kFNumber, fNumber);
}

bool ExifInfo::GetFocalLength(ExifRational* millimetres) const
{
    return PositiveRational(kFocalLength, millimetres);
}

bool ExifInfo::PositiveInteger(std::uint16_t base, std::uint16_t tag, std::uint32_t* value) const
{
    std::uint32_t read = 0;
    if (!analyzer_ || !analyzer_->GetFirstInteger(base, tag, &read) || read == 0)
        return false;
    *value = read;
    return true;
}

bool ExifInfo::GetIsoSpeed(std::uint32_t* iso) const
{
    return PositiveInteger(kExifIfdPointer, kIsoSpeed, iso);
}

bool ExifInfo::GetFocalLengthIn35mm(std::uint32_t* millimetres) const
{
    return PositiveInteger(kExifIfdPointer, kFocalLengthIn35mm, millimetres);
}

bool ExifInfo::GetTiffImageSize(std::uint32_t* width, std::uint32_t* height) const
{
    std::uint32_t x = 0, y = 0;
    if (!PositiveInteger(0, kImageWidth, &x) || !PositiveInteger(0, kImageLength, &y))
        return false;
    *width = x;
    *height = y;
    return true;
}
