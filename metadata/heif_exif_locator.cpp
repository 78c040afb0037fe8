#include "metadata/heif_exif_locator.h"

#include <set>

#include "base/path_text.h"
#include "metadata/box_range.h"
#include "metadata/heif_picture_size.h"
#include "metadata/iso_boxes.h"
#include "metadata/memory_file_reader.h"
#include "metadata/exif_limits.h"

namespace {

constexpr std::uint32_t kNoItem = 0xFFFFFFFF;

// The boxes the Exif item is found in: "meta" holds "iinf" (whose "infe" entries name the
// items) and "iloc" (which locates them). The walk descends into these alone; every other
// box, "mdat" with the pictures above all, is stepped over unread.
bool IsContainer(std::uint32_t type)
{
    return type == FourCC("meta") || type == FourCC("iinf");
}

// The walk over one file's boxes: the Exif item ID once an "infe" entry names it, and the
// extent once "iloc" locates it.
class BoxWalk {
public:
    bool Walk(BoxRange range, int depth);
    bool ExifItemKnown() const { return exifItem_ != kNoItem; }
    std::uint64_t ExtentOffset() const { return extentOffset_; }
    std::uint64_t ExtentLength() const { return extentLength_; }

private:
    bool WalkChildren(std::uint32_t type, BoxRange payload, int depth);
    void ReadItemInfo(BoxRange payload);
    bool ReadItemLocation(BoxRange payload);

    std::uint32_t exifItem_ = kNoItem;
    std::uint64_t extentOffset_ = 0;
    std::uint64_t extentLength_ = 0;
};

bool BoxWalk::Walk(BoxRange range, int depth)
{
    if (depth > exif_limits::kMaxBoxDepth)
        return false;
    while (range.Remaining() >= kBoxHeaderBytes) {
        // A box smaller than its own header, or larger than what its parent has left, ends
        // the walk: nothing after it can be trusted to start where it seems to.
        BoxHeader box;
        if (!ReadBoxHeader(range.Rest(), range.Position(), range.Remaining(), &box))
            return false;
        range.Skip(box.headerSize);
        BoxRange payload = range.Take(box.PayloadSize());
        if (box.type == FourCC("infe"))
            ReadItemInfo(payload);
        else if (box.type == FourCC("iloc") && ExifItemKnown() && ReadItemLocation(payload))
            return true;
        else if (IsContainer(box.type) && WalkChildren(box.type, payload, depth))
            return true;
    }
    return false;
}

bool BoxWalk::WalkChildren(std::uint32_t type, BoxRange payload, int depth)
{
    const std::uint64_t version = payload.Read(1);
    payload.Skip(3);  // flags
    if (type == FourCC("iinf"))
        payload.Read(version == 0 ? 2 : 4);  // the entry count; the entries say it again
    return !payload.Error() && Walk(payload, depth + 1);
}

void BoxWalk::ReadItemInfo(BoxRange payload)
{
    const std::uint64_t version = payload.Read(1);
    payload.Skip(3);  // flags
    // Entries before version 2 carry a name but no item type: they cannot name the Exif item.
    if (version < 2)
        return;
    const std::uint64_t id = payload.Read(version == 2 ? 2 : 4);
    payload.Skip(2);  // protection index
    const std::uint64_t itemType = payload.Read(4);
    if (!payload.Error() && (itemType == FourCC("Exif") || itemType == FourCC("exif")))
        exifItem_ = static_cast<std::uint32_t>(id);
}

bool BoxWalk::ReadItemLocation(BoxRange payload)
{
    const std::uint64_t version = payload.Read(1);
    payload.Skip(3);  // flags
    const std::uint64_t sizes = payload.Read(1);
    const auto offsetSize = static_cast<unsigned>(sizes >> 4);
    const auto lengthSize = static_cast<unsigned>(sizes & 0x0F);
    const std::uint64_t moreSizes = payload.Read(1);
    const auto baseOffsetSize = static_cast<unsigned>(moreSizes >> 4);
    // The index size exists from version 1 on; before, those four bits are reserved.
    const auto indexSize = version >= 1 ? static_cast<unsigned>(moreSizes & 0x0F) : 0u;
    auto validSize = [](unsigned size) { return size == 0 || size == 4 || size == 8; };
    if (payload.Error() || version > 2 || !validSize(offsetSize) || !validSize(lengthSize) ||
        !validSize(baseOffsetSize) || !validSize(indexSize))
        return false;

    // Counts and item IDs are 16 bits wide before version 2 and 32 bits from it on.
    const unsigned idBytes = version < 2 ? 2 : 4;
    const std::uint64_t itemCount = payload.Read(idBytes);
    for (std::uint64_t item = 0; item < itemCount && !payload.Error(); ++item) {
        const std::uint64_t id = payload.Read(idBytes);
        if (version >= 1)
            payload.Skip(2);  // reserved bits and the construction method
        payload.Skip(2);      // data reference index
        const std::uint64_t baseOffset = payload.Read(baseOffsetSize);
        const std::uint64_t extentCount = payload.Read(2);
        if (id != exifItem_) {
            // Stepped over in one: extents of no bytes at all must not cost a turn each.
            payload.Skip(extentCount * (std::uint64_t{indexSize} + offsetSize + lengthSize));
            continue;
        }
        // The first extent is the item: an Exif block is written in one piece.
        payload.Skip(indexSize);
        const std::uint64_t offset = payload.Read(offsetSize);
        const std::uint64_t length = payload.Read(lengthSize);
        if (payload.Error() || extentCount == 0 || offset > UINT64_MAX - baseOffset)
            return false;
        extentOffset_ = baseOffset + offset;
        extentLength_ = length;
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

bool ExifContainerReader::LoadFile(const std::wstring& path)
{
    bytes_.clear();
    owned_ = FileReader::Open(path);
    file_ = owned_.get();
    return file_ && file_->Size() > 0;
}

bool ExifContainerReader::LoadFrom(FileReader& file)
{
    bytes_.clear();
    owned_.reset();
    file_ = &file;
    return file.Size() > 0;
}

void ExifContainerReader::SetBytes(std::vector<std::uint8_t> bytes)
{
    bytes_ = std::move(bytes);
    owned_ = std::make_unique<MemoryFileReader>(bytes_.data(), bytes_.size());
    file_ = owned_.get();
}

std::vector<std::uint8_t> HeifExifLocator::ExtractExif() const
{
    return ExtractExif(nullptr);
}

std::vector<std::uint8_t> HeifExifLocator::ExtractExif(
    std::optional<std::pair<std::uint32_t, std::uint32_t>>* primarySize) const
{
    if (primarySize)
        primarySize->reset();
    if (!file_)
        return {};
    const std::uint64_t size = file_->Size();
    std::vector<std::uint8_t> item;
    // The top-level boxes by their headers alone, up to the first "meta" box, which names and
    // places the item. A file has one: any further ones are not read (a crafted file repeats
    // a costly one many times).
    ForEachBox(*file_, 0, size, exif_limits::kMaxHeifTopLevelBoxes, [&](const BoxHeader& box) {
        if (box.type != FourCC("meta"))
            return false;
        if (box.size > exif_limits::kMaxHeifMetaBytes)
            return true;
        std::vector<std::uint8_t> meta(static_cast<std::size_t>(box.size));
        if (!file_->ReadAt(box.offset, meta.data(), meta.size()))
            return true;
        if (primarySize)
            *primarySize = HeifPrimaryPictureSize(meta);
        const BoxRange range(meta.data(), 0, meta.size());
        BoxWalk walk;
        bool found = walk.Walk(range, 0);
        // Files that put "iinf" after "iloc" name the Exif item only after its location has
        // gone by: walk once more, now that the item is known.
        if (!found && walk.ExifItemKnown())
            found = walk.Walk(range, 0);
        if (!found)
            return true;
        const std::uint64_t offset = walk.ExtentOffset();
        const std::uint64_t length = walk.ExtentLength();
        if (offset > size || length > size - offset || length > exif_limits::kMaxHeifExifBytes)
            return true;
        ReadBytesAt(*file_, offset, length, &item);
        return true;
    });
    return item;
}
