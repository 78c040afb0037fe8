#pragma once
// The real images beside the project, for the metadata tests of both builds.

#include <cstdint>
#include <string>
#include <vector>

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
