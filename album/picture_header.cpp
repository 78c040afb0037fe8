#include "album/picture_header.h"

#include <algorithm>
#include <exception>

#include "metadata/file_kind.h"
#include "metadata/tiff_directory_parser.h"

namespace {

constexpr std::uint16_t kTiffImageWidth = 0x0100;
constexpr std::uint16_t kTiffImageLength = 0x0101;

// Bytes of the picture, each read checked against their end.
class HeaderBytes {
public:
    HeaderBytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Has(std::uint64_t at, std::uint64_t count) const { return at <= size_ && count <= size_ - at; }
    std::uint8_t U8(std::uint64_t at) const { return data_[at]; }
    std::uint32_t U16Le(std::uint64_t at) const { return data_[at] | (std::uint32_t{data_[at + 1]} << 8); }
    std::uint32_t U32Le(std::uint64_t at) const { return U16Le(at) | (U16Le(at + 2) << 16); }
    std::uint32_t U32Be(std::uint64_t at) const
    {
        return (std::uint32_t{data_[at]} << 24) | (std::uint32_t{data_[at + 1]} << 16) |
               (std::uint32_t{data_[at + 2]} << 8) | data_[at + 3];
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

// Each reader below is given only the bytes of its format (SniffFileKind told them).

// The signature, then the first chunk, which must be IHDR: its length, type, width, height.
bool PngSize(const HeaderBytes& bytes, ClaimedSize* claimed)
{
    if (!bytes.Has(8, 16) || bytes.U32Be(8) != 13)
        return false;
    if (!(bytes.U8(12) == 'I' && bytes.U8(13) == 'H' && bytes.U8(14) == 'D' && bytes.U8(15) == 'R'))
        return false;
    claimed->width = bytes.U32Be(16);
    claimed->height = bytes.U32Be(20);
    return true;
}

// The logical screen, and the first image's right and bottom edges, which may lie past it:
// the larger of each is what a decoder may make.
bool GifSize(const HeaderBytes& bytes, ClaimedSize* claimed)
{
    if (!bytes.Has(6, 7))
        return false;
    claimed->width = bytes.U16Le(6);
    claimed->height = bytes.U16Le(8);
    std::uint64_t at = 13;
    if (bytes.U8(10) & 0x80)
        at += 3ull << ((bytes.U8(10) & 0x07) + 1);  // the global colour table
    // Extensions before the image: an introducer, a label, then blocks of data, each one
    // byte of length first, until a block of none. Every step moves on by at least a byte.
    while (bytes.Has(at, 1) && bytes.U8(at) == 0x21) {
        at += 2;
        while (bytes.Has(at, 1) && bytes.U8(at) != 0)
            at += 1 + std::uint64_t{bytes.U8(at)};
        at += 1;
    }
    if (!bytes.Has(at, 9) || bytes.U8(at) != 0x2C)
        return false;
    claimed->width = std::max(claimed->width, bytes.U16Le(at + 1) + bytes.U16Le(at + 5));
    claimed->height = std::max(claimed->height, bytes.U16Le(at + 3) + bytes.U16Le(at + 7));
    return true;
}

// The info header after the file header: the old core one of 16-bit sizes, or one of 40 bytes
// or more with signed 32-bit sizes (a negative height is a picture stored top down).
bool BmpSize(const HeaderBytes& bytes, ClaimedSize* claimed)
{
    if (!bytes.Has(14, 4))
        return false;
    const std::uint32_t infoSize = bytes.U32Le(14);
    if (infoSize == 12 && bytes.Has(14, 12)) {
        claimed->width = bytes.U16Le(18);
        claimed->height = bytes.U16Le(20);
        return true;
    }
    if (infoSize < 40 || !bytes.Has(14, 40))
        return false;
    const auto width = static_cast<std::int32_t>(bytes.U32Le(18));
    const auto height = static_cast<std::int32_t>(bytes.U32Le(22));
    if (width <= 0 || height == INT32_MIN)
        return false;
    claimed->width = static_cast<std::uint32_t>(width);
    claimed->height = static_cast<std::uint32_t>(height < 0 ? -height : height);
    return true;
}

// The first directory's ImageWidth and ImageLength, read by the metadata's own TIFF parser
// (which keeps the first directory's entry of a tag where a later one repeats it).
bool TiffSize(const std::uint8_t* data, std::size_t size, ClaimedSize* claimed)
{
    if (size > UINT32_MAX)
        return false;
    try {
        TiffDirectoryParser parser(data, static_cast<std::uint32_t>(size), ExifParseMode::kTolerant);
        parser.Parse();
        return parser.GetFirstInteger(0, kTiffImageWidth, &claimed->width) &&
               parser.GetFirstInteger(0, kTiffImageLength, &claimed->height);
    } catch (const std::exception&) {
        // A header the parser cannot read (or memory that ran short for it) claims nothing.
        return false;
    }
}

}  // namespace

bool ReadClaimedSize(const std::uint8_t* data, std::size_t size, ClaimedSize* claimed)
{
    *claimed = ClaimedSize{};
    if (!data)
        return false;
    const HeaderBytes bytes(data, size);
    bool read = false;
    switch (SniffFileKind({data, size})) {
    case FileKind::kPng:
        read = PngSize(bytes, claimed);
        break;
    case FileKind::kGif:
        read = GifSize(bytes, claimed);
        break;
    case FileKind::kBmp:
        read = BmpSize(bytes, claimed);
        break;
    case FileKind::kTiff:
        read = TiffSize(data, size, claimed);
        break;
    default:
        break;  // a format with a decoder of its own, or none the header is known of
    }
    if (!read || claimed->width == 0 || claimed->height == 0) {
        *claimed = ClaimedSize{};
        return false;
    }
    return true;
}
