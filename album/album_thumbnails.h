#pragma once
// The thumbnails of an album's pictures, made before its pages are written: every picture is
// decoded once (or not at all when the cache has it), on a pool of workers, one per core. A
// picture that cannot be shown (damaged, cut, empty, no raster image, or past the limits of
// album_limits.h) is listed as a file without preview, and the log says why. Which thread
// made what never shows: the pages and the thumbnails come out the same with one worker or
// many.

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
// The box of the picture the viewer shows of a photo browsers do not show themselves (the HEIF
// family, TIFF).
inline constexpr std::int32_t kViewWidth = 2048;
inline constexpr std::int32_t kViewHeight = 2048;

// What names a picture's thumbnail in the cache (and, with the view's box, its view).
ThumbnailKey KeyOf(const AlbumFile& file, const std::wstring& outputFolder, std::int32_t boxWidth = kThumbnailWidth,
                   std::int32_t boxHeight = kThumbnailHeight);

// As many workers as the machine has cores.
int DefaultThumbnailWorkers();

// What one picture came to.
enum class ThumbnailOutcome {
    kMade,         // jpeg holds the thumbnail (empty when it could not be encoded)
    kNotAPicture,  // it cannot be shown: no raster image, or one past the limits
};

// A picture's JPEG fitted into the box, upright, from one read and one decode of it. The
// decoder is chosen by what the file's bytes are (a ".jpg" that is really a HEIC is read as
// one): JPEG through libjpeg-turbo at the smallest scale that still fills the box, the HEIF
// family through libheif as the file says to show it (its own turns, never the Exif
// orientation again; a thumbnail item when it fills the box), a PNG, GIF, BMP or TIFF through
// the imaging library once its header's size is known to be within the limits. Then shrunk
// by areas (or enlarged, for a small picture) and turned upright. Why a file is not a
// picture goes to the log.
ThumbnailOutcome MakeSizedPicture(const std::wstring& path, std::uint16_t orientation, std::int32_t boxWidth,
                                  std::int32_t boxHeight, std::vector<std::uint8_t>* jpeg);
// The thumbnail: MakeSizedPicture into the thumbnail's box.
ThumbnailOutcome MakeThumbnail(const std::wstring& path, std::uint16_t orientation, std::vector<std::uint8_t>* jpeg);

// A movie's poster: its frame about a second in, read through FFmpeg without reading the
// whole file (movie_poster.h), stood upright as the file's rotation says, fitted into the
// thumbnail's box as a photo's thumbnail is, with the movie's length kept in the JPEG
// (MovieLengthOf). kNotAPicture, with why in the log, for a movie FFmpeg cannot decode.
ThumbnailOutcome MakeMoviePoster(const std::wstring& path, std::vector<std::uint8_t>* jpeg);

// Where the thumbnail of the n-th file of a day lies (counted over all the day's files, in
// capture order): below the album folder as a page links it ("thumb/2021/20210305_1.jpg", and
// its view "thumb/2021/20210305_1_view.jpg"), and as a path.
std::wstring ThumbnailAddress(std::int32_t year, std::int32_t month, std::int32_t day, std::size_t n,
                              bool view = false);
std::wstring ThumbnailPath(const AlbumBuildContext& context, std::int32_t year, std::int32_t month, std::int32_t day,
                           std::size_t n, bool view = false);

// Gives every picture and movie of the model its thumbnail bytes' place in the cache (taken
// from it when the file is unchanged: a rebuild decodes no movie again), and advances the
// progress by one per file (a total of their number), from the calling thread only. A picture
// that cannot be shown stays as a file without preview when such files are listed, and leaves
// the album otherwise; a movie without a poster stays a movie, shown as a player.
void MakeAlbumThumbnails(AlbumModel& model, AlbumBuildContext& context, bool listFilesWithoutPreview,
                         int workers = DefaultThumbnailWorkers());

// Writes the thumbnail files of the sorted model's pictures and posters on the workers, under the names
// the month pages give them, and the view of each photo browsers do not show.
void WriteAlbumThumbnails(const AlbumModel& model, AlbumBuildContext& context, int workers = DefaultThumbnailWorkers());
