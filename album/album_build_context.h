#pragma once
// What every part of one album build shares: where the album goes and where its template
// comes from, the progress, the cache of thumbnails and the list of thumbnail files, and the
// writes' outcome. Made once per build by the build driver.

#include <string>

#include "album/album_writes.h"
#include "base/progress_sink.h"

class ThumbnailCache;
class ThumbnailFiles;

struct AlbumBuildContext {
    // The template folder beside the executable unless given.
    AlbumBuildContext(ProgressSink* progress, const std::wstring& outputFolder, std::wstring templateFolder = L"");

    ProgressSink* progress;  // may be null: the build then reports no progress
    std::wstring outputFolder;
    std::wstring albumFolder;     // output folder + "\PhotoAlbum"
    std::wstring templateFolder;  // the executable's folder + "\Template\0001"
    ThumbnailCache* thumbnailCache = nullptr;  // where the thumbnail pass leaves its work
    ThumbnailFiles* thumbnailFiles = nullptr;  // the thumbnail files the last build left
    // What the build's writes came to: every writer tells it each write's outcome.
    AlbumWrites writes;

    // The progress advanced, when there is one.
    void AddToTotal(std::uint64_t count) const;
    void Advance(std::uint64_t count) const;
};
