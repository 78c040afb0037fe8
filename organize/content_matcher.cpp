#include "organize/content_matcher.h"

const std::wstring* ContentMatcher::Match(const std::wstring& path, const std::vector<const std::wstring*>& candidates)
{
    if (candidates.empty())
        return nullptr;
    if (candidates.size() == 1 && !hashes_.count(path) && !hashes_.count(*candidates.front()))
        return FilesDiffer(path, *candidates.front(), buffers_) ? nullptr : candidates.front();
    const std::optional<ContentHash> hash = HashOf(path);
    if (!hash)
        return nullptr;
    for (const std::wstring* candidate : candidates) {
        if (HashOf(*candidate) == hash && !FilesDiffer(path, *candidate, buffers_))
            return candidate;
    }
    return nullptr;
}

void ContentMatcher::NoteCopy(const std::wstring& source, const std::wstring& copy)
{
    if (const auto known = hashes_.find(source); known != hashes_.end() && known->second)
        hashes_.try_emplace(copy, known->second);
}

const std::optional<ContentHash>& ContentMatcher::HashOf(const std::wstring& path)
{
    auto [entry, added] = hashes_.try_emplace(path);
    if (added) {
        ContentHash hash;
        if (ComputeContentHash(path, buffers_, &hash))
            entry->second = hash;
    }
    return entry->second;
}
