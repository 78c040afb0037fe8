#pragma once
// Whether a file holds the same bytes as one of the files whose signature it shares. Files of
// one size whose heads are alike (screenshots of one screen, raw files of one camera,
// recordings cut at one length) share a signature by the hundred: compared pair by pair, each
// new one would be read once for every earlier one. Here a file's content is hashed at most
// once a run however many look-alikes it has, and bytes are compared only where hashes agree.

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "organize/file_signature.h"

class ContentMatcher {
public:
    // Which of `candidates` holds exactly the bytes of the file at `path` (all of them
    // share its signature). A lone candidate is compared byte by byte, which stops at the
    // first difference; with more, every file's hash is taken (once a run) first. A file that
    // cannot be read matches nothing: it is then copied, never wrongly skipped.
    // The candidate that matches (the first in the candidates' order), or null.
    const std::wstring* Match(const std::wstring& path, const std::vector<const std::wstring*>& candidates);
    // The file at `copy` was made from `source` and holds its bytes: it shares its hash.
    void NoteCopy(const std::wstring& source, const std::wstring& copy);

private:
    // Empty when the file cannot be read; remembered so, too, for the run.
    const std::optional<ContentHash>& HashOf(const std::wstring& path);

    std::unordered_map<std::wstring, std::optional<ContentHash>> hashes_;
    CompareBuffers buffers_;
};
