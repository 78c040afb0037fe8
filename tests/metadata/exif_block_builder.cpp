#include "tests/metadata/exif_block_builder.h"

Bytes ExifBlockBuilder::U16(std::uint16_t value) const
{
    return little_ ? Bytes{std::uint8_t(value), std::uint8_t(value >> 8)}
                   : Bytes{std::uint8_t(value >> 8), std::uint8_t(value)};
}

Bytes ExifBlockBuilder::U32(std::uint32_t value) const
{
    return little_ ? Bytes{std::uint8_t(value), std::uint8_t(value >> 8), std::uint8_t(value >> 16),
                           std::uint8_t(value >> 24)}
                   : Bytes{std::uint8_t(value >> 24), std::uint8_t(value >> 16),
                           std::uint8_t(value >> 8), std::uint8_t(value)};
}

ExifBlockBuilder& ExifBlockBuilder::Add(Dir dir, Entry entry)
{
    dirs_[dir].push_back(std::move(entry));
    return *this;
}

ExifBlockBuilder& ExifBlockBuilder::Ascii(Dir dir, std::uint16_t tag, const std::string& text)
{
    Bytes value(text.begin(), text.end());
    value.push_back(0);
    const auto count = static_cast<std::uint32_t>(value.size());
    return Add(dir, Entry{tag, 2, count, std::move(value)});
}

ExifBlockBuilder& ExifBlockBuilder::Short(Dir dir, std::uint16_t tag, std::uint16_t value)
{
    return Add(dir, Entry{tag, 3, 1, U16(value)});
}

ExifBlockBuilder& ExifBlockBuilder::Rationals(
    Dir dir, std::uint16_t tag, const std::vector<std::pair<std::uint32_t, std::uint32_t>>& values,
    std::uint16_t type)
{
    Bytes value;
    for (const auto& [numerator, denominator] : values) {
        const Bytes n = U32(numerator), d = U32(denominator);
        value.insert(value.end(), n.begin(), n.end());
        value.insert(value.end(), d.begin(), d.end());
    }
    return Add(dir, Entry{tag, type, static_cast<std::uint32_t>(values.size()), std::move(value)});
}

ExifBlockBuilder& ExifBlockBuilder::Raw(Dir dir, std::uint16_t tag, std::uint16_t type,
                                        std::uint32_t count, std::uint32_t valueField)
{
    Entry entry{tag, type, count, {}};
    entry.raw = true;
    entry.rawField = valueField;
    return Add(dir, std::move(entry));
}

Bytes ExifBlockBuilder::Build() const
{
    static constexpr std::uint16_t kPointerTags[kDirCount] = {0, 0, 0x8769, 0x8825, 0xA005};
    std::vector<Entry> dirs[kDirCount];
    for (int d = 0; d < kDirCount; ++d)
        dirs[d] = dirs_[d];
    // Offsets of every directory first: header, then the directories one after another.
    std::uint32_t offsets[kDirCount] = {};
    auto directorySize = [](const std::vector<Entry>& entries) {
        return static_cast<std::uint32_t>(2 + 12 * entries.size() + 4);
    };
    const auto pointerCount = [&] {
        int count = 0;
        for (int d = kExif; d < kDirCount; ++d)
            count += !dirs_[d].empty();
        return count;
    }();
    std::uint32_t at = 8;
    offsets[kIfd0] = at;
    at += static_cast<std::uint32_t>(2 + 12 * (dirs[kIfd0].size() + pointerCount) + 4);
    for (int d = kIfd1; d < kDirCount; ++d) {
        if (dirs[d].empty())
            continue;
        offsets[d] = at;
        at += directorySize(dirs[d]);
    }
    for (int d = kExif; d < kDirCount; ++d) {
        if (!dirs[d].empty())
            dirs[kIfd0].push_back(Entry{kPointerTags[d], 4, 1, U32(offsets[d])});
    }

    Bytes out = little_ ? Bytes{'I', 'I'} : Bytes{'M', 'M'};
    auto append = [&out](const Bytes& bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); };
    append(U16(42));
    append(U32(offsets[kIfd0]));
    Bytes data;  // values of more than 4 bytes, behind all directories
    const std::uint32_t dataStart = at;
    for (int d = 0; d < kDirCount; ++d) {
        if (d != kIfd0 && dirs[d].empty())
            continue;
        append(U16(static_cast<std::uint16_t>(dirs[d].size())));
        for (const Entry& entry : dirs[d]) {
            append(U16(entry.tag));
            append(U16(entry.type));
            append(U32(entry.count));
            if (entry.raw) {
                append(U32(entry.rawField));
            } else if (entry.value.size() <= 4) {
                Bytes inlineValue = entry.value;
                inlineValue.resize(4, 0);
                append(inlineValue);
            } else {
                append(U32(dataStart + static_cast<std::uint32_t>(data.size())));
                data.insert(data.end(), entry.value.begin(), entry.value.end());
                if (data.size() % 2)
                    data.push_back(0);
            }
        }
        const bool chainsToIfd1 = d == kIfd0 && !dirs[kIfd1].empty();
        append(U32(chainsToIfd1 ? offsets[kIfd1] : 0));
    }
    append(data);
    return out;
}

Bytes WithExifMarker(const Bytes& block)
{
    Bytes out;
    out.reserve(6 + block.size());
    for (std::uint8_t b : {'E', 'x', 'i', 'f', '\0', '\0'})
        out.push_back(b);
    for (std::uint8_t b : block)
        out.push_back(b);
    return out;
}

Bytes AsHeifItem(const Bytes& block)
{
    Bytes out{0, 0, 0, 6};
    for (std::uint8_t b : WithExifMarker(block))
        out.push_back(b);
    return out;
}
