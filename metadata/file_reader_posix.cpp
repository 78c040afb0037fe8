// The native build's file access (fuzzing and sanitizer runs of the parsers).

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "metadata/file_reader.h"

namespace {

std::string ToUtf8(const std::wstring& text)
{
    std::string out;
    for (wchar_t wc : text) {
        const auto c = static_cast<std::uint32_t>(wc);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

class PosixFileReader final : public FileReader {
public:
    PosixFileReader(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
    ~PosixFileReader() override { close(fd_); }
    PosixFileReader(const PosixFileReader&) = delete;
    PosixFileReader& operator=(const PosixFileReader&) = delete;

    std::uint64_t Size() const override { return size_; }

    bool ReadAt(std::uint64_t offset, void* out, std::size_t count) override
    {
        auto* bytes = static_cast<std::uint8_t*>(out);
        while (count > 0) {
            const ssize_t read = pread(fd_, bytes, count, static_cast<off_t>(offset));
            if (read <= 0)
                return false;
            bytesRead_ += static_cast<std::uint64_t>(read);
            bytes += read;
            offset += static_cast<std::uint64_t>(read);
            count -= static_cast<std::size_t>(read);
        }
        return true;
    }

private:
    int fd_;
    std::uint64_t size_;
};

}  // namespace

std::unique_ptr<FileReader> FileReader::Open(const std::wstring& path)
{
    const int fd = open(ToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return nullptr;
    }
    return std::make_unique<PosixFileReader>(fd, static_cast<std::uint64_t>(info.st_size));
}
