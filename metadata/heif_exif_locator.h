#pragma once
// Finds the Exif item of a HEIF or AVIF file (ISO base media box structure), reading only the
// boxes that lead to it: never the pictures.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "metadata/file_reader.h"

// True for a path or bare extension of the HEIF family: .avif, .heic, .heif, .hevc, in any
// case. The extension runs from the last "." when no backslash follows it.
bool IsHeifExtension(const std::wstring& pathOrExtension);

class ExifContainerReader {
public:
    virtual ~ExifContainerReader() = default;

    // Opens the file; false when it cannot be opened or is empty.
    bool LoadFile(const std::wstring& path);
    // Reads through the caller's open file, which must outlive this reader's use; false for
    // an empty one.
    bool LoadFrom(FileReader& file);
    // For callers that hold the bytes already.
    void SetBytes(std::vector<std::uint8_t> bytes);

    // The Exif item's bytes, or an empty vector when there is none.
    virtual std::vector<std::uint8_t> ExtractExif() const = 0;

protected:
    FileReader* file_ = nullptr;  // the file of whichever Load, owned or not
    std::unique_ptr<FileReader> owned_;
    std::vector<std::uint8_t> bytes_;
};

class HeifExifLocator final : public ExifContainerReader {
public:
    std::vector<std::uint8_t> ExtractExif() const override;
    // The same, and from the same read of the "meta" box the primary picture's size as the
    // decoders show it (heif_picture_size.h); nothing when the file gives none.
    std::vector<std::uint8_t> ExtractExif(std::optional<std::pair<std::uint32_t, std::uint32_t>>* primarySize) const;
};
