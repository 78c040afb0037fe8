#include "metadata/webp_exif_locator.h"

#include <algorithm>
#include <cstring>

#include "metadata/exif_limits.h"
#include "metadata/file_kind.h"

namespace {

// "RIFF", the size of what follows it, "WEBP".
constexpr std::uint64_t kFileHeaderBytes = 12;
constexpr std::uint64_t kRiffSizeEnd = 8;
// A chunk: its type, its size (little-endian), the data, a pad byte when the size is odd.
constexpr std::uint64_t kChunkHeaderBytes = 8;

std::uint64_t LittleEndian32(const std::uint8_t* bytes)
{
    return std::uint64_t{bytes[0]} | (std::uint64_t{bytes[1]} << 8) | (std::uint64_t{bytes[2]} << 16) |
           (std::uint64_t{bytes[3]} << 24);
}

}  // namespace

bool LocateWebpExif(FileReader& file, std::vector<std::uint8_t>* block)
{
    block->clear();
    const std::uint64_t size = file.Size();
    std::uint8_t header[kFileHeaderBytes];
    if (size < kFileHeaderBytes || !file.ReadAt(0, header, sizeof header) || SniffFileKind(header) != FileKind::kWebp)
        return false;
    // The container's size bounds the walk; a file cut short is walked as far as it goes, and
    // a chunk that then claims more than is left ends it.
    const std::uint64_t end = std::min(size, kRiffSizeEnd + LittleEndian32(header + 4));
    std::uint64_t at = kFileHeaderBytes;
    for (int chunks = 0; chunks < exif_limits::kMaxRiffChunks && at <= end && end - at >= kChunkHeaderBytes;
         ++chunks) {
        std::uint8_t chunk[kChunkHeaderBytes];
        if (!file.ReadAt(at, chunk, sizeof chunk))
            return false;
        const std::uint64_t length = LittleEndian32(chunk + 4);
        const std::uint64_t data = at + kChunkHeaderBytes;
        if (length > end - data)
            return false;
        if (std::memcmp(chunk, "EXIF", 4) == 0)
            return length > 0 && length <= exif_limits::kMaxExifChunkBytes && ReadBytesAt(file, data, length, block);
        // The pad byte of the last chunk may be missing; the loop's test then ends the walk.
        at = data + length + (length & 1);
    }
    return false;
}
