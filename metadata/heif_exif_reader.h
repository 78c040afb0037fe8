#pragma once
// Finds the Exif item of a HEIF or AVIF file (ISO base media box structure).

#include <cstdint>
#include <string>
#include <vector>

#include "metadata/file_reader.h"

// True for a path or bare extension of the HEIF family: .avif, .heic, .heif, .hevc, in any
// case. The extension runs from the last "." when no backslash follows it.
bool IsHeifExtension(const std::wstring& pathOrExtension);

class CExifReader {
public:
    virtual ~CExifReader() = default;

    // Reads the whole file; false (and no bytes) when it cannot be opened, is empty, is 2 GiB
    // or larger, or is read short.
    bool LoadFile(const std::wstring& path);
    bool LoadFrom(FileReader_CL& file);
    // For callers that hold the bytes already.
    void SetBytes(std::vector<std::uint8_t> bytes) { bytes_ = std::move(bytes); }

    // The Exif item's bytes, or an empty vector when there is none.
    virtual std::vector<std::uint8_t> ExtractExif() const = 0;

protected:
    std::vector<std::uint8_t> bytes_;
};

class CHeifExifReader final : public CExifReader {
public:
    std::vector<std::uint8_t> ExtractExif() const override;
};
