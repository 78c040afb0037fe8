#pragma once
// A file held in memory: bytes a caller has already, read through the same access as a file
// on disk (the fuzz targets, a HEIF item handed over whole).

#include <cstring>

#include "metadata/file_reader.h"

class MemoryFileReader final : public FileReader {
public:
    MemoryFileReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint64_t Size() const override { return size_; }
    bool ReadAt(std::uint64_t offset, void* out, std::size_t count) override
    {
        if (offset > size_ || count > size_ - offset)
            return false;
        std::memcpy(out, data_ + offset, count);
        bytesRead_ += count;
        return true;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};
