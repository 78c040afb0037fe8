#include "album/picture_codecs.h"

#include <cstring>

PictureContainer PictureContainerOf(const std::uint8_t* head, std::size_t size)
{
    if (size >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF)
        return PictureContainer::kJpeg;
    // The HEIF family by the brands of its first box, "ftyp": its major brand and the
    // compatible ones after it, four letters each.
    if (size < 16 || std::memcmp(head + 4, "ftyp", 4) != 0)
        return PictureContainer::kOther;
    const std::size_t boxSize = (std::size_t{head[0]} << 24) | (std::size_t{head[1]} << 16) |
                                (std::size_t{head[2]} << 8) | head[3];
    if (boxSize < 16 || boxSize > size)
        return PictureContainer::kOther;
    bool heif = false, av1 = false;
    auto look = [&](const std::uint8_t* brand) {
        for (const char* still : {"mif1", "heic", "heix", "heim", "heis", "avif"})
            heif = heif || std::memcmp(brand, still, 4) == 0;
        for (const char* sequence : {"msf1", "hevc", "hevx", "avis"})
            heif = heif || std::memcmp(brand, sequence, 4) == 0;
        av1 = av1 || std::memcmp(brand, "avif", 4) == 0 || std::memcmp(brand, "avis", 4) == 0;
    };
    look(head + 8);  // the major brand; then, past the minor version, the compatible ones
    for (std::size_t at = 16; at + 4 <= boxSize; at += 4)
        look(head + at);
    if (!heif)
        return PictureContainer::kOther;
    return av1 ? PictureContainer::kAvif : PictureContainer::kHeic;
}

std::string CodecVersions()
{
    return JpegCodecVersion() + ", " + HeifCodecVersion();
}
