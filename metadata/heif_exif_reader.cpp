#include "metadata/heif_exif_reader.h"

#include <set>

#include "base/path_text.h"
#include "metadata/exif_limits.h"

namespace {

constexpr std::uint32_t kNoItem = 0xFFFFFFFF;

constexpr std::uint32_t FourCC(const char (&text)[5])
{
    return (std::uint32_t(std::uint8_t(text[0])) << 24) | (std::uint32_t(std::uint8_t(text[1])) << 16) |
           (std::uint32_t(std::uint8_t(text[2])) << 8) | std::uint32_t(std::uint8_t(text[3]));
}

// The walk over one file's boxes: a big-endian view of the bytes, the Exif item ID once an
// "infe" entry names it, and the extent once "iloc" locates it.
class BoxWalk {
public:
    explicit BoxWalk(const std::vector<std::uint8_t>& bytes) : data_(bytes.data()), size_(bytes.size()) {}

    bool Walk(std::uint64_t position, std::uint64_t end, int depth);
    bool ExifItemKnown() const { return exifItem_ != kNoItem; }
    std::uint64_t ExtentOffset() const { return extentOffset_; }
    std::uint64_t ExtentLength() const { return extentLength_; }

private:
    // Readers fail without moving the position when the value would end past the bytes.
    bool Read(std::uint64_t& position, unsigned bytes, std::uint64_t* value) const
    {
        if (position > size_ || bytes > size_ - position)
            return false;
        std::uint64_t result = 0;
        for (unsigned i = 0; i < bytes; ++i)
            result = (result << 8) | data_[position + i];
        position += bytes;
        *value = result;
        return true;
    }
    // A field of 0, 4 or 8 bytes; a size of 0 reads as 0.
    bool ReadSized(std::uint64_t& position, unsigned bytes, std::uint64_t* value) const
    {
        if (bytes == 0) {
            *value = 0;
            return true;
        }
        return Read(position, bytes, value);
    }

    void ReadItemInfo(std::uint64_t payload, std::uint64_t length);
    bool ReadItemLocation(std::uint64_t payload, std::uint64_t length);

    const std::uint8_t* data_;
    std::uint64_t size_;
    std::uint32_t exifItem_ = kNoItem;
    std::uint64_t extentOffset_ = 0;
    std::uint64_t extentLength_ = 0;
};

bool BoxWalk::Walk(std::uint64_t position, std::uint64_t end, int depth)
{
    if (depth > exif_limits::kMaxBoxDepth)
        return false;
    while (position + 8 <= end) {
        std::uint64_t at = position;
        std::uint64_t size32 = 0, type = 0;
        if (!Read(at, 4, &size32) || !Read(at, 4, &type))
            return false;
        std::uint64_t size = size32;
        std::uint64_t header = 8;
        if (size32 == 1) {
            if (position + 16 > end || !Read(at, 8, &size))
                return false;
            header = 16;
        } else if (size32 == 0) {
            size = end - position;  // runs to the end of the enclosing range
        }
        if (size < header || size > end - position)
            return false;
        const std::uint64_t payload = position + header;
        const std::uint64_t payloadLength = size - header;
        const std::uint64_t boxEnd = position + size;

        if (type == FourCC("infe") && payloadLength >= 8)
            ReadItemInfo(payload, payloadLength);
        if (type == FourCC("iloc") && ExifItemKnown() && ReadItemLocation(payload, payloadLength))
            return true;
        // Media data is never walked: it is most of a large file and holds no boxes.
        if (payloadLength >= 8 && type != FourCC("mdat")) {
            std::uint64_t child = payload;
            if (type == FourCC("meta"))
                child += 4;  // version and flags
            else if (type == FourCC("iinf"))
                child += data_[payload] == 0 ? 6 : 8;  // version, flags, 16- or 32-bit count
            if (child + 8 <= boxEnd && Walk(child, boxEnd, depth + 1))
                return true;
        }
        position += size;
    }
    return false;
}

void BoxWalk::ReadItemInfo(std::uint64_t payload, std::uint64_t length)
{
    const std::uint8_t version = data_[payload];
    std::uint64_t at = payload + 4;
    std::uint64_t id = 0, protection = 0, itemType = 0;
    const unsigned idBytes = (version >= 3 && length >= 14) ? 4 : 2;
    if (!Read(at, idBytes, &id) || !Read(at, 2, &protection) || !Read(at, 4, &itemType))
        return;
    if (itemType == FourCC("Exif") || itemType == FourCC("exif"))
        exifItem_ = static_cast<std::uint32_t>(id);
}

bool BoxWalk::ReadItemLocation(std::uint64_t payload, std::uint64_t length)
{
    if (length < 7)
        return false;
    const std::uint64_t boxEnd = payload + length;
    const std::uint8_t version = data_[payload];
    const unsigned offsetSize = data_[payload + 4] >> 4;
    const unsigned lengthSize = data_[payload + 4] & 0x0F;
    auto validSize = [](unsigned size) { return size == 0 || size == 4 || size == 8; };
    if (!validSize(offsetSize) || !validSize(lengthSize))
        return false;
    unsigned baseOffsetSize = data_[payload + 5] >> 4;
    if (!validSize(baseOffsetSize))
        baseOffsetSize = 4;
    const unsigned indexSize = version >= 1 ? (data_[payload + 5] & 0x0F) : 0;

    std::uint64_t at = payload + 6;
    std::uint64_t itemCount = 0;
    bool shortIds = true;
    if (version == 0) {
        if (!Read(at, 2, &itemCount))
            return false;
    } else {
        if (!Read(at, 4, &itemCount))
            return false;
        if (itemCount > 0xFFFF) {
            // A 16-bit count written where a 32-bit one belongs: the box uses 16-bit IDs.
            itemCount >>= 16;
            at -= 2;
        } else {
            shortIds = false;
        }
    }
    if (itemCount == 0)
        return false;

    for (std::uint64_t item = 0; item < itemCount; ++item) {
        if (at >= boxEnd)
            return false;
        std::uint64_t id = 0, skipped = 0, baseOffset = 0, extentCount = 0;
        if (!Read(at, shortIds ? 2 : 4, &id))
            return false;
        if (version >= 1 && !Read(at, 2, &skipped))  // reserved bits and construction method
            return false;
        if (!Read(at, 2, &skipped) ||                 // data reference index
            !ReadSized(at, baseOffsetSize, &baseOffset) || !Read(at, 2, &extentCount))
            return false;

        if (id != exifItem_) {
            for (std::uint64_t e = 0; e < extentCount && at < boxEnd; ++e) {
                at += indexSize;
                std::uint64_t ignored = 0;
                ReadSized(at, offsetSize, &ignored);
                ReadSized(at, lengthSize, &ignored);
            }
            continue;
        }
        if (extentCount == 0 || at >= boxEnd)
            return false;
        at += indexSize;
        std::uint64_t offset = 0, extent = 0;
        if (!ReadSized(at, offsetSize, &offset) || !ReadSized(at, lengthSize, &extent))
            return false;
        if (offset > UINT64_MAX - baseOffset)
            return false;
        extentOffset_ = baseOffset + offset;
        extentLength_ = extent;
        return true;
    }
    return false;
}

}  // namespace

bool IsHeifExtension(const std::wstring& pathOrExtension)
{
    static const std::set<std::wstring> kExtensions = {L".avif", L".heic", L".heif", L".hevc"};
    // A dot in a folder's name leaves a backslash in the "extension", which no entry holds.
    return kExtensions.count(LowerAscii(ExtensionOf(pathOrExtension))) != 0;
}

bool CExifReader::LoadFile(const std::wstring& path)
{
    bytes_.clear();
    std::unique_ptr<FileReader_CL> file = FileReader_CL::Open(path);
    return file && LoadFrom(*file);
}

bool CExifReader::LoadFrom(FileReader_CL& file)
{
    bytes_.clear();
    const std::uint64_t size = file.Size();
    if (size == 0 || size > exif_limits::kMaxHeifFileBytes)
        return false;
    bytes_.resize(static_cast<std::size_t>(size));
    if (!file.ReadAt(0, bytes_.data(), bytes_.size())) {
        bytes_.clear();
        return false;
    }
    return true;
}

std::vector<std::uint8_t> CHeifExifReader::ExtractExif() const
{
    if (bytes_.empty())
        return {};
    BoxWalk walk(bytes_);
    bool found = walk.Walk(0, bytes_.size(), 0);
    // Files that put "iinf" after "iloc" name the Exif item only after its location has
    // gone by: walk once more, now that the item is known.
    if (!found && walk.ExifItemKnown())
        found = walk.Walk(0, bytes_.size(), 0);
    if (!found)
        return {};
    const std::uint64_t offset = walk.ExtentOffset();
    const std::uint64_t length = walk.ExtentLength();
    if (offset > bytes_.size() || length > bytes_.size() - offset)
        return {};
    return std::vector<std::uint8_t>(bytes_.begin() + static_cast<std::ptrdiff_t>(offset),
                                     bytes_.begin() + static_cast<std::ptrdiff_t>(offset + length));
}
