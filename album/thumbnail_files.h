#pragma once
// The album's thumbnail files, listed from one build to the next ("thumbnails.list" in the
// cache folder). Clearing the album folder keeps the files the last build wrote that no one
// has touched since (the size and last-write time it listed); a picture whose thumbnail file
// already holds its cache entry is not written again, and kept files no picture claims are
// removed after the build. The list is removed when a build begins and saved when it ends,
// so a build that stops leaves none, and the next one trusts no file it finds.
// Safe to use from several threads at once.

#include <windows.h>

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "album/cache_formats.h"
#include "base/status_code.h"

class ThumbnailFiles {
public:
    static constexpr const wchar_t* kListName = cache_formats::kThumbnailListName;

    // Reads the list the last build left in the cache folder, and removes it. With no cache
    // folder nothing is kept from one build to the next.
    ThumbnailFiles(const std::wstring& cacheFolder, const std::wstring& albumFolder);

    // Whether the album's file, as its folder's listing shows it, is one the last build wrote
    // and no one touched since: the clearing of the album folder keeps those.
    bool IsUntouched(const std::wstring& path, const WIN32_FIND_DATAW& found);
    // Whether the kept file at the path holds the thumbnail of the cache entry; it then stays.
    bool Holds(const std::wstring& path, const std::wstring& entry);
    // Writes the thumbnail of the cache entry to the path, whole, and lists the file.
    StatusCode Write(const std::wstring& path, const std::wstring& entry, const std::vector<std::uint8_t>& jpeg);
    // Removes the kept files that no picture claimed, and the folders that leaves empty.
    void RemoveUnclaimed();
    // Writes this build's list.
    StatusCode Save() const;
    const std::wstring& ListPath() const { return listPath_; }

private:
    struct Listed {
        std::wstring entry;  // the cache entry the file holds
        std::uint64_t size = 0;
        std::uint64_t lastWrite = 0;  // FILETIME ticks, as the folder's listing gives them
    };
    using List = std::map<std::wstring, Listed>;  // by path below the album folder

    // The path below the album folder; empty for a path outside it.
    std::wstring Relative(const std::wstring& path) const;

    std::wstring listPath_;
    std::wstring albumFolder_;
    // The time every file of this build is given: the build's start, on an even second, which
    // every file system stores exactly.
    FILETIME stamp_{};
    mutable std::mutex mutex_;
    List previous_;  // the last build's list
    List kept_;      // its files the clearing kept
    List written_;   // this build's files, kept or written
};
