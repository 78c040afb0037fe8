#include "metadata/tiff_directory_parser.h"

#include <cstdio>
#include <string_view>

#include "metadata/exif_limits.h"
#include "metadata/exif_parsing_exception.h"

namespace {

using Code = ExifParsingException;

// Numbers behind "0x" are lower-case hexadecimal without leading zeros.
std::string Hex(std::uint64_t value)
{
    char text[24];
    std::snprintf(text, sizeof text, "%llx", static_cast<unsigned long long>(value));
    return text;
}

std::string Dec(std::int64_t value)
{
    return std::to_string(value);
}

[[noreturn]] void Fail(int code, std::string message)
{
    throw ExifParsingException(code, std::move(message));
}

}  // namespace

TiffDirectoryParser::TiffDirectoryParser(const std::uint8_t* data, std::uint32_t length, ExifParseMode mode,
                                         std::uint16_t rootBase)
    : size_(length), mode_(mode), rootBase_(rootBase)
{
    // The text names the parser's old class: the log keeps it as it always read.
    if (!data)
        Fail(Code::kInternalError,
             "[Internal Error] CExifAnalize constructor received null data pointer.");
    source_ = std::make_unique<MemoryByteSource>(data, length);
}

TiffDirectoryParser::TiffDirectoryParser(std::unique_ptr<ExifByteSource> source, ExifParseMode mode)
    : source_(std::move(source)), size_(0), mode_(mode)
{
    // The text names the parser's old class: the log keeps it as it always read.
    if (!source_)
        Fail(Code::kInternalError,
             "[Internal Error] CExifAnalize constructor received null data pointer.");
    size_ = source_->Size();
}

std::uint32_t TiffDirectoryParser::ElementSize(std::uint16_t type) const
{
    static constexpr std::uint8_t kSizes[13] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};
    if (type == 13 && mode_ == ExifParseMode::kTolerant)
        return 4;
    return type < 13 ? kSizes[type] : 0;
}

const char* TiffDirectoryParser::TypeName(std::uint16_t type)
{
    static constexpr const char* kNames[13] = {
        "Unknown", "BYTE",  "ASCII",  "SHORT",     "LONG",  "RATIONAL", "SBYTE",
        "UNDEFINED", "SSHORT", "SLONG", "SRATIONAL", "FLOAT", "DOUBLE"};
    return type < 13 ? kNames[type] : "Unknown";
}

std::uint16_t TiffDirectoryParser::U16(std::uint32_t offset) const
{
    std::uint8_t b[2];
    // Callers have checked the range; a source that still cannot deliver is a read error.
    if (!source_->Read(offset, 2, b))
        Fail(Code::kDataReadError, "[Data Read Error] Could not read data at offset 0x" + Hex(offset));
    return littleEndian_ ? static_cast<std::uint16_t>(b[0] | (b[1] << 8))
                         : static_cast<std::uint16_t>((b[0] << 8) | b[1]);
}

std::uint32_t TiffDirectoryParser::U32(std::uint32_t offset) const
{
    std::uint8_t b[4];
    if (!source_->Read(offset, 4, b))
        Fail(Code::kDataReadError, "[Data Read Error] Could not read data at offset 0x" + Hex(offset));
    return littleEndian_ ? (std::uint32_t{b[0]} | (std::uint32_t{b[1]} << 8) |
                            (std::uint32_t{b[2]} << 16) | (std::uint32_t{b[3]} << 24))
                         : ((std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) |
                            (std::uint32_t{b[2]} << 8) | std::uint32_t{b[3]});
}

void TiffDirectoryParser::Parse()
{
    records_.clear();
    directoriesRead_.clear();
    entriesRead_ = 0;
    littleEndian_ = true;
    if (size_ < 2)
        Fail(Code::kDataReadError, "[Data Read Error] Could not read TIFF byte order mark.");
    const std::uint16_t mark = U16(0);  // read little-endian: the flag is still true
    if (mark == 0x4D4D)
        littleEndian_ = false;
    else if (mark != 0x4949)
        Fail(Code::kInvalidFileFormat,
             "[Invalid File Format] Invalid TIFF byte order mark: 0x" + Hex(mark));
    if (size_ < 4)
        Fail(Code::kDataReadError, "[Data Read Error] Could not read TIFF magic number.");
    const std::uint16_t magic = U16(2);
    if (size_ < 8)
        Fail(Code::kDataReadError, "[Data Read Error] Could not read TIFF IFD offset.");
    const std::uint32_t firstOffset = U32(4);
    if (magic != 42)
        Fail(Code::kInvalidFileFormat, "[Invalid File Format] Invalid TIFF magic number (0x" +
                                           Hex(magic) + ", expected 0x2a)");
    ReadMainChain(firstOffset);
}

void TiffDirectoryParser::ReadMainChain(std::uint32_t offset)
{
    // A chain that links back to a directory already read would never end.
    for (int chained = 0; offset != 0 && chained < exif_limits::kMaxMainChainDirectories; ++chained) {
        try {
            if (offset >= size_)
                Fail(Code::kInvalidOffset, "[Invalid Offset] Invalid IFD offset (0x" + Hex(offset) +
                                               " >= 0x" + Hex(size_) + ")");
            if (!directoriesRead_.insert(offset).second)
                Fail(Code::kInvalidOffset,
                     "[Invalid Offset] IFD offset 0x" + Hex(offset) + " was already read");
            std::uint32_t position = offset;
            ReadDirectory(position, TagDictionaryOfBase(rootBase_), rootBase_);
            if (!Fits(position, 4))
                Fail(Code::kDataReadError,
                     "[Data Read Error] Reading next IFD offset goes beyond data size at offset 0x" +
                         Hex(position));
            offset = U32(position);
        } catch (const ExifParsingException&) {
            // Tolerant: what was read before the fault stays; the chain ends here.
            if (mode_ == ExifParseMode::kStrict)
                throw;
            return;
        }
    }
}

void TiffDirectoryParser::ReadDirectory(std::uint32_t& position, const ExifTagDictionary& dictionary,
                                        std::uint16_t base)
{
    if (!Fits(position, 2))
        Fail(Code::kDataReadError,
             "[Data Read Error] Could not read number of IFD entries at offset 0x" + Hex(position));
    const std::uint16_t count = U16(position);
    position += 2;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (++entriesRead_ > exif_limits::kMaxDirectoryEntriesPerParse)
            Fail(Code::kDataReadError, "[Data Read Error] More than " +
                                           Dec(exif_limits::kMaxDirectoryEntriesPerParse) +
                                           " directory entries in one block");
        if (!Fits(position, 12))
            Fail(Code::kDataReadError, "[Data Read Error] Could not read TIFF tag entry " + Dec(i) +
                                           " at offset 0x" + Hex(position));
        const std::uint32_t entryOffset = position;
        const std::uint16_t tag = U16(entryOffset);
        const std::uint16_t type = U16(entryOffset + 2);
        const std::uint32_t elements = U32(entryOffset + 4);
        const std::uint32_t valueField = U32(entryOffset + 8);
        position += 12;

        const std::uint32_t elementSize = ElementSize(type);
        if (elementSize == 0) {
            if (mode_ == ExifParseMode::kTolerant)
                continue;
            Fail(Code::kUnknownTiffType, "[Unknown TIFF Type] Unknown TIFF type (0x" + Hex(type) +
                                             ") for tag 0x" + Hex(tag) + " at entry index " + Dec(i));
        }
        // 64 bits: count x size of a hostile entry overflows 32.
        const std::uint64_t bytes = std::uint64_t{elements} * elementSize;
        const std::uint32_t valueOffset = bytes <= 4 ? entryOffset + 8 : valueField;

        const auto known = dictionary.find(tag);
        if (known != dictionary.end() && known->second.subDictionary) {
            ReadPointer(tag, valueField, known->second);
            continue;
        }
        records_.emplace((std::uint32_t{base} << 16) | tag, TagRecord{type, elements, valueOffset});
    }
}

void TiffDirectoryParser::ReadPointer(std::uint16_t tag, std::uint32_t target, const ExifTagEntry& entry)
{
    try {
        if (target >= size_)
            Fail(Code::kInvalidOffset, "[Invalid Offset] Invalid IFD Pointer offset (0x" +
                                           Hex(target) + " >= 0x" + Hex(size_) + ") for tag 0x" +
                                           Hex(tag) + " (" + entry.english + ")");
        // A sub-directory is read once, however many entries point to it (a crafted file
        // repeats one pointer thousands of times); its own next link is never followed.
        if (!directoriesRead_.insert(target).second)
            return;
        std::uint32_t position = target;
        ReadDirectory(position, *entry.subDictionary, tag);
    } catch (const ExifParsingException&) {
        // Tolerant: a broken sub-directory loses only itself (and keeps what it gave).
        if (mode_ == ExifParseMode::kStrict)
            throw;
    }
}

std::string TiffDirectoryParser::GetAsciiValue(std::uint16_t base, std::uint16_t tag) const
{
    const auto found = records_.find((std::uint32_t{base} << 16) | tag);
    if (found == records_.end() || found->second.type != 2)
        return std::string();
    const TagRecord& record = found->second;
    if (record.count > exif_limits::kMaxAsciiValueBytes || !Fits(record.valueOffset, record.count))
        return std::string();
    std::string text(record.count, '\0');
    if (record.count && !source_->Read(record.valueOffset, record.count,
                                       reinterpret_cast<std::uint8_t*>(text.data())))
        return std::string();
    while (!text.empty() && text.back() == '\0')
        text.pop_back();
    return text;
}

std::pair<std::uint32_t, std::uint32_t> TiffDirectoryParser::GetGpsRational(std::uint16_t tag,
                                                                            std::int32_t index) const
{
    const auto found = records_.find((std::uint32_t{kGpsIfdPointer} << 16) | tag);
    if (found == records_.end())
        Fail(Code::kTagNotFound, "[Tag Not Found] Tag 0x" + Hex(tag) +
                                     " (Base 0x8825) not found in parsed data.");
    const TagRecord& record = found->second;
    if (record.type != 5 && record.type != 10)
        Fail(Code::kTypeMismatch, "[Type Mismatch] Type mismatch for Tag 0x" + Hex(tag) +
                                      ". Requested size 8, stored type " + TypeName(record.type) +
                                      " (" + Dec(record.type) + ").");
    if (index < 0 || static_cast<std::uint32_t>(index) >= record.count)
        Fail(Code::kIndexOutOfBounds, "[Index Out Of Bounds] Index " + Dec(index) +
                                          " out of bounds for Tag 0x" + Hex(tag) + " (Count: " +
                                          Dec(record.count) + ").");
    const std::uint64_t elementOffset = std::uint64_t{8} * static_cast<std::uint32_t>(index) +
                                        record.valueOffset;
    if (!Fits(elementOffset, 8))
        Fail(Code::kInvalidOffset, "[Invalid Offset] Attempting to read beyond data size for Tag 0x" +
                                       Hex(tag) + " at offset 0x" + Hex(elementOffset) + ".");
    const auto at = static_cast<std::uint32_t>(elementOffset);
    return {U32(at), U32(at + 4)};
}

bool TiffDirectoryParser::GetFirstInteger(std::uint16_t base, std::uint16_t tag, std::uint32_t* value) const
{
    const auto found = records_.find((std::uint32_t{base} << 16) | tag);
    if (found == records_.end() || found->second.count == 0)
        return false;
    const TagRecord& record = found->second;
    try {
        switch (record.type) {
        case 1: {  // BYTE
            std::uint8_t byte = 0;
            if (!Fits(record.valueOffset, 1) || !source_->Read(record.valueOffset, 1, &byte))
                return false;
            *value = byte;
            return true;
        }
        case 3:  // SHORT
        case 8:  // SSHORT
            if (!Fits(record.valueOffset, 2))
                return false;
            *value = U16(record.valueOffset);
            if (record.type == 8 && *value >= 0x8000)
                return false;
            return true;
        case 4:  // LONG
        case 9:  // SLONG
            if (!Fits(record.valueOffset, 4))
                return false;
            *value = U32(record.valueOffset);
            return record.type == 4 || *value < 0x80000000u;
        default:
            return false;
        }
    } catch (const ExifParsingException&) {
        return false;
    }
}

bool TiffDirectoryParser::GetFirstRational(std::uint16_t base, std::uint16_t tag, ExifRational* value) const
{
    const auto found = records_.find((std::uint32_t{base} << 16) | tag);
    if (found == records_.end() || found->second.count == 0)
        return false;
    const TagRecord& record = found->second;
    if ((record.type != 5 && record.type != 10) || !Fits(record.valueOffset, 8))
        return false;
    try {
        const std::uint32_t numerator = U32(record.valueOffset);
        const std::uint32_t denominator = U32(record.valueOffset + 4);
        // A signed pair is taken only when both halves are non-negative: an exposure or an
        // aperture below zero is a damaged entry, not a value to show.
        if (denominator == 0 || (record.type == 10 && (numerator >= 0x80000000u || denominator >= 0x80000000u)))
            return false;
        *value = ExifRational{numerator, denominator};
        return true;
    } catch (const ExifParsingException&) {
        return false;
    }
}
