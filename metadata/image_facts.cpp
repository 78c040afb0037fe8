#include "metadata/image_facts.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "metadata/cr3_exif_locator.h"
#include "metadata/exif_byte_source.h"
#include "metadata/exif_info.h"
#include "metadata/file_kind.h"
#include "metadata/file_reader.h"
#include "metadata/heif_exif_locator.h"
#include "metadata/jpeg_exif_locator.h"
#include "metadata/movie_time_reader.h"
#include "metadata/png_metadata_locator.h"
#include "metadata/webp_exif_locator.h"
#include "metadata/xmp_dates.h"

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
    case ImageFormat::kPng:
        return "png";
    case ImageFormat::kWebp:
        return "webp";
    case ImageFormat::kCr3:
        return "cr3";
    case ImageFormat::kOther:
        break;
    }
    return "other";
}

ImageFormat DetectImageFormat(std::span<const std::uint8_t> head, const std::wstring& path)
{
    const FileKind kind = SniffFileKind(head);
    switch (kind) {
    case FileKind::kJpeg:
        return ImageFormat::kJpeg;
    case FileKind::kTiff:
        return ImageFormat::kTiff;
    case FileKind::kPng:
        return ImageFormat::kPng;
    case FileKind::kWebp:
        return ImageFormat::kWebp;
    case FileKind::kCr3:
        return ImageFormat::kCr3;
    case FileKind::kHeic:
    case FileKind::kAvif:
        return ImageFormat::kHeif;
    case FileKind::kMovie:
    case FileKind::kGif:
    case FileKind::kBmp:
    case FileKind::kOther:
        break;
    }
    // A HEIF file whose first box names no brand of its family, or that has none, is still
    // read as one when its name says it is: its boxes are looked for all the same.
    if (IsHeifExtension(path))
        return ImageFormat::kHeif;
    return kind == FileKind::kMovie ? ImageFormat::kMovie : ImageFormat::kOther;
}

namespace {

// The camera and the exposure, each taken only when no reader before it gave it. The size the
// Exif states is not taken: an editor that crops a photo often leaves it as the camera wrote it.
void AddCameraFacts(const ExifInfo& exif, ImageFacts* facts)
{
    if (std::string text = exif.GetMake(); !text.empty() && !facts->make)
        facts->make = std::move(text);
    if (std::string text = exif.GetModel(); !text.empty() && !facts->model)
        facts->model = std::move(text);
    ExifRational rational;
    if (!facts->exposureTime && exif.GetExposureTime(&rational))
        facts->exposureTime = rational;
    if (!facts->fNumber && exif.GetFNumber(&rational))
        facts->fNumber = rational;
    if (!facts->focalLength && exif.GetFocalLength(&rational))
        facts->focalLength = rational;
    std::uint32_t number = 0;
    if (!facts->isoSpeed && exif.GetIsoSpeed(&number))
        facts->isoSpeed = number;
    if (!facts->focalLength35mm && exif.GetFocalLengthIn35mm(&number))
        facts->focalLength35mm = number;
}

// The facts one Exif reader gives, each taken only when no reader before it gave it: a CR3
// keeps its directories in blocks of their own, read one after another.
void AddExifFacts(const ExifInfo& exif, ImageFacts* facts)
{
    facts->exif = true;
    if (std::string text = exif.GetDateTimeOriginalText(); !text.empty() && !facts->dateTimeOriginal)
        facts->dateTimeOriginal = std::move(text);
    if (std::string text = exif.GetDateTimeText(); !text.empty() && !facts->dateTime)
        facts->dateTime = std::move(text);
    std::uint16_t orientation = 0;
    if (!facts->orientation && exif.GetOrientation(&orientation))
        facts->orientation = orientation;
    double latitude = 0.0, longitude = 0.0;
    if (!facts->gps && exif.GetGpsPosition(&latitude, &longitude))
        facts->gps = std::make_pair(latitude, longitude);
    std::int64_t seconds = 0;
    if (!facts->captureTime && exif.GetCaptureTime(&seconds))
        facts->captureTime = seconds;
    AddCameraFacts(exif, facts);
}

// An Exif block held whole in memory, read as an imaging library reads a photo's.
void AddExifBlockFacts(const std::vector<std::uint8_t>& block, ImageFacts* facts)
{
    ExifInfo exif;
    if (exif.LoadTolerant(block.data(), block.size()))
        AddExifFacts(exif, facts);
}

// A PNG's eXIf chunk, and the capture date of its XMP packet when the Exif gives none: an
// editor that keeps no Exif still writes the day the picture was taken into XMP.
void AddPngFacts(FileReader& file, ImageFacts* facts)
{
    const PngMetadata found = LocatePngMetadata(file);
    AddExifBlockFacts(found.exif, facts);
    if (facts->dateTimeOriginal || found.xmp.empty())
        return;
    std::optional<std::string> date = XmpCaptureDate(found.xmp);
    if (!date)
        return;
    // It stands for DateTimeOriginal, which comes before an Exif DateTime.
    std::int64_t seconds = 0;
    if (ExifInfo::LocalTimeOfDateText(*date, &seconds))
        facts->captureTime = seconds;
    facts->dateTimeOriginal = std::move(date);
}

// The Exif directory's block comes first, so that its DateTimeOriginal gives the capture time
// before IFD0's DateTime can.
void AddCr3Facts(FileReader& file, ImageFacts* facts)
{
    Cr3ExifBlocks blocks;
    if (!LocateCr3Exif(file, &blocks))
        return;
    const std::pair<const std::vector<std::uint8_t>*, std::uint16_t> directories[] = {
        {&blocks.exif, kExifIfdPointer}, {&blocks.ifd0, 0}, {&blocks.gps, kGpsIfdPointer}};
    for (const auto& [block, base] : directories) {
        ExifInfo exif;
        if (exif.LoadTolerant(block->data(), block->size(), base))
            AddExifFacts(exif, facts);
    }
}

// The TIFF route's way to a file that stays with its caller: the Exif reader owns what it
// reads through and drops it with a failed parse, while the caller still counts its reads.
class BorrowedFileReader final : public FileReader {
public:
    explicit BorrowedFileReader(FileReader& file) : file_(file) {}
    std::uint64_t Size() const override { return file_.Size(); }
    bool ReadAt(std::uint64_t offset, void* out, std::size_t count) override
    {
        return file_.ReadAt(offset, out, count);
    }

private:
    FileReader& file_;
};

// A PNG's IHDR chunk, which the signature must be followed by, in the head the format was told
// by: width and height, big-endian, each at most 2^31 - 1 and not 0.
std::optional<std::pair<std::uint32_t, std::uint32_t>> PngHeaderSize(std::span<const std::uint8_t> head)
{
    if (head.size() < 24 || std::memcmp(head.data() + 12, "IHDR", 4) != 0)
        return std::nullopt;
    auto big = [](const std::uint8_t* at) {
        return (std::uint32_t{at[0]} << 24) | (std::uint32_t{at[1]} << 16) | (std::uint32_t{at[2]} << 8) | at[3];
    };
    const std::uint32_t width = big(head.data() + 16), height = big(head.data() + 20);
    if (width == 0 || height == 0 || width > 0x7FFFFFFFu || height > 0x7FFFFFFFu)
        return std::nullopt;
    return std::make_pair(width, height);
}

// head: kFileKindHeadBytes, of which the file's first are read; *headBytes: how many.
ImageFormat SniffFormat(FileReader& file, const std::wstring& path, std::uint8_t* head, std::size_t* headBytes,
                        bool* readable)
{
    const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(file.Size(), kFileKindHeadBytes));
    *readable = length == 0 || file.ReadAt(0, head, length);
    *headBytes = *readable ? length : 0;
    return *readable ? DetectImageFormat({head, length}, path) : ImageFormat::kOther;
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
    bool readable = false;
    std::uint8_t head[kFileKindHeadBytes];
    std::size_t headBytes = 0;
    facts->format = SniffFormat(*file, path, head, &headBytes, &readable);
    if (!readable) {
        *error = "cannot read the file";
        return false;
    }

    std::vector<std::uint8_t> block;
    switch (facts->format) {
    case ImageFormat::kMovie: {
        MovieHeaders movie = ReadMovieHeaders(*file);
        facts->movieCreated = movie.created;
        facts->pixelSize = movie.frameSize;
        break;
    }
    case ImageFormat::kHeif: {
        // Without readHeif the file is only recognised. Its item is read by the strict reader.
        HeifExifLocator heif;
        if (readHeif && heif.LoadFrom(*file))
            block = heif.ExtractExif(&facts->pixelSize);
        ExifInfo exif;
        if (!block.empty() && exif.Load(block))
            AddExifFacts(exif, facts);
        break;
    }
    case ImageFormat::kJpeg: {
        // The frame header's size is the picture's own; it goes before what the Exif claims.
        JpegFrameSize frame;
        const bool hasExif = LocateJpegExif(*file, &block, &frame);
        if (frame.width && frame.height)
            facts->pixelSize = std::make_pair(frame.width, frame.height);
        if (hasExif)
            AddExifBlockFacts(block, facts);
        break;
    }
    case ImageFormat::kWebp:
        if (LocateWebpExif(*file, &block))
            AddExifBlockFacts(block, facts);
        break;
    case ImageFormat::kTiff: {
        ExifInfo exif;
        if (exif.LoadTolerant(std::make_unique<PagedFileByteSource>(std::make_unique<BorrowedFileReader>(*file)))) {
            std::uint32_t width = 0, height = 0;
            if (exif.GetTiffImageSize(&width, &height))
                facts->pixelSize = std::make_pair(width, height);
            AddExifFacts(exif, facts);
        }
        break;
    }
    case ImageFormat::kPng:
        facts->pixelSize = PngHeaderSize({head, headBytes});
        AddPngFacts(*file, facts);
        break;
    case ImageFormat::kCr3:
        AddCr3Facts(*file, facts);
        break;
    case ImageFormat::kOther:
        break;
    }
    facts->bytesRead = file->BytesRead();
    return true;
}
