#pragma once
// The real images beside the project, for the metadata tests of both builds.

#include <cstdint>
#include <string>
#include <vector>

#include "metadata/file_reader.h"

// A file of the real test set by its path relative to the set's folder ("jpeg/x.jpg").
std::wstring RealTestFile(const std::string& relative);
// A file's bytes, or an empty vector when it cannot be read.
std::vector<std::uint8_t> ReadWholeFile(const std::wstring& path);
// A fresh file with the given bytes in the temporary folder; removed by the destructor.
class ScratchFile {
public:
    explicit ScratchFile(const std::vector<std::uint8_t>& bytes, const std::string& extension = "");
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};

// A file of gigabytes served without them: `head`, then `gapBytes` zero bytes, then `tail`.
// Every byte asked for is counted.
class GappedFile final : public FileReader {
public:
    GappedFile(const std::vector<std::uint8_t>& head, std::uint64_t gapBytes, const std::vector<std::uint8_t>& tail)
        : head_(head), tail_(tail), tailAt_(head.size() + gapBytes)
    {
    }
    std::uint64_t Size() const override { return tailAt_ + tail_.size(); }
    bool ReadAt(std::uint64_t offset, void* out, std::size_t count) override;

private:
    std::vector<std::uint8_t> head_, tail_;
    std::uint64_t tailAt_;
};
