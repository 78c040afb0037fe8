#include "metadata/image_facts.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "metadata/exif_byte_source.h"
#include "metadata/exif_info.h"
#include "metadata/file_reader.h"
#include "metadata/heif_exif_locator.h"
#include "metadata/jpeg_exif_locator.h"
#include "metadata/movie_time_reader.h"

namespace {

constexpr std::size_t kSniffBytes = 64;

bool HasBytes(const std::uint8_t* head, std::size_t length, std::size_t at, const char* text)
{
    const std::size_t count = std::strlen(text);
    return at <= length && count <= length - at && std::memcmp(head + at, text, count) == 0;
}

// Brands of the HEIF family in an "ftyp" box: image and sequence brands of HEIF, HEVC and AV1.
bool IsHeifBrand(const std::uint8_t* brand)
{
    static const char* const kBrands[] = {"mif1", "msf1", "mif2", "heic", "heix", "heim",
                                          "heis", "hevc", "hevx", "hevm", "hevs", "avif",
                                          "avis", "avio"};
    for (const char* known : kBrands) {
        if (std::memcmp(brand, known, 4) == 0)
            return true;
    }
    return false;
}

bool HasHeifFileType(const std::uint8_t* head, std::size_t length)
{
    if (!HasBytes(head, length, 4, "ftyp") || length < 12)
        return false;
    const std::size_t boxSize = (std::size_t{head[0]} << 24) | (std::size_t{head[1]} << 16) |
                                (std::size_t{head[2]} << 8) | head[3];
    if (IsHeifBrand(head + 8))
        return true;
    // Compatible brands follow the major brand and its minor version.
    const std::size_t end = std::min(boxSize, length);
    for (std::size_t at = 16; at + 4 <= end; at += 4) {
        if (IsHeifBrand(head + at))
            return true;
    }
    return false;
}

}  // namespace

const char* ImageFormatName(ImageFormat format)
{
    switch (format) {
    case ImageFormat::kJpeg:
        return "jpeg";
    case ImageFormat::kTiff:
        return "tiff";
    case ImageFormat::kHeif:
        return "heif";
    case ImageFormat::kMovie:
        return "movie";
    case ImageFormat::kOther:
        break;
    }
    return "other";
}

ImageFormat DetectImageFormat(const std::uint8_t* head, std::size_t length, const std::wstring& path)
{
    if (length >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF)
        return ImageFormat::kJpeg;
    if (length >= 4 && (std::memcmp(head, "II*\0", 4) == 0 || std::memcmp(head, "MM\0*", 4) == 0))
        return ImageFormat::kTiff;
    if (HasHeifFileType(head, length) || IsHeifExtension(path))
        return ImageFormat::kHeif;
    if (LooksLikeIsoMovie(head, length))
        return ImageFormat::kMovie;
    return ImageFormat::kOther;
}

namespace {

// The Exif block of a JPEG or TIFF-structured file, read as an imaging library reads it.
// `block` holds the bytes a JPEG's block is parsed from; a TIFF file is handed to the reader.
bool LoadPictureExif(std::unique_ptr<FileReader>& file, ImageFormat format, ExifInfo& exif,
                     std::vector<std::uint8_t>& block)
{
    if (format == ImageFormat::kJpeg)
        return LocateJpegExif(*file, &block) && exif.LoadTolerant(block.data(), block.size());
    if (format == ImageFormat::kTiff)
        return exif.LoadTolerant(std::make_unique<PagedFileByteSource>(std::move(file)));
    return false;
}

ImageFormat SniffFormat(FileReader& file, const std::wstring& path, bool* readable)
{
    std::uint8_t head[kSniffBytes];
    const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(file.Size(), kSniffBytes));
    *readable = length == 0 || file.ReadAt(0, head, length);
    return *readable ? DetectImageFormat(head, length, path) : ImageFormat::kOther;
}

}  // namespace

bool ReadImageFacts(const std::wstring& path, ImageFacts* facts, std::string* error, bool readHeif)
{
    *facts = ImageFacts{};
    std::unique_ptr<FileReader> file = FileReader::Open(path);
    if (!file) {
        *error = "cannot open the file";
        return false;
    }
    return ReadImageFacts(std::move(file), path, facts, error, readHeif);
}

bool ReadImageFacts(std::unique_ptr<FileReader> file, const std::wstring& path, ImageFacts* facts,
                    std::string* error, bool readHeif)
{
    *facts = ImageFacts{};
    FileReader* const reader = file.get();  // the TIFF route hands the file on
    bool readable = false;
    facts->format = SniffFormat(*file, path, &readable);
    if (!readable) {
        *error = "cannot read the file";
        return false;
    }

    // The block the Exif reader parses in place must outlive every query below.
    std::vector<std::uint8_t> block;
    ExifInfo exif;
    if (facts->format == ImageFormat::kMovie) {
        facts->movieCreated = ReadMovieCreationTime(*file);
        facts->bytesRead = reader->BytesRead();
        return true;
    }
    if (facts->format == ImageFormat::kHeif) {
        if (!readHeif) {
            facts->bytesRead = reader->BytesRead();
            return true;
        }
        HeifExifLocator heif;
        if (heif.LoadFrom(*file))
            block = heif.ExtractExif();
        facts->exif = !block.empty() && exif.Load(block);
    } else {
        facts->exif = LoadPictureExif(file, facts->format, exif, block);
    }

    if (facts->exif) {
        if (std::string text = exif.GetDateTimeOriginalText(); !text.empty())
            facts->dateTimeOriginal = std::move(text);
        if (std::string text = exif.GetDateTimeText(); !text.empty())
            facts->dateTime = std::move(text);
        std::uint16_t orientation = 0;
        if (exif.GetOrientation(&orientation))
            facts->orientation = orientation;
        double latitude = 0.0, longitude = 0.0;
        if (exif.GetGpsPosition(&latitude, &longitude))
            facts->gps = std::make_pair(latitude, longitude);
        std::int64_t seconds = 0;
        if (exif.GetCaptureTime(&seconds))
            facts->captureTime = seconds;
    }
    facts->bytesRead = reader->BytesRead();
    return true;
}
