#include "metadata/png_metadata_locator.h"

#include <cstring>

#include "metadata/box_range.h"
#include "metadata/exif_limits.h"
#include "metadata/file_kind.h"

namespace {

// The signature: the eight bytes a PNG file is known by.
constexpr std::uint64_t kSignatureBytes = 8;
// A chunk: its length, its type, the data, a CRC over type and data.
constexpr std::uint64_t kChunkHeaderBytes = 8;
constexpr std::uint64_t kChunkOverheadBytes = kChunkHeaderBytes + 4;
// Chunk lengths are 31 bits wide; a larger one is damage.
constexpr std::uint64_t kMaxChunkLength = 0x7FFFFFFF;
// The XMP chunk's keyword with its terminating zero, then the compression flag and method.
constexpr char kXmpKeyword[] = "XML:com.adobe.xmp";
constexpr std::uint64_t kXmpPrefixBytes = sizeof kXmpKeyword + 2;

bool IsType(const std::uint8_t* bytes, const char (&type)[5])
{
    return std::memcmp(bytes, type, 4) == 0;
}

// The packet of an "iTXt" chunk's data: behind the keyword, the compression flag and method,
// the language tag and the translated keyword, each tag ended by a zero byte.
std::string ItxtText(const std::vector<std::uint8_t>& data)
{
    std::uint64_t at = kXmpPrefixBytes;
    for (int tag = 0; tag < 2; ++tag) {
        const void* end = at < data.size() ? std::memchr(data.data() + at, 0, data.size() - at) : nullptr;
        if (!end)
            return std::string();
        at = static_cast<std::uint64_t>(static_cast<const std::uint8_t*>(end) - data.data()) + 1;
    }
    return std::string(data.begin() + static_cast<std::ptrdiff_t>(at), data.end());
}

// True when the "iTXt" chunk at `data` is the uncompressed XMP packet, judged by its first bytes.
bool IsUncompressedXmp(FileReader& file, std::uint64_t data, std::uint64_t length)
{
    std::uint8_t prefix[kXmpPrefixBytes];
    return length >= kXmpPrefixBytes && file.ReadAt(data, prefix, sizeof prefix) &&
           std::memcmp(prefix, kXmpKeyword, sizeof kXmpKeyword) == 0 && prefix[sizeof kXmpKeyword] == 0;
}

}  // namespace

PngMetadata LocatePngMetadata(FileReader& file)
{
    PngMetadata found;
    std::uint8_t signature[kSignatureBytes];
    const std::uint64_t size = file.Size();
    if (size < sizeof signature || !file.ReadAt(0, signature, sizeof signature) ||
        SniffFileKind(signature) != FileKind::kPng)
        return found;

    // The CRCs are not checked: a damaged block is read as the Exif reader reads any other,
    // and checking them would read every chunk whole.
    std::uint64_t at = kSignatureBytes;
    for (int chunks = 0; chunks < exif_limits::kMaxPngChunks && size - at >= kChunkOverheadBytes; ++chunks) {
        std::uint8_t header[kChunkHeaderBytes];
        if (!file.ReadAt(at, header, sizeof header))
            break;
        BoxRange fields(header, 0, sizeof header);
        const std::uint64_t length = fields.Read(4);
        const std::uint8_t* type = header + 4;
        if (length > kMaxChunkLength || length > size - at - kChunkOverheadBytes || IsType(type, "IEND"))
            break;
        const std::uint64_t data = at + kChunkHeaderBytes;
        if (IsType(type, "eXIf") && found.exif.empty() && length <= exif_limits::kMaxExifChunkBytes) {
            ReadBytesAt(file, data, length, &found.exif);
        } else if (IsType(type, "iTXt") && found.xmp.empty() && length <= exif_limits::kMaxXmpPacketBytes &&
                   IsUncompressedXmp(file, data, length)) {
            std::vector<std::uint8_t> text;
            if (ReadBytesAt(file, data, length, &text))
                found.xmp = ItxtText(text);
        }
        if (!found.exif.empty() && !found.xmp.empty())
            break;
        at = data + length + 4;
    }
    return found;
}
