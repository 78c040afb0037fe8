#include "metadata/iso_boxes.h"

#include "metadata/box_range.h"

bool ForEachBox(FileReader& file, std::uint64_t begin, std::uint64_t end, int maxBoxes,
                const std::function<bool(const BoxHeader&)>& visit)
{
    if (end > file.Size() || begin > end)
        return false;
    std::uint64_t at = begin;
    for (int boxes = 0; boxes < maxBoxes && end - at >= 8; ++boxes) {
        std::uint8_t bytes[16];
        if (!file.ReadAt(at, bytes, 8))
            return false;
        BoxRange fields(bytes, 0, 8);
        BoxHeader box;
        box.offset = at;
        box.size = fields.Read(4);
        box.type = static_cast<std::uint32_t>(fields.Read(4));
        box.headerSize = 8;
        if (box.size == 1) {
            // A 64-bit size follows the type.
            if (end - at < 16 || !file.ReadAt(at + 8, bytes + 8, 8))
                return false;
            BoxRange large(bytes, 8, 16);
            box.size = large.Read(8);
            box.headerSize = 16;
        } else if (box.size == 0) {
            box.size = end - at;
        }
        if (box.size < box.headerSize || box.size > end - at)
            return false;
        if (visit(box))
            return true;
        at += box.size;
    }
    return false;
}
