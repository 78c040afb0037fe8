#include "metadata/heif_picture_size.h"

#include <vector>

#include "metadata/box_range.h"
#include "metadata/exif_limits.h"
#include "metadata/iso_boxes.h"

namespace {

// An association names a property by an index of 7 or 15 bits: no property after this many
// can be named, so none is kept.
constexpr std::size_t kMaxNamedProperties = 0x7FFF;

struct Property {
    std::uint32_t type;
    BoxRange payload;
};

// The walk over the "meta" box: the primary item, the properties in their order, and the
// associations of items to them (kept until the primary item is known: "pitm" may come last).
class PrimaryItemWalk {
public:
    void Walk(BoxRange range, int depth);
    std::optional<std::pair<std::uint32_t, std::uint32_t>> Size() const;

private:
    void ReadPrimaryItem(BoxRange payload);
    void ReadProperties(BoxRange payload);
    // The primary item's property indices (1 = the first property), from one "ipma".
    std::vector<std::uint32_t> PrimaryAssociations(BoxRange payload) const;

    std::optional<std::uint32_t> primary_;
    std::vector<Property> properties_;
    std::vector<BoxRange> associations_;
};

void PrimaryItemWalk::Walk(BoxRange range, int depth)
{
    if (depth > exif_limits::kMaxBoxDepth)
        return;
    while (range.Remaining() >= kBoxHeaderBytes) {
        BoxHeader box;
        if (!ReadBoxHeader(range.Rest(), range.Position(), range.Remaining(), &box))
            return;
        range.Skip(box.headerSize);
        BoxRange payload = range.Take(box.PayloadSize());
        if (box.type == FourCC("meta")) {
            payload.Skip(4);  // version and flags
            if (!payload.Error())
                Walk(payload, depth + 1);
        } else if (box.type == FourCC("iprp")) {
            Walk(payload, depth + 1);
        } else if (box.type == FourCC("pitm")) {
            ReadPrimaryItem(payload);
        } else if (box.type == FourCC("ipco")) {
            ReadProperties(payload);
        } else if (box.type == FourCC("ipma")) {
            associations_.push_back(payload);
        }
    }
}

void PrimaryItemWalk::ReadPrimaryItem(BoxRange payload)
{
    const std::uint64_t version = payload.Read(1);
    payload.Skip(3);  // flags
    const std::uint64_t id = payload.Read(version == 0 ? 2 : 4);
    if (!payload.Error() && !primary_)
        primary_ = static_cast<std::uint32_t>(id);
}

void PrimaryItemWalk::ReadProperties(BoxRange payload)
{
    // Only the first "ipco" counts: the indices are of its properties.
    if (!properties_.empty())
        return;
    while (payload.Remaining() >= kBoxHeaderBytes && properties_.size() < kMaxNamedProperties) {
        BoxHeader box;
        if (!ReadBoxHeader(payload.Rest(), payload.Position(), payload.Remaining(), &box))
            return;
        payload.Skip(box.headerSize);
        properties_.push_back(Property{box.type, payload.Take(box.PayloadSize())});
    }
}

std::vector<std::uint32_t> PrimaryItemWalk::PrimaryAssociations(BoxRange payload) const
{
    const std::uint64_t version = payload.Read(1);
    const std::uint64_t flags = payload.Read(3);
    // Indices of 15 bits with the flag, else 7; the top bit says "essential".
    const unsigned indexBytes = (flags & 1) != 0 ? 2 : 1;
    const std::uint64_t indexMask = indexBytes == 2 ? 0x7FFF : 0x7F;
    const std::uint64_t entries = payload.Read(4);
    for (std::uint64_t entry = 0; entry < entries && !payload.Error(); ++entry) {
        const std::uint64_t id = payload.Read(version < 1 ? 2 : 4);
        const std::uint64_t count = payload.Read(1);
        if (id != *primary_) {
            payload.Skip(count * indexBytes);
            continue;
        }
        std::vector<std::uint32_t> indices;
        for (std::uint64_t n = 0; n < count; ++n)
            indices.push_back(static_cast<std::uint32_t>(payload.Read(indexBytes) & indexMask));
        if (payload.Error())
            return {};
        return indices;
    }
    return {};
}

std::optional<std::pair<std::uint32_t, std::uint32_t>> PrimaryItemWalk::Size() const
{
    if (!primary_)
        return std::nullopt;
    for (const BoxRange& associations : associations_) {
        std::optional<std::pair<std::uint32_t, std::uint32_t>> size;
        bool quarterTurn = false;
        for (const std::uint32_t index : PrimaryAssociations(associations)) {
            if (index == 0 || index > properties_.size())
                continue;
            BoxRange property = properties_[index - 1].payload;
            const std::uint32_t type = properties_[index - 1].type;
            if (type == FourCC("ispe") && !size) {
                property.Skip(4);  // version and flags
                const auto width = static_cast<std::uint32_t>(property.Read(4));
                const auto height = static_cast<std::uint32_t>(property.Read(4));
                if (!property.Error() && width != 0 && height != 0)
                    size = std::make_pair(width, height);
            } else if (type == FourCC("irot")) {
                // Counter-clockwise quarters in the low two bits: one or three turn it on its side.
                const std::uint64_t angle = property.Read(1);
                quarterTurn = !property.Error() && (angle & 1) != 0;
            }
        }
        if (size)
            return quarterTurn ? std::make_pair(size->second, size->first) : *size;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::pair<std::uint32_t, std::uint32_t>> HeifPrimaryPictureSize(std::span<const std::uint8_t> metaBox)
{
    PrimaryItemWalk walk;
    walk.Walk(BoxRange(metaBox.data(), 0, metaBox.size()), 0);
    return walk.Size();
}
