#include "tests/metadata/metadata_test_data.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "metadata/file_reader.h"

#ifndef KASUMIRO_TESTDATA_DIR
#error "KASUMIRO_TESTDATA_DIR must name the folder of the real test images"
#endif

std::wstring RealTestFile(const std::string& relative)
{
    std::string path = std::string(KASUMIRO_TESTDATA_DIR) + "/" + relative;
    std::wstring wide(path.begin(), path.end());  // the set's names are ASCII
#ifdef _WIN32
    // Under Wine the Linux file system is drive Z:.
    for (wchar_t& c : wide) {
        if (c == L'/')
            c = L'\\';
    }
    wide = L"Z:" + wide;
#endif
    return wide;
}

std::vector<std::uint8_t> ReadWholeFile(const std::wstring& path)
{
    std::vector<std::uint8_t> bytes;
    std::unique_ptr<FileReader> file = FileReader::Open(path);
    if (!file || file->Size() > (1u << 30))
        return bytes;
    bytes.resize(static_cast<std::size_t>(file->Size()));
    if (!bytes.empty() && !file->ReadAt(0, bytes.data(), bytes.size()))
        bytes.clear();
    return bytes;
}

ScratchFile::ScratchFile(const std::vector<std::uint8_t>& bytes, const std::string& extension)
{
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    const std::string name = "kasumiro-metadata-" + std::to_string(counter++) + "-" +
                             std::to_string(reinterpret_cast<std::uintptr_t>(this)) + extension;
    const std::filesystem::path path = folder / name;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    path_ = path.wstring();
}

ScratchFile::~ScratchFile()
{
    std::error_code ignored;
    std::filesystem::remove(std::filesystem::path(path_), ignored);
}

bool GappedFile::ReadAt(std::uint64_t offset, void* out, std::size_t count)
{
    if (offset > Size() || count > Size() - offset)
        return false;
    auto* bytes = static_cast<std::uint8_t*>(out);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t at = offset + i;
        bytes[i] = at < head_.size() ? head_[at] : at >= tailAt_ ? tail_[at - tailAt_] : 0;
    }
    bytesRead_ += count;
    return true;
}
