#pragma once
// The thumbnails of an album's pictures, made before its pages are written: every picture is
// decoded once (or not at all when the cache has it), on a pool of workers, one per core. A
// picture that does not decode as a raster image leaves the album, as the scan's type test
// would have had it. Which thread made what never shows: the pages and the thumbnails come
// out the same with one worker or many.

#include <cstdint>
#include <string>
#include <vector>

#include "album/album_media_tree.h"
#include "album/album_settings.h"
#include "album/thumbnail_cache.h"

// What names a picture's thumbnail in the cache.
ThumbnailKey KeyOf(const AlbumFile& file, const AlbumSettings& settings);

// As many workers as the machine has cores.
int DefaultThumbnailWorkers();

// What one picture came to.
enum class ThumbnailOutcome {
    kMade,         // jpeg holds the thumbnail (empty when it could not be encoded)
    kNotAPicture,  // it does not decode as a raster image
};

// The thumbnail of one picture, from one decode of it: fitted into the box straight from the
// decoded picture, then stood upright by the orientation.
ThumbnailOutcome MakeThumbnail(const std::wstring& path, std::uint16_t orientation, const AlbumSettings& settings,
                               std::vector<std::uint8_t>* jpeg);

// Where the album keeps the thumbnails of a year, and the name of the thumbnail of the n-th
// file of a day (counted over all the day's files, in capture order).
std::wstring ThumbnailFolder(const AlbumSettings& settings, std::int32_t year);
std::wstring ThumbnailPath(const AlbumSettings& settings, std::int32_t year, std::int32_t month, std::int32_t day,
                           std::size_t n);

// The picture's thumbnail file, from the bytes the thumbnail pass left in the cache (or held
// when the cache could not keep them). An entry that is damaged or gone since is made anew.
void WriteThumbnail(const AlbumSettings& settings, const AlbumFile& file, const std::wstring& path);

// Gives every picture of the tree its thumbnail bytes' place in the cache (taken from it when
// the picture is unchanged), removes the pictures that are none, and advances the settings'
// progress by one per picture (a total of their number), from the calling thread only.
void MakeAlbumThumbnails(AlbumMediaTree& tree, const AlbumSettings& settings, ThumbnailCache_CL& cache,
                         int workers = DefaultThumbnailWorkers());

// Writes the thumbnail files of the album's pictures on the workers, with the names the month
// pages give them (each day's files put in capture order first), and marks them written.
void WriteAlbumThumbnails(AlbumMediaTree& tree, const AlbumSettings& settings, int workers = DefaultThumbnailWorkers());
