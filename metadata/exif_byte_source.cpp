#include "metadata/exif_byte_source.h"

#include <algorithm>
#include <cstring>

#include "metadata/exif_limits.h"

bool MemoryByteSource::Read(std::uint32_t offset, std::uint32_t count, std::uint8_t* out) const
{
    if (!InRange(offset, count))
        return false;
    if (count)
        std::memcpy(out, data_ + offset, count);
    return true;
}

PagedFileByteSource::PagedFileByteSource(std::unique_ptr<FileReader> file)
    : file_(std::move(file)),
      size_(static_cast<std::uint32_t>(std::min<std::uint64_t>(file_->Size(), UINT32_MAX)))
{
}

const std::vector<std::uint8_t>* PagedFileByteSource::Page(std::uint32_t index) const
{
    for (const CachedPage& page : pages_) {
        if (page.index == index)
            return &page.bytes;
    }
    // Directories lie in a few places; a file that scatters them wider than the cache
    // simply starts the cache over.
    if (pages_.size() >= exif_limits::kMaxTiffCachedPages)
        pages_.clear();
    const std::uint64_t start = std::uint64_t{index} * exif_limits::kTiffPageBytes;
    const std::uint32_t length = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(exif_limits::kTiffPageBytes, size_ - start));
    CachedPage page{index, std::vector<std::uint8_t>(length)};
    if (!file_->ReadAt(start, page.bytes.data(), length))
        return nullptr;
    pages_.push_back(std::move(page));
    return &pages_.back().bytes;
}

bool PagedFileByteSource::Read(std::uint32_t offset, std::uint32_t count, std::uint8_t* out) const
{
    if (!InRange(offset, count))
        return false;
    std::uint32_t done = 0;
    while (done < count) {
        const std::uint32_t at = offset + done;
        const std::vector<std::uint8_t>* page = Page(at / exif_limits::kTiffPageBytes);
        if (!page)
            return false;
        const std::uint32_t inPage = at % exif_limits::kTiffPageBytes;
        if (inPage >= page->size())
            return false;
        const std::uint32_t take =
            std::min<std::uint32_t>(count - done, static_cast<std::uint32_t>(page->size()) - inPage);
        std::memcpy(out + done, page->data() + inPage, take);
        done += take;
    }
    return true;
}
