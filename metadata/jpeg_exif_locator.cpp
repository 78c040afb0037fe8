#include "metadata/jpeg_exif_locator.h"

#include <algorithm>
#include <cstring>

#include "metadata/exif_limits.h"

namespace {

constexpr std::uint8_t kSoi = 0xD8, kEoi = 0xD9, kSos = 0xDA, kApp1 = 0xE1;
constexpr std::size_t kHeadBytes = 4096;

// Serves small reads from the file's first bytes, read once: most files have every
// segment header the walk needs in there.
class HeadReader {
public:
    explicit HeadReader(FileReader_CL& file) : file_(file)
    {
        head_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(file.Size(), kHeadBytes)));
        if (!head_.empty() && !file.ReadAt(0, head_.data(), head_.size()))
            head_.clear();
    }

    bool Read(std::uint64_t offset, void* out, std::size_t count)
    {
        if (offset > file_.Size() || count > file_.Size() - offset)
            return false;
        // What the head holds is copied from it; only the rest comes from the disk.
        auto* bytes = static_cast<std::uint8_t*>(out);
        if (offset < head_.size()) {
            const std::size_t fromHead = std::min<std::size_t>(count, head_.size() - offset);
            std::memcpy(bytes, head_.data() + offset, fromHead);
            offset += fromHead;
            bytes += fromHead;
            count -= fromHead;
        }
        return count == 0 || file_.ReadAt(offset, bytes, count);
    }

private:
    FileReader_CL& file_;
    std::vector<std::uint8_t> head_;
};

bool IsStandalone(std::uint8_t marker)
{
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

}  // namespace

bool LocateJpegExif(FileReader_CL& file, std::vector<std::uint8_t>* segment)
{
    segment->clear();
    HeadReader reader(file);
    std::uint8_t soi[2];
    if (!reader.Read(0, soi, 2) || soi[0] != 0xFF || soi[1] != kSoi)
        return false;

    std::uint64_t position = 2;
    for (int segments = 0; segments < exif_limits::kMaxJpegSegments; ++segments) {
        std::uint8_t marker[2];
        if (!reader.Read(position, marker, 2) || marker[0] != 0xFF)
            return false;
        // Any number of 0xFF fill bytes may stand before a marker.
        while (marker[1] == 0xFF) {
            ++position;
            if (!reader.Read(position + 1, &marker[1], 1))
                return false;
        }
        position += 2;
        if (marker[1] == kSos || marker[1] == kEoi)
            return false;
        if (IsStandalone(marker[1]))
            continue;
        std::uint8_t lengthBytes[2];
        if (!reader.Read(position, lengthBytes, 2))
            return false;
        const std::size_t length = (std::size_t{lengthBytes[0]} << 8) | lengthBytes[1];
        if (length < 2)
            return false;
        const std::size_t payloadLength = length - 2;
        const std::uint64_t payload = position + 2;
        if (marker[1] == kApp1 && payloadLength >= 6) {
            std::uint8_t signature[6];
            if (!reader.Read(payload, signature, 6))
                return false;
            if (std::memcmp(signature, "Exif\0\0", 6) == 0) {
                segment->resize(payloadLength);
                if (!reader.Read(payload, segment->data(), payloadLength)) {
                    segment->clear();
                    return false;
                }
                return true;
            }
        }
        position = payload + payloadLength;
    }
    return false;
}
