#pragma once
// The bytes of one Exif (TIFF-structured) block, read at offsets. A block in memory (the
// HEIF item, the JPEG segment) and a TIFF file on disk look the same to the parser; the
// file is read page by page, only where its directories lie.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "metadata/file_reader.h"

class ExifByteSource {
public:
    virtual ~ExifByteSource() = default;
    virtual std::uint32_t Size() const = 0;
    // Copies `count` bytes at `offset`; false, copying nothing, unless all of them exist.
    virtual bool Read(std::uint32_t offset, std::uint32_t count, std::uint8_t* out) const = 0;

protected:
    // The range check every source uses: by subtraction, so it cannot wrap.
    bool InRange(std::uint32_t offset, std::uint32_t count) const
    {
        return offset <= Size() && count <= Size() - offset;
    }
};

// Bytes the caller keeps alive for as long as the source is used.
class MemoryByteSource final : public ExifByteSource {
public:
    MemoryByteSource(const std::uint8_t* data, std::uint32_t size) : data_(data), size_(size) {}
    std::uint32_t Size() const override { return size_; }
    bool Read(std::uint32_t offset, std::uint32_t count, std::uint8_t* out) const override;

private:
    const std::uint8_t* data_;
    std::uint32_t size_;
};

// A file read in pages on demand. Blocks past 4 GiB are cut there: TIFF offsets are 32 bits.
class PagedFileByteSource final : public ExifByteSource {
public:
    explicit PagedFileByteSource(std::unique_ptr<FileReader> file);
    std::uint32_t Size() const override { return size_; }
    bool Read(std::uint32_t offset, std::uint32_t count, std::uint8_t* out) const override;

private:
    const std::vector<std::uint8_t>* Page(std::uint32_t index) const;

    std::unique_ptr<FileReader> file_;
    std::uint32_t size_;
    struct CachedPage {
        std::uint32_t index;
        std::vector<std::uint8_t> bytes;
    };
    mutable std::vector<CachedPage> pages_;
};
