#pragma once
// What the album's scan read from each file, kept from one build to the next ("scan.facts" in
// the cache folder): a file whose path, size and last-write time are unchanged is not opened
// again. Kept are the facts as read (capture-time texts, orientation, position, a movie's
// filming time), never the date decided from them, so that the date is decided afresh each
// build with that build's rules and time zone. A list that is not whole and well-formed is
// not used. Safe to use from several threads at once.

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "album/cache_formats.h"
#include "base/status_code.h"
#include "metadata/image_facts.h"

class ScannedFacts {
public:
    static constexpr const wchar_t* kListName = cache_formats::kScannedListName;

    // Reads the list the last build left in the cache folder; with no folder, nothing is read
    // or kept.
    explicit ScannedFacts(const std::wstring& cacheFolder);

    // What was read from the file the last time, if it is unchanged since. The file stays on
    // the list.
    std::optional<ImageFacts> Find(const std::wstring& relativePath, std::uint64_t size, std::uint64_t lastWrite);
    // What was read from the file now.
    void Record(const std::wstring& relativePath, std::uint64_t size, std::uint64_t lastWrite,
                const ImageFacts& facts);
    // Writes the files this build found or recorded.
    StatusCode Save() const;
    const std::wstring& ListPath() const { return listPath_; }

    // The list's bytes, and back: for the files this build named. Parse fails on anything
    // that is not a whole, well-formed list.
    std::vector<std::uint8_t> Serialize() const;
    bool Parse(const std::vector<std::uint8_t>& bytes);

private:
    std::wstring listPath_;
    mutable std::mutex mutex_;
    cache_formats::ScannedList previous_;  // by path below the output folder
    cache_formats::ScannedList current_;
};
