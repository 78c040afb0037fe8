#pragma once
// Builds TIFF/Exif blocks for tests, in either byte order: IFD0 (and IFD1 behind it) with
// the Exif, GPS and interoperability directories that IFD0 points to.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

class ExifBlockBuilder {
public:
    enum Dir { kIfd0, kIfd1, kExif, kGps, kInterop, kDirCount };

    explicit ExifBlockBuilder(bool littleEndian = true) : little_(littleEndian) {}

    ExifBlockBuilder& Ascii(Dir dir, std::uint16_t tag, const std::string& text);
    ExifBlockBuilder& Short(Dir dir, std::uint16_t tag, std::uint16_t value);
    ExifBlockBuilder& Rationals(Dir dir, std::uint16_t tag,
                                const std::vector<std::pair<std::uint32_t, std::uint32_t>>& values,
                                std::uint16_t type = 5);
    // An entry whose value field is written as given, however its type and count read.
    ExifBlockBuilder& Raw(Dir dir, std::uint16_t tag, std::uint16_t type, std::uint32_t count,
                          std::uint32_t valueField);

    Bytes Build() const;

    // Numbers in this block's byte order.
    Bytes U16(std::uint16_t value) const;
    Bytes U32(std::uint32_t value) const;

private:
    struct Entry {
        std::uint16_t tag;
        std::uint16_t type;
        std::uint32_t count;
        Bytes value;         // the value's bytes, inline when 4 or fewer
        bool raw = false;    // value field given as is
        std::uint32_t rawField = 0;
    };
    ExifBlockBuilder& Add(Dir dir, Entry entry);

    bool little_;
    std::vector<Entry> dirs_[kDirCount];
};

// "Exif\0\0" in front of a block, as a JPEG APP1 segment carries it.
Bytes WithExifMarker(const Bytes& block);
// A HEIF Exif item: a 4-byte big-endian offset, then "Exif\0\0" and the block.
Bytes AsHeifItem(const Bytes& block);
