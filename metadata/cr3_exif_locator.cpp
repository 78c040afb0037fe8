#include "metadata/cr3_exif_locator.h"

#include <cstring>

#include "metadata/exif_limits.h"
#include "metadata/iso_boxes.h"

namespace {

// The "uuid" box in which Canon keeps its metadata, 85c0b687-820f-11e0-8111-f4ce462b6a48.
constexpr std::uint8_t kCanonUuid[16] = {0x85, 0xC0, 0xB6, 0x87, 0x82, 0x0F, 0x11, 0xE0,
                                         0x81, 0x11, 0xF4, 0xCE, 0x46, 0x2B, 0x6A, 0x48};

std::vector<std::uint8_t>* BlockOfBox(std::uint32_t type, Cr3ExifBlocks* blocks)
{
    if (type == FourCC("CMT1"))
        return &blocks->ifd0;
    if (type == FourCC("CMT2"))
        return &blocks->exif;
    if (type == FourCC("CMT4"))
        return &blocks->gps;
    return nullptr;
}

bool IsCanonUuid(FileReader& file, const BoxHeader& box)
{
    std::uint8_t uuid[sizeof kCanonUuid];
    return box.type == FourCC("uuid") && box.PayloadSize() >= sizeof uuid &&
           file.ReadAt(box.PayloadOffset(), uuid, sizeof uuid) && std::memcmp(uuid, kCanonUuid, sizeof uuid) == 0;
}

// The CMT boxes among the children of Canon's box; each one that is too large or cannot be read
// is left empty.
void ReadCanonBoxes(FileReader& file, const BoxHeader& canon, Cr3ExifBlocks* blocks)
{
    ForEachBox(file, canon.PayloadOffset() + sizeof kCanonUuid, canon.offset + canon.size,
               exif_limits::kMaxMovieChildBoxes, [&](const BoxHeader& child) {
                   std::vector<std::uint8_t>* block = BlockOfBox(child.type, blocks);
                   if (!block || !block->empty() || child.PayloadSize() > exif_limits::kMaxExifChunkBytes)
                       return false;
                   ReadBytesAt(file, child.PayloadOffset(), child.PayloadSize(), block);
                   return false;
               });
}

}  // namespace

bool LocateCr3Exif(FileReader& file, Cr3ExifBlocks* blocks)
{
    *blocks = Cr3ExifBlocks{};
    // "moov" and, among its children (as many as a movie's), Canon's box: the camera writes it
    // first, before "mvhd".
    ForEachBox(file, 0, file.Size(), exif_limits::kMaxIsoTopLevelBoxes, [&](const BoxHeader& movie) {
        if (movie.type != FourCC("moov"))
            return false;
        ForEachBox(file, movie.PayloadOffset(), movie.offset + movie.size, exif_limits::kMaxMovieChildBoxes,
                   [&](const BoxHeader& child) {
                       if (!IsCanonUuid(file, child))
                           return false;
                       ReadCanonBoxes(file, child, blocks);
                       return true;
                   });
        return true;  // one movie box per file
    });
    return !blocks->ifd0.empty() || !blocks->exif.empty() || !blocks->gps.empty();
}
