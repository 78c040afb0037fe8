#include "tests/metadata/heif_box_builder.h"

#include <algorithm>
#include <cstring>

Bytes BigEndian(std::uint64_t value, unsigned bytes)
{
    Bytes out(bytes);
    for (unsigned i = 0; i < bytes; ++i)
        out[bytes - 1 - i] = static_cast<std::uint8_t>(value >> (8 * i));
    return out;
}

// Byte by byte: GCC 12 misreads range inserts into small vectors as out of bounds.
static void Append(Bytes& out, const Bytes& more)
{
    out.reserve(out.size() + more.size());
    for (std::uint8_t b : more)
        out.push_back(b);
}

Bytes Box(const char* type, const Bytes& payload)
{
    Bytes out = BigEndian(8 + payload.size(), 4);
    out.insert(out.end(), type, type + 4);
    Append(out, payload);
    return out;
}

Bytes FullBox(const char* type, std::uint8_t version, const Bytes& payload)
{
    Bytes body{version, 0, 0, 0};
    Append(body, payload);
    return Box(type, body);
}

Bytes FileTypeBox(const std::vector<std::string>& brands)
{
    Bytes payload;
    for (std::size_t i = 0; i < brands.size(); ++i) {
        Append(payload, Bytes(brands[i].begin(), brands[i].end()));
        if (i == 0)
            Append(payload, BigEndian(0, 4));  // the minor version
    }
    return Box("ftyp", payload);
}

static Bytes Infe(std::uint8_t version, std::uint32_t id, const char* type)
{
    Bytes payload = version >= 3 ? BigEndian(id, 4) : BigEndian(id, 2);
    Append(payload, BigEndian(0, 2));  // protection index
    payload.insert(payload.end(), type, type + 4);
    payload.push_back(0);              // empty item name
    return FullBox("infe", version, payload);
}

static Bytes Iloc(const HeifLayout& layout, std::uint64_t exifOffset, std::uint64_t exifLength)
{
    const std::uint8_t version = layout.ilocVersion;
    Bytes payload{0x44, static_cast<std::uint8_t>(version >= 1 ? 0x40 : 0x40)};  // 4-byte fields
    const unsigned idBytes = version == 2 ? 4 : 2;
    Append(payload, version == 2 ? BigEndian(2, 4) : BigEndian(2, 2));
    auto item = [&](std::uint32_t id, std::uint64_t base, std::uint64_t offset, std::uint64_t length,
                    unsigned extents) {
        Append(payload, BigEndian(id, idBytes));
        if (version >= 1)
            Append(payload, BigEndian(0, 2));  // construction method 0
        Append(payload, BigEndian(0, 2));      // data reference index
        Append(payload, BigEndian(base, 4));
        Append(payload, BigEndian(extents, 2));
        for (unsigned e = 0; e < extents; ++e) {
            Append(payload, BigEndian(offset + (e ? 1 : 0), 4));
            Append(payload, BigEndian(length, 4));
        }
    };
    item(1, 0, 0, 16, 1);  // the image item comes first
    item(layout.exifItemId, layout.baseOffset, exifOffset - layout.baseOffset,
         exifLength + layout.extentSlack, layout.extentCount);
    return FullBox("iloc", version, payload);
}

static Bytes Iinf(const HeifLayout& layout)
{
    Bytes payload = BigEndian(2, 2);
    Append(payload, Infe(layout.infeVersion, 1, "hvc1"));
    Append(payload, Infe(layout.infeVersion, layout.exifItemId, layout.exifInfeEntry ? "Exif" : "mime"));
    Append(payload, layout.iinfTail);
    return FullBox("iinf", 0, payload);
}

Bytes MakeHeifFile(const Bytes& item, const HeifLayout& layout)
{
    auto build = [&](std::uint64_t exifOffset) {
        Bytes meta;
        Append(meta, FullBox("hdlr", 0, Bytes{0, 0, 0, 0, 'p', 'i', 'c', 't', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
        const Bytes iinf = Iinf(layout);
        const Bytes iloc = Iloc(layout, exifOffset, item.size());
        Append(meta, layout.ilocBeforeIinf ? iloc : iinf);
        Append(meta, layout.ilocBeforeIinf ? iinf : iloc);
        Bytes file = layout.leadingBox;
        Append(file, layout.fileType);
        Append(file, FullBox("meta", 0, meta));
        Bytes mdatPayload(16, 0xAB);  // the "image"
        Append(mdatPayload, item);
        Bytes mdat = Box("mdat", mdatPayload);
        if (layout.openEndedMdat)
            std::fill(mdat.begin(), mdat.begin() + 4, 0);
        Append(file, mdat);
        return file;
    };
    const Bytes draft = build(0);
    // The item sits at the end of mdat; field sizes do not depend on the offset.
    return build(draft.size() - item.size());
}
