#include "metadata/iso_boxes.h"

#include "metadata/box_range.h"

bool ReadBoxHeader(std::span<const std::uint8_t> held, std::uint64_t offset, std::uint64_t room, BoxHeader* box)
{
    BoxRange fields(held.data(), 0, held.size());
    BoxHeader header;
    header.offset = offset;
    header.size = fields.Read(4);
    header.type = static_cast<std::uint32_t>(fields.Read(4));
    header.headerSize = kBoxHeaderBytes;
    if (header.size == 1) {
        header.size = fields.Read(8);  // a 64-bit size follows the type
        header.headerSize = kLargeBoxHeaderBytes;
    } else if (header.size == 0) {
        header.size = room;
    }
    if (fields.Error() || header.size < header.headerSize || header.size > room)
        return false;
    *box = header;
    return true;
}

namespace {

// True when the header that starts with these 8 bytes goes on with a 64-bit size: only then
// are 8 more read, so that a walk over boxes of 32-bit sizes never reads ahead into a payload.
bool HasLargeSize(const std::uint8_t* first)
{
    return first[0] == 0 && first[1] == 0 && first[2] == 0 && first[3] == 1;
}

}  // namespace

bool ForEachBox(FileReader& file, std::uint64_t begin, std::uint64_t end, int maxBoxes,
                const std::function<bool(const BoxHeader&)>& visit)
{
    if (end > file.Size() || begin > end)
        return false;
    std::uint64_t at = begin;
    for (int boxes = 0; boxes < maxBoxes && end - at >= kBoxHeaderBytes; ++boxes) {
        std::uint8_t bytes[kLargeBoxHeaderBytes];
        std::size_t held = kBoxHeaderBytes;
        if (!file.ReadAt(at, bytes, held))
            return false;
        if (HasLargeSize(bytes) && end - at >= kLargeBoxHeaderBytes) {
            if (!file.ReadAt(at + held, bytes + held, kLargeBoxHeaderBytes - held))
                return false;
            held = kLargeBoxHeaderBytes;
        }
        BoxHeader box;
        if (!ReadBoxHeader({bytes, held}, at, end - at, &box))
            return false;
        if (visit(box))
            return true;
        at += box.size;
    }
    return false;
}
