#include "organize/record_stream.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr std::size_t kBufferBytes = 64 * 1024;
}

RecordReader::RecordReader(HANDLE file, std::uint64_t fileSize, std::wstring folder)
    : file_(file), size_(fileSize), folder_(std::move(folder)), buffer_(kBufferBytes)
{
}

void RecordReader::Reject()
{
    if (status_ == kStatusOk)
        status_ = StatusFromWin32(ERROR_INVALID_DATA);
}

bool RecordReader::Read(void* out, std::size_t count)
{
    if (status_ != kStatusOk)
        return false;
    if (count > Remaining()) {
        status_ = StatusFromWin32(ERROR_HANDLE_EOF);
        return false;
    }
    auto* bytes = static_cast<std::uint8_t*>(out);
    while (count > 0) {
        if (begin_ == end_) {
            DWORD read = 0;
            if (!ReadFile(file_, buffer_.data(), static_cast<DWORD>(buffer_.size()), &read, nullptr)) {
                status_ = StatusFromLastError();
                return false;
            }
            if (read == 0) {
                status_ = StatusFromWin32(ERROR_HANDLE_EOF);
                return false;
            }
            begin_ = 0;
            end_ = read;
        }
        const std::size_t take = std::min(count, end_ - begin_);
        std::memcpy(bytes, buffer_.data() + begin_, take);
        begin_ += take;
        bytes += take;
        count -= take;
        consumed_ += take;
    }
    return true;
}

bool RecordReader::ReadU32(std::uint32_t* value)
{
    std::uint8_t b[4];
    if (!Read(b, 4))
        return false;
    *value = std::uint32_t{b[0]} | (std::uint32_t{b[1]} << 8) | (std::uint32_t{b[2]} << 16) |
             (std::uint32_t{b[3]} << 24);
    return true;
}

bool RecordReader::ReadI32(std::int32_t* value)
{
    std::uint32_t raw = 0;
    if (!ReadU32(&raw))
        return false;
    *value = static_cast<std::int32_t>(raw);
    return true;
}

bool RecordReader::ReadU64(std::uint64_t* value)
{
    std::uint32_t low = 0, high = 0;
    if (!ReadU32(&low) || !ReadU32(&high))
        return false;
    *value = (std::uint64_t{high} << 32) | low;
    return true;
}

RecordWriter::RecordWriter(HANDLE file, std::wstring folder)
    : file_(file), folder_(std::move(folder))
{
    buffer_.reserve(kBufferBytes);
}

bool RecordWriter::Write(const void* data, std::size_t count)
{
    if (status_ != kStatusOk)
        return false;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    while (count > 0) {
        if (buffer_.size() == kBufferBytes && !Flush())
            return false;
        const std::size_t take = std::min(count, kBufferBytes - buffer_.size());
        buffer_.insert(buffer_.end(), bytes, bytes + take);
        bytes += take;
        count -= take;
    }
    return true;
}

bool RecordWriter::WriteU32(std::uint32_t value)
{
    const std::uint8_t b[4] = {std::uint8_t(value), std::uint8_t(value >> 8), std::uint8_t(value >> 16),
                               std::uint8_t(value >> 24)};
    return Write(b, 4);
}

bool RecordWriter::WriteI32(std::int32_t value)
{
    return WriteU32(static_cast<std::uint32_t>(value));
}

bool RecordWriter::WriteU64(std::uint64_t value)
{
    return WriteU32(static_cast<std::uint32_t>(value)) && WriteU32(static_cast<std::uint32_t>(value >> 32));
}

bool RecordWriter::Flush()
{
    if (status_ != kStatusOk)
        return false;
    if (!buffer_.empty()) {
        status_ = WriteToFile(buffer_.data(), static_cast<DWORD>(buffer_.size()));
        buffer_.clear();
    }
    return status_ == kStatusOk;
}

bool RecordWriter::Finish()
{
    return Flush();
}

StatusCode RecordWriter::WriteToFile(const void* data, DWORD count)
{
    DWORD written = 0;
    if (!WriteFile(file_, data, count, &written, nullptr))
        return StatusFromLastError();
    // A short write is what a full disk looks like.
    return written == count ? kStatusOk : StatusFromWin32(ERROR_DISK_FULL);
}
