#pragma once
// The TIFF/Exif parser and tag store: reads the header and the image file directories of
// one block into an ordered map of tag records, and answers typed reads of them.

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include "metadata/exif_byte_source.h"
#include "metadata/exif_rational.h"
#include "metadata/exif_tag_dictionary.h"

// Strict: any fault fails the whole parse (the HEIF route). Tolerant: a fault loses only
// the entry or directory it is in, as an imaging library reads a photo's metadata (the
// JPEG and TIFF route); only a block without a TIFF header fails.
enum class ExifParseMode { kStrict, kTolerant };

class TiffDirectoryParser {
public:
    struct TagRecord {
        std::uint16_t type;
        std::uint32_t count;
        std::uint32_t valueOffset;
    };

    // Bytes the caller keeps alive; a null pointer throws. The main chain's directories are
    // read under `rootBase`: 0 for IFD0 and its followers, or the pointer tag of the directory
    // a block holds alone (kExifIfdPointer, kGpsIfdPointer), whose records then answer as
    // though IFD0 had pointed to it.
    TiffDirectoryParser(const std::uint8_t* data, std::uint32_t length,
                        ExifParseMode mode = ExifParseMode::kStrict, std::uint16_t rootBase = 0);
    TiffDirectoryParser(std::unique_ptr<ExifByteSource> source, ExifParseMode mode);

    // Throws ExifParsingException.
    void Parse();

    // Empty when there is no usable ASCII record. Never throws.
    std::string GetAsciiValue(std::uint16_t base, std::uint16_t tag) const;
    // One RATIONAL or SRATIONAL element of a GPS record; throws ExifParsingException.
    std::pair<std::uint32_t, std::uint32_t> GetGpsRational(std::uint16_t tag,
                                                           std::int32_t index) const;
    // The first element of an unsigned or non-negative integer record (BYTE, SHORT, LONG,
    // SSHORT, SLONG); false when there is none. Never throws.
    bool GetFirstInteger(std::uint16_t base, std::uint16_t tag, std::uint32_t* value) const;
    // The first element of a RATIONAL record, or of an SRATIONAL one that is not negative;
    // false when there is none or its denominator is 0. Never throws.
    bool GetFirstRational(std::uint16_t base, std::uint16_t tag, ExifRational* value) const;

    const std::map<std::uint32_t, TagRecord>& Records() const { return records_; }
    // Directory entries the last Parse read, over all its directories.
    std::uint32_t EntriesRead() const { return entriesRead_; }
    bool IsLittleEndian() const { return littleEndian_; }

    // 0 for a type without a size. The tolerant reader also knows type 13 (IFD), a LONG
    // that holds a directory offset, as TIFF files use it for their Exif and GPS pointers.
    std::uint32_t ElementSize(std::uint16_t type) const;
    static const char* TypeName(std::uint16_t type);

private:
    void ReadMainChain(std::uint32_t offset);
    // Reads one directory and leaves `position` just past its last entry.
    void ReadDirectory(std::uint32_t& position, const ExifTagDictionary& dictionary,
                       std::uint16_t base);
    void ReadPointer(std::uint16_t tag, std::uint32_t target,
                     const ExifTagEntry& entry);

    bool Fits(std::uint64_t position, std::uint64_t count) const
    {
        return position <= size_ && count <= size_ - position;
    }
    std::uint16_t U16(std::uint32_t offset) const;
    std::uint32_t U32(std::uint32_t offset) const;

    std::unique_ptr<ExifByteSource> source_;
    std::uint32_t size_;
    ExifParseMode mode_;
    std::uint16_t rootBase_ = 0;
    bool littleEndian_ = true;
    std::map<std::uint32_t, TagRecord> records_;
    // Every directory is read once per parse, by its offset, whichever pointer leads to it.
    std::set<std::uint32_t> directoriesRead_;
    std::uint32_t entriesRead_ = 0;
};
