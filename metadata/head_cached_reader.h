#pragma once
// A file whose head is read once, up front, and served from memory: the content signature,
// the format sniff and (for most photos) the whole Exif block come from that one read.

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "metadata/file_reader.h"

class HeadCachedReader final : public FileReader {
public:
    // Enough for the Exif segment of a JPEG file (at most 64 KiB by the format) and the
    // first boxes of a HEIF or movie file.
    static constexpr std::size_t kHeadBytes = 64 * 1024;

    explicit HeadCachedReader(std::unique_ptr<FileReader> file) : file_(std::move(file))
    {
        head_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(file_->Size(), kHeadBytes)));
        headRead_ = head_.empty() || file_->ReadAt(0, head_.data(), head_.size());
        if (!headRead_)
            head_.clear();
        bytesRead_ = file_->BytesRead();
    }

    // False when the file's head could not be read: nothing of it is known then.
    bool HeadRead() const { return headRead_; }
    const std::vector<std::uint8_t>& Head() const { return head_; }

    std::uint64_t Size() const override { return file_->Size(); }

    bool ReadAt(std::uint64_t offset, void* out, std::size_t count) override
    {
        if (!headRead_)
            return false;
        auto* bytes = static_cast<std::uint8_t*>(out);
        if (offset < head_.size()) {
            const std::size_t cached = std::min<std::size_t>(count, head_.size() - static_cast<std::size_t>(offset));
            std::memcpy(bytes, head_.data() + offset, cached);
            bytes += cached;
            offset += cached;
            count -= cached;
        }
        if (count == 0)
            return true;
        const bool read = file_->ReadAt(offset, bytes, count);
        bytesRead_ = file_->BytesRead();
        return read;
    }

private:
    std::unique_ptr<FileReader> file_;
    std::vector<std::uint8_t> head_;
    bool headRead_ = false;
};
