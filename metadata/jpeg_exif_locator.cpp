#include "metadata/jpeg_exif_locator.h"

#include <algorithm>
#include <cstring>

#include "metadata/exif_limits.h"
#include "metadata/file_kind.h"

namespace {

constexpr std::uint8_t kEoi = 0xD9, kSos = 0xDA, kApp1 = 0xE1;
// The first window holds the segment headers of most files; each further one is twice as
// large, up to the last size.
constexpr std::size_t kFirstWindowBytes = 4096;
constexpr std::size_t kLastWindowBytes = 64 * 1024;

// Serves the walk's small reads from a window of the file read in blocks: a damaged file that
// makes the walk step byte by byte costs one read per block, not one per byte.
class WindowReader {
public:
    explicit WindowReader(FileReader& file) : file_(file) {}

    bool Read(std::uint64_t offset, void* out, std::size_t count)
    {
        if (offset > file_.Size() || count > file_.Size() - offset)
            return false;
        if (count > kLastWindowBytes)
            return file_.ReadAt(offset, out, count);
        if (offset < windowStart_ || offset + count > windowStart_ + window_.size()) {
            const std::size_t wanted = std::max(count, nextWindowBytes_);
            window_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(wanted, file_.Size() - offset)));
            windowStart_ = offset;
            nextWindowBytes_ = std::min(2 * nextWindowBytes_, kLastWindowBytes);
            if (!file_.ReadAt(offset, window_.data(), window_.size())) {
                window_.clear();
                return false;
            }
        }
        std::memcpy(out, window_.data() + (offset - windowStart_), count);
        return true;
    }

private:
    FileReader& file_;
    std::vector<std::uint8_t> window_;
    std::uint64_t windowStart_ = 0;
    std::size_t nextWindowBytes_ = kFirstWindowBytes;

public:
    // The walk goes on past a large segment: the headers after it are read in small windows
    // again.
    void StartSmall() { nextWindowBytes_ = kFirstWindowBytes; }
};

bool IsStandalone(std::uint8_t marker)
{
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

// SOF0 to SOF15 but for DHT (C4), JPG (C8) and DAC (CC), which share the range.
bool IsFrameHeader(std::uint8_t marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

}  // namespace

bool LocateJpegExif(FileReader& file, std::vector<std::uint8_t>* segment, JpegFrameSize* frame)
{
    segment->clear();
    if (frame)
        *frame = JpegFrameSize{};
    bool found = false;
    WindowReader reader(file);
    // The head comes from the walk's first window: telling the file costs no read of its own.
    std::uint8_t head[kFileKindHeadBytes];
    const auto headBytes = static_cast<std::size_t>(std::min<std::uint64_t>(file.Size(), sizeof head));
    if (headBytes == 0 || !reader.Read(0, head, headBytes) || SniffFileKind({head, headBytes}) != FileKind::kJpeg)
        return false;

    std::uint64_t position = 2;
    for (int segments = 0; segments < exif_limits::kMaxJpegSegments; ++segments) {
        std::uint8_t marker[2];
        if (!reader.Read(position, marker, 2) || marker[0] != 0xFF)
            return found;
        // 0xFF fill bytes may stand before a marker, within reason.
        for (std::uint32_t fill = 0; marker[1] == 0xFF; ++fill) {
            if (fill == exif_limits::kMaxJpegFillBytes)
                return found;
            ++position;
            if (!reader.Read(position + 1, &marker[1], 1))
                return found;
        }
        position += 2;
        if (marker[1] == kSos || marker[1] == kEoi)
            return found;
        if (IsStandalone(marker[1]))
            continue;
        std::uint8_t lengthBytes[2];
        if (!reader.Read(position, lengthBytes, 2))
            return found;
        const std::size_t length = (std::size_t{lengthBytes[0]} << 8) | lengthBytes[1];
        if (length < 2)
            return found;
        const std::size_t payloadLength = length - 2;
        const std::uint64_t payload = position + 2;
        if (frame && IsFrameHeader(marker[1]) && frame->width == 0) {
            // Precision (1 byte), height and width (2 bytes each, big-endian). A height of 0
            // is left to a DNL segment after the scan, which a head's walk does not reach.
            std::uint8_t header[5];
            if (payloadLength >= sizeof header && reader.Read(payload, header, sizeof header)) {
                frame->height = (std::uint32_t{header[1]} << 8) | header[2];
                frame->width = (std::uint32_t{header[3]} << 8) | header[4];
                if (frame->width == 0 || frame->height == 0)
                    *frame = JpegFrameSize{};
            }
            // The Exif comes before the frame in every file we know of; a writer that put it
            // after is still read to its Exif.
            if (found)
                return true;
        }
        if (!found && marker[1] == kApp1 && payloadLength >= 6) {
            std::uint8_t signature[6];
            if (!reader.Read(payload, signature, 6))
                return false;
            if (std::memcmp(signature, "Exif\0\0", 6) == 0) {
                segment->resize(payloadLength);
                if (!reader.Read(payload, segment->data(), payloadLength)) {
                    segment->clear();
                    return false;
                }
                found = true;
                if (!frame || frame->width != 0)
                    return true;
                reader.StartSmall();
            }
        }
        position = payload + payloadLength;
    }
    return found;
}
