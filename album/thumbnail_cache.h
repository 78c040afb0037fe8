#pragma once
// Thumbnails kept beside the album from one build to the next ("PhotoAlbum.cache" in the
// output folder): the album folder itself is made anew every time, but a picture whose path,
// size and last-write time are unchanged is not decoded again. Each entry is one file that
// names its picture and checks its own bytes, so a changed picture never matches an old
// entry and a damaged entry is made again. Entries no build asked for are removed after it;
// nothing of any other name ever is. Safe to use from several threads at once.

#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "album/album_writes.h"
#include "organize/output_names.h"

// What identifies a picture's thumbnail: the picture and the thumbnail's own shape.
struct ThumbnailKey {
    std::wstring relativePath;  // below the output folder
    std::uint64_t size = 0;
    std::uint64_t lastWrite = 0;  // FILETIME ticks, UTC
    std::int32_t boxWidth = 0;
    std::int32_t boxHeight = 0;
    std::int32_t quality = 0;

    std::string Text() const;
};

class ThumbnailCache {
public:
    static constexpr const wchar_t* kFolderName = kAlbumCacheFolderName;

    // Makes the output folder's cache folder fit for a build: a link, a junction or a file
    // under its name is removed as what it is, never entered. Returns the cache folder, or
    // empty when it cannot be used this build (the album is then made without it).
    static std::wstring PrepareFolder(const std::wstring& outputFolder);

    // Lists what the cache folder holds, once: looking an entry up costs no file access
    // after. With no folder, nothing is found or kept. Failed writes are told to `writes`.
    ThumbnailCache(const std::wstring& cacheFolder, AlbumWrites* writes);

    enum class Entry {
        kMissing,      // never made, changed since, or damaged
        kThumbnail,    // the JPEG bytes are there
        kNotAPicture,  // the file does not decode as a raster image
    };
    // What the cache holds for the picture, by the listing: a thumbnail entry is taken on its
    // name and size (its bytes are checked when Find reads them); a "not a picture" entry is
    // read and checked now.
    Entry Peek(const ThumbnailKey& key);
    // The entry of the picture, read and checked; with kThumbnail its JPEG bytes.
    Entry Find(const ThumbnailKey& key, std::vector<std::uint8_t>* jpeg);
    // Keeps the thumbnail's JPEG bytes, or (null) that the file is not a picture; false when
    // the cache could not keep them.
    bool Store(const ThumbnailKey& key, const std::vector<std::uint8_t>* jpeg);
    // Removes the entries and lists that no Find or Store of this build named.
    void RemoveUnused();
    // Lets RemoveUnused take the entry after all: one kept for this build alone.
    void Release(const ThumbnailKey& key);
    // Makes the cache's folder, hidden, if it is not there yet.
    bool MakeFolder();

    bool Usable() const { return !folder_.empty(); }
    const std::wstring& Folder() const { return folder_; }
    // The name of the picture's thumbnail entry: what a thumbnail file made from it holds.
    static std::wstring EntryName(const ThumbnailKey& key, bool thumbnail = true);

private:
    std::wstring EntryPath(const ThumbnailKey& key, bool thumbnail);
    Entry Read(const ThumbnailKey& key, bool thumbnail, std::vector<std::uint8_t>* jpeg);

    std::wstring folder_;
    AlbumWrites* writes_;
    std::mutex mutex_;
    std::set<std::wstring> used_;    // entry file names named in this build
    std::set<std::wstring> listed_;  // entry file names the cache held when the build began
    bool folderMade_ = false;
};
