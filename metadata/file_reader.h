#pragma once
// Random-access reading of one file, the metadata readers' only way to a disk. The
// platform part lives in file_reader_win.cpp and file_reader_posix.cpp.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class FileReader {
public:
    virtual ~FileReader() = default;

    // Null when the file cannot be opened for reading.
    static std::unique_ptr<FileReader> Open(const std::wstring& path);

    virtual std::uint64_t Size() const = 0;
    // Reads exactly `count` bytes at `offset`; false when fewer arrive.
    virtual bool ReadAt(std::uint64_t offset, void* out, std::size_t count) = 0;

    // What this reader has taken from the disk so far, for the benchmarks.
    std::uint64_t BytesRead() const { return bytesRead_; }

protected:
    std::uint64_t bytesRead_ = 0;
};

// `length` bytes at `offset`, the vector sized to them; false, leaving it empty, when fewer
// arrive. Callers bound `length` first: the vector is made that large before the read.
inline bool ReadBytesAt(FileReader& file, std::uint64_t offset, std::uint64_t length, std::vector<std::uint8_t>* out)
{
    out->resize(static_cast<std::size_t>(length));
    if (length > 0 && !file.ReadAt(offset, out->data(), out->size())) {
        out->clear();
        return false;
    }
    return true;
}
