#include "organize/content_matcher.h"

#include <algorithm>
#include <cstdint>

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
        if (HashesAgree(path, *candidate, buffers_, true) == true && !FilesDiffer(path, *candidate, buffers_))
            return candidate;
    }
    return nullptr;
}

void ContentMatcher::NoteCopy(const std::wstring& source, const std::wstring& copy)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    if (const auto known = hashes_.find(source);
        known != hashes_.end() && !known->second.pending && !known->second.failed)
        hashes_.try_emplace(copy, known->second);
}

bool ContentMatcher::IsHashed(const std::wstring& path) const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return hashes_.count(path) != 0;
}

std::optional<bool> ContentMatcher::HashesAgree(const std::wstring& first, const std::wstring& second,
                                                CompareBuffers& buffers, bool rememberFailure)
{
    // Most look-alikes are told apart by the blocks read already: one look at both under the
    // lock, where a thousand of them meet a thousand others.
    std::size_t index = 0;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        const auto a = hashes_.find(first), b = hashes_.find(second);
        if (a != hashes_.end() && b != hashes_.end() && !a->second.pending && !b->second.pending &&
            !a->second.failed && !b->second.failed && !a->second.blocks.empty() && !b->second.blocks.empty()) {
            const Entry &x = a->second, &y = b->second;
            if (x.size != y.size)
                return false;
            for (; index < std::min(x.blocks.size(), y.blocks.size()); ++index) {
                if (!(x.blocks[index] == y.blocks[index]))
                    return false;
            }
            if (index == ContentBlockCount(x.size))
                return true;
        }
    }
    for (;; ++index) {
        const Block a = BlockOf(first, index, buffers, rememberFailure);
        const Block b = BlockOf(second, index, buffers, rememberFailure);
        if (a.kind == Block::kUnreadable || b.kind == Block::kUnreadable)
            return std::nullopt;
        if (a.kind != b.kind)
            return false;  // one is longer
        if (a.kind == Block::kPastEnd)
            return true;
        if (!(a.hash == b.hash))
            return false;
    }
}

bool ContentMatcher::Hashable(const std::wstring& path, CompareBuffers& buffers, bool rememberFailure)
{
    return BlockOf(path, 0, buffers, rememberFailure).kind != Block::kUnreadable;
}

ContentMatcher::Block ContentMatcher::BlockOf(const std::wstring& path, std::size_t index, CompareBuffers& buffers,
                                              bool rememberFailure)
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        const auto [entry, added] = hashes_.try_emplace(path);
        Entry& known = entry->second;
        if (!added && known.pending) {
            // Another thread is reading it; when that fails unremembered, the entry may be
            // gone and this thread takes its own turn.
            taken_.wait(lock);
            continue;
        }
        if (known.failed)
            return Block{};
        if (!added && index < known.blocks.size())
            return Block{Block::kHash, known.blocks[index]};
        if (!added && index >= ContentBlockCount(known.size))
            return Block{Block::kPastEnd, {}};
        // The first read takes two blocks (look-alikes often share their first), and the rest
        // of a file that agrees with another that far is read at once: an open costs as much
        // as reading hundreds of kilobytes.
        known.pending = true;
        std::uint64_t size = known.size;
        std::vector<ContentHash> blocks = known.blocks;
        lock.unlock();
        const std::size_t until = blocks.empty() ? std::max<std::size_t>(index + 1, 2) : SIZE_MAX;
        const bool read = HashContentBlocks(path, until, buffers, &size, &blocks);
        lock.lock();
        // Elements of an unordered map stay where they are while others come and go.
        Entry& updated = hashes_.find(path)->second;
        updated.pending = false;
        if (read) {
            updated.size = size;
            updated.blocks = std::move(blocks);
        } else if (rememberFailure) {
            updated.failed = true;
        } else if (updated.blocks.empty()) {
            hashes_.erase(path);
        }
        taken_.notify_all();
        if (!read)
            return Block{};
    }
}
