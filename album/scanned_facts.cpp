#include "album/scanned_facts.h"

#include "base/whole_file.h"

ScannedFacts::ScannedFacts(const std::wstring& cacheFolder)
    : listPath_(cacheFolder.empty() ? std::wstring() : cacheFolder + L"\\" + kListName)
{
    std::vector<std::uint8_t> bytes;
    if (!listPath_.empty() && ReadFileBytes(listPath_, cache_limits::kMaxScannedFactsBytes, &bytes))
        Parse(bytes);
}

std::optional<ImageFacts> ScannedFacts::Find(const std::wstring& relativePath, std::uint64_t size,
                                             std::uint64_t lastWrite)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto found = previous_.find(relativePath);
    if (found == previous_.end() || found->second.size != size || found->second.lastWrite != lastWrite)
        return std::nullopt;
    current_[relativePath] = found->second;
    return found->second.facts;
}

void ScannedFacts::Record(const std::wstring& relativePath, std::uint64_t size, std::uint64_t lastWrite,
                          const ImageFacts& facts)
{
    if (!cache_formats::FitsScannedList(relativePath, facts))
        return;
    const std::lock_guard<std::mutex> lock(mutex_);
    current_[relativePath] = cache_formats::ScannedEntry{size, lastWrite, facts};
}

std::vector<std::uint8_t> ScannedFacts::Serialize() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return cache_formats::SerializeScannedList(current_);
}

bool ScannedFacts::Parse(const std::vector<std::uint8_t>& bytes)
{
    cache_formats::ScannedList list;
    if (!cache_formats::ParseScannedList(bytes.data(), bytes.size(), &list))
        return false;
    const std::lock_guard<std::mutex> lock(mutex_);
    previous_ = std::move(list);
    return true;
}

StatusCode ScannedFacts::Save() const
{
    if (listPath_.empty())
        return kStatusOk;
    const std::vector<std::uint8_t> bytes = Serialize();
    return ReplaceFileWhole(listPath_, bytes.data(), bytes.size());
}
