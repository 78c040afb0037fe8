#pragma once
// The thumbnails of an album's pictures, made before its pages are written: every picture is
// decoded once (or not at all when the cache has it), on a pool of workers, one per core. A
// picture that does not decode as a raster image leaves the album, as the scan's type test
// would have had it. Which thread made what never shows: the pages and the thumbnails come
// out the same with one worker or many.

#include <cstdint>
#include <string>
#include <vector>

#include "album/album_build_context.h"
#include "album/album_model.h"
#include "album/thumbnail_cache.h"

// The box every thumbnail is fitted into, and the quality of its JPEG.
inline constexpr std::int32_t kThumbnailWidth = 320;
inline constexpr std::int32_t kThumbnailHeight = 240;
inline constexpr std::int32_t kThumbnailQuality = 80;

// What names a picture's thumbnail in the cache.
ThumbnailKey KeyOf(const AlbumFile& file, const std::wstring& outputFolder);

// As many workers as the machine has cores.
int DefaultThumbnailWorkers();

// What one picture came to.
enum class ThumbnailOutcome {
    kMade,         // jpeg holds the thumbnail (empty when it could not be encoded)
    kNotAPicture,  // it does not decode as a raster image
};

// The thumbnail of one picture, from one decode of it: fitted into the box straight from the
// decoded picture, then stood upright by the orientation.
ThumbnailOutcome MakeThumbnail(const std::wstring& path, std::uint16_t orientation, std::vector<std::uint8_t>* jpeg);

// Where the thumbnail of the n-th file of a day lies (counted over all the day's files, in
// capture order): below the album folder as a page links it ("thumb/2021/20210305_1.jpg"),
// and as a path.
std::wstring ThumbnailAddress(std::int32_t year, std::int32_t month, std::int32_t day, std::size_t n);
std::wstring ThumbnailPath(const AlbumBuildContext& context, std::int32_t year, std::int32_t month, std::int32_t day,
                           std::size_t n);

// Gives every picture of the model its thumbnail bytes' place in the cache (taken from it
// when the picture is unchanged), removes the pictures that are none, and advances the
// progress by one per picture (a total of their number), from the calling thread only.
void MakeAlbumThumbnails(AlbumModel& model, AlbumBuildContext& context, int workers = DefaultThumbnailWorkers());

// Writes the thumbnail files of the sorted model's pictures on the workers, under the names
// the month pages give them.
void WriteAlbumThumbnails(const AlbumModel& model, AlbumBuildContext& context, int workers = DefaultThumbnailWorkers());
