#pragma once
// Whether a file holds the same bytes as one of the files whose signature it shares. Files of
// one size whose heads are alike (screenshots of one screen, raw files of one camera,
// recordings cut at one length) share a signature by the hundred: compared pair by pair, each
// new one would be read once for every earlier one. Here a file's content is hashed at most
// once a run however many look-alikes it has (and only as far as it takes to tell it from
// them, block by block), and bytes are compared only where hashes agree.

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "organize/file_signature.h"

// What was learnt of one file's bytes before it was weighed (duplicate_lookahead.h): for a
// candidate, true when its bytes were compared and are the file's, false when they differ,
// nothing when that is not known.
class KnownVerdicts {
public:
    virtual std::optional<bool> SameBytes(const std::wstring* candidate) const = 0;

protected:
    ~KnownVerdicts() = default;
};

class ContentMatcher {
public:
    // Which of `candidates` holds exactly the bytes of the file at `path` (all of them
    // share its signature). A lone candidate is compared byte by byte, which stops at the
    // first difference; with more, every file's hash is taken (once a run) first. A file that
    // cannot be read matches nothing: it is then copied, never wrongly skipped.
    // known: verdicts learnt before, which decide the candidates they cover; the others are
    // weighed here. The candidate that matches (the first in the candidates' order), or null.
    // Uses the matcher's own buffers: one thread at a time.
    const std::wstring* Match(const std::wstring& path, const std::vector<const std::wstring*>& candidates,
                              const KnownVerdicts* known = nullptr);
    // The file at `copy` was made from `source` and holds its bytes: it shares its hash.
    void NoteCopy(const std::wstring& source, const std::wstring& copy);

    // From any thread, each with its own buffers: whether the contents of two files (of one
    // signature) agree hash for hash, block by block as far as it takes to tell them apart;
    // nothing when one cannot be read. Each block of a file is read once a run (a thread that
    // needs a block another is reading waits for it). With rememberFailure a file that cannot
    // be read counts as unreadable for the run; without it the next asker tries again.
    std::optional<bool> HashesAgree(const std::wstring& first, const std::wstring& second, CompareBuffers& buffers,
                                    bool rememberFailure);
    // Whether the file's first block can be hashed (an empty file's can).
    bool Hashable(const std::wstring& path, CompareBuffers& buffers, bool rememberFailure);
    // Whether the file's hashes are taken (some of them), being taken, or known not to be had.
    bool IsHashed(const std::wstring& path) const;

private:
    struct Entry {
        bool pending = false;  // a thread is reading it
        bool failed = false;  // could not be read, and remembered so
        std::uint64_t size = 0;
        std::vector<ContentHash> blocks;  // of the first blocks, in order
    };
    // What is known of one block of a file.
    struct Block {
        enum { kHash, kPastEnd, kUnreadable } kind = kUnreadable;
        ContentHash hash;
    };
    Block BlockOf(const std::wstring& path, std::size_t index, CompareBuffers& buffers, bool rememberFailure);

    mutable std::mutex mutex_;
    std::condition_variable taken_;
    std::unordered_map<std::wstring, Entry> hashes_;
    CompareBuffers buffers_;  // Match's
};
