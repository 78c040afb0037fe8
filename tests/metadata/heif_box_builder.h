#pragma once
// Builds HEIF files for tests: ftyp, meta with iinf and iloc in either order, and the Exif
// item's bytes in mdat.

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

Bytes BigEndian(std::uint64_t value, unsigned bytes);
Bytes Box(const char* type, const Bytes& payload);
Bytes FullBox(const char* type, std::uint8_t version, const Bytes& payload);
// "ftyp": the major brand, a minor version of 0, then the compatible brands; four letters each.
Bytes FileTypeBox(const std::vector<std::string>& brands);

struct HeifLayout {
    Bytes fileType = FileTypeBox({"heic", "mif1", "heic"});
    std::uint8_t infeVersion = 2;
    std::uint8_t ilocVersion = 0;
    bool ilocBeforeIinf = false;
    std::uint32_t exifItemId = 2;
    std::uint64_t baseOffset = 0;     // iloc base offset of the Exif item
    std::uint64_t extentSlack = 0;    // added to the Exif extent's length
    unsigned extentCount = 1;         // extents of the Exif item (all copies of the first)
    bool exifInfeEntry = true;        // false: no item is of type Exif
    Bytes leadingBox;                 // a box in front of everything else
    bool openEndedMdat = false;       // mdat with size 0: it runs to the end of the file
    Bytes iinfTail;                   // bytes after the entries of iinf
};

// A file whose Exif item holds `item`.
Bytes MakeHeifFile(const Bytes& item, const HeifLayout& layout = {});
