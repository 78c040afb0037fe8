#include "metadata/file_kind.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "metadata/box_range.h"
#include "metadata/iso_boxes.h"

namespace {

using namespace std::string_view_literals;

bool HasAt(std::span<const std::uint8_t> head, std::size_t at, std::string_view magic)
{
    return at <= head.size() && magic.size() <= head.size() - at &&
           std::memcmp(head.data() + at, magic.data(), magic.size()) == 0;
}

// Brands of the HEIF family in a file type box: the image and sequence brands of HEIF itself,
// of HEVC and of AV1. A file with any of them is a HEIF file to every reader; one with an AV1
// brand among them holds pictures for the AV1 decoder.
struct HeifBrand {
    std::uint32_t brand;
    bool av1;
};
constexpr HeifBrand kHeifBrands[] = {
    {FourCC("mif1"), false}, {FourCC("msf1"), false}, {FourCC("mif2"), false}, {FourCC("heic"), false},
    {FourCC("heix"), false}, {FourCC("heim"), false}, {FourCC("heis"), false}, {FourCC("hevc"), false},
    {FourCC("hevx"), false}, {FourCC("hevm"), false}, {FourCC("hevs"), false}, {FourCC("avif"), true},
    {FourCC("avis"), true},  {FourCC("avio"), true},
};

// The boxes an ISO base media file may start with besides "ftyp": a QuickTime file written
// before file type boxes existed starts with its movie, its media data or free space.
bool IsFirstBoxOfAMovie(std::uint32_t type)
{
    for (std::uint32_t movie : {FourCC("moov"), FourCC("mdat"), FourCC("wide"), FourCC("free"), FourCC("skip"),
                                FourCC("pnot")}) {
        if (type == movie)
            return true;
    }
    return false;
}

// An ISO base media file by its first box; kOther for anything else.
FileKind IsoFileKind(std::span<const std::uint8_t> head)
{
    BoxHeader first;
    // The file's size is not known here: any size the first box claims may be true.
    if (!ReadBoxHeader(head, 0, UINT64_MAX, &first))
        return FileKind::kOther;
    if (first.type != FourCC("ftyp"))
        return IsFirstBoxOfAMovie(first.type) ? FileKind::kMovie : FileKind::kOther;
    // The major brand, then past the minor version the compatible ones, as far as both the box
    // and the bytes held go.
    BoxRange brands(head.data(), first.headerSize, std::min<std::uint64_t>(first.size, head.size()));
    const std::uint64_t major = brands.Read(4);
    if (brands.Error())
        return FileKind::kMovie;
    if (major == FourCC("crx "))
        return FileKind::kCr3;
    bool heif = false, av1 = false;
    auto look = [&](std::uint64_t brand) {
        for (const HeifBrand& known : kHeifBrands) {
            if (brand == known.brand) {
                heif = true;
                av1 = av1 || known.av1;
            }
        }
    };
    look(major);
    brands.Skip(4);  // the minor version
    while (!brands.Error() && brands.Remaining() >= 4)
        look(brands.Read(4));
    if (!heif)
        return FileKind::kMovie;
    return av1 ? FileKind::kAvif : FileKind::kHeic;
}

}  // namespace

FileKind SniffFileKind(std::span<const std::uint8_t> head)
{
    head = head.first(std::min(head.size(), kFileKindHeadBytes));
    if (HasAt(head, 0, "\xFF\xD8\xFF"sv))
        return FileKind::kJpeg;
    if (HasAt(head, 0, "II*\0"sv) || HasAt(head, 0, "MM\0*"sv))
        return FileKind::kTiff;
    if (HasAt(head, 0, "\x89PNG\r\n\x1A\n"sv))
        return FileKind::kPng;
    if (HasAt(head, 0, "RIFF"sv) && HasAt(head, 8, "WEBP"sv))
        return FileKind::kWebp;
    // Before the two-letter BMP signature: a BMP file never has a box type where its size's
    // upper bytes and its reserved field lie.
    if (const FileKind iso = IsoFileKind(head); iso != FileKind::kOther)
        return iso;
    if (HasAt(head, 0, "GIF87a"sv) || HasAt(head, 0, "GIF89a"sv))
        return FileKind::kGif;
    if (HasAt(head, 0, "BM"sv))
        return FileKind::kBmp;
    return FileKind::kOther;
}
