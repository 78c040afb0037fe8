#include <windows.h>

#include "metadata/file_reader.h"
#include "base/handles.h"
#include "base/paths.h"
#include "base/read_counters.h"

namespace {

class WinFileReader final : public FileReader {
public:
    WinFileReader(UniqueFile file, std::uint64_t size) : file_(std::move(file)), size_(size) {}

    std::uint64_t Size() const override { return size_; }

    bool ReadAt(std::uint64_t offset, void* out, std::size_t count) override
    {
        auto* bytes = static_cast<std::uint8_t*>(out);
        while (count > 0) {
            OVERLAPPED at{};
            at.Offset = static_cast<DWORD>(offset);
            at.OffsetHigh = static_cast<DWORD>(offset >> 32);
            const DWORD chunk = count > 0x40000000 ? 0x40000000 : static_cast<DWORD>(count);
            DWORD read = 0;
            if (!ReadFile(file_.get(), bytes, chunk, &read, &at) || read == 0)
                return false;
            bytesRead_ += read;
            g_ReadCounters.CountRead(read);
            bytes += read;
            offset += read;
            count -= read;
        }
        return true;
    }

private:
    UniqueFile file_;
    std::uint64_t size_;
};

}  // namespace

std::unique_ptr<FileReader> FileReader::Open(const std::wstring& path)
{
    // Other programs may go on using the file (a camera tool still writing, a viewer).
    UniqueFile file(CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_RANDOM_ACCESS, nullptr));
    if (!file)
        return nullptr;
    g_ReadCounters.CountOpen();
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0)
        return nullptr;
    return std::make_unique<WinFileReader>(std::move(file),
                                           static_cast<std::uint64_t>(size.QuadPart));
}
