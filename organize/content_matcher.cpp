#include "organize/content_matcher.h"

const std::wstring* ContentMatcher::Match(const std::wstring& path, const std::vector<const std::wstring*>& candidates,
                                          const KnownVerdicts* known)
{
    std::vector<std::optional<bool>> verdicts(candidates.size());
    std::size_t open = 0;
    const std::wstring* lone = nullptr;
    for (std::size_t k = 0; k < candidates.size(); ++k) {
        if (known)
            verdicts[k] = known->SameBytes(candidates[k]);
        if (!verdicts[k]) {
            ++open;
            lone = candidates[k];
        }
    }
    const bool byBytes = open == 1 && !IsHashed(path) && !IsHashed(*lone);
    std::optional<ContentHash> hash;
    bool hashTaken = false;
    for (std::size_t k = 0; k < candidates.size(); ++k) {
        const std::wstring* candidate = candidates[k];
        if (verdicts[k]) {
            if (*verdicts[k])
                return candidate;
            continue;
        }
        if (byBytes) {
            if (!FilesDiffer(path, *candidate, buffers_))
                return candidate;
            continue;
        }
        if (!hashTaken) {
            hash = HashOf(path, buffers_, true);
            hashTaken = true;
        }
        if (hash && HashOf(*candidate, buffers_, true) == hash && !FilesDiffer(path, *candidate, buffers_))
            return candidate;
    }
    return nullptr;
}

void ContentMatcher::NoteCopy(const std::wstring& source, const std::wstring& copy)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    if (const auto known = hashes_.find(source); known != hashes_.end() && !known->second.pending && known->second.hash)
        hashes_.try_emplace(copy, Entry{false, known->second.hash});
}

bool ContentMatcher::IsHashed(const std::wstring& path) const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return hashes_.count(path) != 0;
}

std::optional<ContentHash> ContentMatcher::HashOf(const std::wstring& path, CompareBuffers& buffers,
                                                  bool rememberFailure)
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        const auto [entry, added] = hashes_.try_emplace(path);
        if (added)
            break;
        if (!entry->second.pending)
            return entry->second.hash;
        // Another thread is taking it; when that fails unremembered, the entry is gone and
        // this thread takes its own turn.
        taken_.wait(lock);
    }
    lock.unlock();
    ContentHash hash;
    const bool taken = ComputeContentHash(path, buffers, &hash);
    lock.lock();
    // Elements of an unordered map stay where they are while others come and go.
    const auto entry = hashes_.find(path);
    if (taken || rememberFailure) {
        entry->second.pending = false;
        if (taken)
            entry->second.hash = hash;
    } else {
        hashes_.erase(entry);
    }
    lock.unlock();
    taken_.notify_all();
    return taken ? std::optional<ContentHash>(hash) : std::nullopt;
}
