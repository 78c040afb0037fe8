#include "album/album_thumbnails.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <set>

#include "album/image_operations.h"
#include "album/imaging_codec.h"
#include "album/picture_codecs.h"
#include "album/album_limits.h"
#include "album/movie_poster.h"
#include "album/picture_pixels.h"
#include "album/thumbnail_files.h"
#include "base/log_file.h"
#include "base/parallel_for.h"
#include "base/whole_file.h"
#include "metadata/file_reader.h"

namespace {

std::wstring RelativeTo(const std::wstring& folder, const std::wstring& path)
{
    return path.compare(0, folder.size(), folder) == 0 ? path.substr(folder.size()) : path;
}

// Pixels as stored, of a picture of sourceWidth x sourceHeight, shrunk by areas to the size it
// takes in the box once turned by `orientation`, then turned upright.
BgrPicture UprightInBox(const BgrPicture& stored, std::uint32_t sourceWidth, std::uint32_t sourceHeight,
                        std::uint16_t orientation, std::int32_t boxWidth, std::int32_t boxHeight)
{
    const FittedSize fitted = FittedStoredSize(static_cast<std::int32_t>(sourceWidth),
                                               static_cast<std::int32_t>(sourceHeight), orientation, boxWidth, boxHeight);
    return TurnUpright(
        ResizeTo(stored, static_cast<std::uint32_t>(fitted.width), static_cast<std::uint32_t>(fitted.height)),
        orientation);
}

// The upright picture fitted into the box, decoded from the file's bytes by what they are;
// false for bytes that are no picture any decoder of ours reads, or one past the limits, with
// why in `decoded`.
bool FittedUpright(const std::vector<std::uint8_t>& bytes, std::uint16_t orientation, std::int32_t boxWidth,
                   std::int32_t boxHeight, BgrPicture* upright, DecodedPixels* decoded)
{
    switch (PictureDecoderOf(bytes)) {
    case PictureDecoder::kJpeg: {
        CountPictureDecode();
        if (!DecodeJpegForBox(bytes.data(), bytes.size(), boxWidth, boxHeight, orientation, decoded))
            return false;
        *upright = UprightInBox(decoded->pixels, decoded->sourceWidth, decoded->sourceHeight, orientation, boxWidth,
                                boxHeight);
        return true;
    }
    case PictureDecoder::kHeif: {
        CountPictureDecode();
        if (!DecodeHeifForBox(bytes.data(), bytes.size(), boxWidth, boxHeight, decoded))
            return false;
        // Already as the file says to show it: the Exif orientation is not applied again.
        const FittedSize fitted = FitIntoBox(static_cast<std::int32_t>(decoded->sourceWidth),
                                             static_cast<std::int32_t>(decoded->sourceHeight), boxWidth, boxHeight);
        *upright = ResizeTo(decoded->pixels, static_cast<std::uint32_t>(fitted.width),
                            static_cast<std::uint32_t>(fitted.height));
        return true;
    }
    case PictureDecoder::kImagingLibrary:
        return DecodeByImagingLibrary(bytes, orientation, boxWidth, boxHeight, upright, decoded);
    }
    return false;
}

// Says in the log why a picture has no thumbnail.
void LogRefusal(const std::wstring& path, const DecodedPixels& refused)
{
    switch (refused.refusal) {
    case DecodeRefusal::kTooLarge:
        g_Log.Write(L"画像が大きすぎるため縮小画像を作りません (%u x %u, 展開に %u MB, 上限 %u MB) = %s",
                    refused.sourceWidth, refused.sourceHeight, static_cast<unsigned>(refused.bytesNeeded >> 20),
                    static_cast<unsigned>(picture_limits::kMaxDecodeBytes >> 20), path.c_str());
        break;
    case DecodeRefusal::kTooManyScans:
        g_Log.Write(L"JPEGのスキャンが多すぎるため縮小画像を作りません (%d 個まで) = %s", picture_limits::kMaxJpegScans,
                    path.c_str());
        break;
    case DecodeRefusal::kUnreadable:
    case DecodeRefusal::kNone:
        g_Log.Write(L"画像として読めないため縮小画像を作りません = %s", path.c_str());
        break;
    }
}

// The picture at `path` read once and decoded once, upright and fitted into the box. Why a
// file is not a picture goes to the log, unless the caller will try it another way.
ThumbnailOutcome DecodeUprightInBox(const std::wstring& path, std::uint16_t orientation, std::int32_t boxWidth,
                                    std::int32_t boxHeight, BgrPicture* upright, bool logRefusal = true)
{
    std::vector<std::uint8_t> bytes;
    DecodedPixels decoded;
    decoded.refusal = DecodeRefusal::kUnreadable;
    if (ReadFileBytes(path, picture_limits::kMaxPictureFileBytes, &bytes) &&
        FittedUpright(bytes, orientation, boxWidth, boxHeight, upright, &decoded))
        return ThumbnailOutcome::kMade;
    if (logRefusal)
        LogRefusal(path, decoded);
    return ThumbnailOutcome::kNotAPicture;
}

// The thumbnail of a picture, or the poster of a movie, made anew.
ThumbnailOutcome MakeThumbnailOf(const AlbumFile& file, std::vector<std::uint8_t>* jpeg)
{
    return file.kind == AlbumFileKind::kVideo ? MakeMoviePoster(file.path, jpeg)
                                              : MakeThumbnail(file.path, file.orientation, jpeg);
}

// A movie's poster and its length: from the cache when it has the movie as it is (the entry
// read, for the length it holds), else one decode of its frame. False for a movie without one.
bool PosterOf(AlbumFile& file, const std::wstring& outputFolder, ThumbnailCache& cache)
{
    const ThumbnailKey key = KeyOf(file, outputFolder);
    std::vector<std::uint8_t> jpeg;
    switch (cache.Find(key, &jpeg)) {
    case ThumbnailCache::Entry::kThumbnail:
        file.movieLengthMs = std::max<std::int64_t>(MovieLengthOf(jpeg), 0);
        return true;
    case ThumbnailCache::Entry::kNotAPicture:
        return false;
    case ThumbnailCache::Entry::kMissing:
        break;
    }
    if (MakeMoviePoster(file.path, &jpeg) == ThumbnailOutcome::kNotAPicture) {
        cache.Store(key, nullptr);
        return false;
    }
    // A poster that could not be encoded leaves the player, and is tried again next build.
    if (jpeg.empty())
        return false;
    file.movieLengthMs = std::max<std::int64_t>(MovieLengthOf(jpeg), 0);
    if (!cache.Store(key, &jpeg))
        file.heldThumbnail = std::make_shared<const std::vector<std::uint8_t>>(std::move(jpeg));
    return true;
}

// A photo browsers do not show has a view beside its thumbnail: both from one decode, into
// the view's box, the thumbnail shrunk from the view's pixels. The view is kept in the cache
// until WriteView writes its file, and no longer. False, with nothing kept, when the picture
// could not be had whole in the view's box: the thumbnail alone is then tried, as a file's
// own small picture may still show.
bool MakeThumbnailAndView(const AlbumFile& file, const std::wstring& outputFolder, ThumbnailCache& cache,
                          std::vector<std::uint8_t>* thumbnail)
{
    BgrPicture view;
    if (DecodeUprightInBox(file.path, file.orientation, kViewWidth, kViewHeight, &view, false) !=
            ThumbnailOutcome::kMade ||
        view.Empty())
        return false;
    const FittedSize fitted = FitIntoBox(static_cast<std::int32_t>(view.width), static_cast<std::int32_t>(view.height),
                                         kThumbnailWidth, kThumbnailHeight);
    const BgrPicture small =
        ResizeTo(view, static_cast<std::uint32_t>(fitted.width), static_cast<std::uint32_t>(fitted.height));
    std::vector<std::uint8_t> viewJpeg;
    if (small.Empty() || !EncodeJpeg(small, kThumbnailQuality, thumbnail) ||
        !EncodeJpeg(view, kThumbnailQuality, &viewJpeg))
        return false;
    // A view the cache cannot keep is made again when its file is written.
    (void)cache.Store(KeyOf(file, outputFolder, kViewWidth, kViewHeight), &viewJpeg);
    return true;
}

// One picture's thumbnail: from the cache when it has the picture as it is, else one decode.
// False for a file that is no picture.
bool ThumbnailOf(AlbumFile& file, const std::wstring& outputFolder, ThumbnailCache& cache)
{
    if (file.kind == AlbumFileKind::kVideo) {
        file.hasPoster = PosterOf(file, outputFolder, cache);
        // Without a poster, a movie a browser plays keeps its player; any other is a file
        // without preview.
        return file.hasPoster || BrowserPlaysMovie(file.path);
    }
    const ThumbnailKey key = KeyOf(file, outputFolder);
    std::vector<std::uint8_t> jpeg;
    switch (cache.Peek(key)) {
    case ThumbnailCache::Entry::kThumbnail:
        return true;
    case ThumbnailCache::Entry::kNotAPicture:
        return false;
    case ThumbnailCache::Entry::kMissing:
        break;
    }
    if (file.viewAsJpeg && MakeThumbnailAndView(file, outputFolder, cache, &jpeg)) {
        // Both came from one decode; the view waits in the cache for its file to be written.
    } else if (MakeThumbnail(file.path, file.orientation, &jpeg) == ThumbnailOutcome::kNotAPicture) {
        cache.Store(key, nullptr);
        return false;
    }
    // A thumbnail that could not be encoded is not kept: the next build tries again. One the
    // cache could not keep is held until its file is written.
    if (!jpeg.empty() && !cache.Store(key, &jpeg))
        file.heldThumbnail = std::make_shared<const std::vector<std::uint8_t>>(std::move(jpeg));
    return true;
}

// The picture's thumbnail file, from the bytes the thumbnail pass left in the cache (or held
// when the cache could not keep them). An entry that is damaged or gone since is made anew.
void WriteThumbnail(AlbumBuildContext& context, const AlbumFile& file, const std::wstring& path)
{
    // After a failed write the build is lost: nothing more is written.
    if (context.writes.Failed())
        return;
    const ThumbnailKey key = KeyOf(file, context.outputFolder);
    const std::wstring entry = ThumbnailCache::EntryName(key);
    if (context.thumbnailFiles && context.thumbnailFiles->Holds(path, entry))
        return;
    std::vector<std::uint8_t> jpeg;
    if (file.heldThumbnail) {
        jpeg = *file.heldThumbnail;
    } else if (!context.thumbnailCache ||
               context.thumbnailCache->Find(key, &jpeg) != ThumbnailCache::Entry::kThumbnail) {
        MakeThumbnailOf(file, &jpeg);
        if (context.thumbnailCache && !jpeg.empty())
            context.thumbnailCache->Store(key, &jpeg);
    }
    if (jpeg.empty())
        return;
    context.writes.Check(context.thumbnailFiles ? context.thumbnailFiles->Write(path, entry, jpeg)
                                                : WriteFileBytes(path, jpeg.data(), jpeg.size()),
                         path);
}

// The view of a photo browsers do not show (HEIF, TIFF), when the last build's file of it is
// not there as it was: the one the thumbnail's decode left in the cache, else made from the
// photo itself. Views are not kept in the cache from one build to the next: they would only
// double its size.
void WriteView(AlbumBuildContext& context, const AlbumFile& file, const std::wstring& path)
{
    if (context.writes.Failed())
        return;
    const ThumbnailKey key = KeyOf(file, context.outputFolder, kViewWidth, kViewHeight);
    const std::wstring entry = ThumbnailCache::EntryName(key);
    ThumbnailCache* cache = context.thumbnailCache;
    const bool held = context.thumbnailFiles && context.thumbnailFiles->Holds(path, entry);
    std::vector<std::uint8_t> jpeg;
    const bool waiting = !held && cache && cache->Find(key, &jpeg) == ThumbnailCache::Entry::kThumbnail;
    // The view the thumbnail's decode made, if it did, leaves the cache after this build.
    if (cache)
        cache->Release(key);
    if (held || (!waiting && MakeSizedPicture(file.path, file.orientation, kViewWidth, kViewHeight, &jpeg) !=
                                 ThumbnailOutcome::kMade) ||
        jpeg.empty())
        return;
    context.writes.Check(context.thumbnailFiles ? context.thumbnailFiles->Write(path, entry, jpeg)
                                                : WriteFileBytes(path, jpeg.data(), jpeg.size()),
                         path);
}

// The movies of Live Photos whose photos proved no picture, back in their days with their
// posters. Put back first, then looked for: a day's list may move as it grows.
void BringBackLiveMovies(AlbumModel& model, AlbumBuildContext& context, const std::vector<std::wstring>& paths,
                         int workers)
{
    std::set<std::wstring> back;
    for (const std::wstring& path : paths) {
        if (model.BringBack(path))
            back.insert(path);
    }
    if (back.empty())
        return;
    std::vector<AlbumFile*> movies;
    for (AlbumFile* file : model.Files()) {
        if (back.count(file->path) != 0)
            movies.push_back(file);
    }
    context.AddToTotal(movies.size());
    ParallelFor(
        movies.size(), workers,
        [&](std::size_t i) { ThumbnailOf(*movies[i], context.outputFolder, *context.thumbnailCache); },
        [&](std::size_t done) { context.Advance(done); });
}

std::wstring ThumbnailFolder(const AlbumBuildContext& context, std::int32_t year)
{
    wchar_t name[16];
    std::swprintf(name, 16, L"%04d", year);
    return context.albumFolder + L"\\thumb\\" + name;
}

}  // namespace

ThumbnailKey KeyOf(const AlbumFile& file, const std::wstring& outputFolder, std::int32_t boxWidth,
                   std::int32_t boxHeight)
{
    ThumbnailKey key;
    key.relativePath = RelativeTo(outputFolder, file.path);
    key.size = file.size;
    key.lastWrite = file.lastWrite;
    key.boxWidth = boxWidth;
    key.boxHeight = boxHeight;
    key.quality = kThumbnailQuality;
    return key;
}

std::wstring ThumbnailAddress(std::int32_t year, std::int32_t month, std::int32_t day, std::size_t n, bool view)
{
    wchar_t address[64];
    std::swprintf(address, 64, view ? L"thumb/%04d/%04d%02d%02d_%d_view.jpg" : L"thumb/%04d/%04d%02d%02d_%d.jpg", year,
                  year, month, day, static_cast<int>(n));
    return address;
}

std::wstring ThumbnailPath(const AlbumBuildContext& context, std::int32_t year, std::int32_t month, std::int32_t day,
                           std::size_t n, bool view)
{
    std::wstring path = context.albumFolder + L"\\" + ThumbnailAddress(year, month, day, n, view);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

int DefaultThumbnailWorkers()
{
    return DefaultWorkerCount();
}

ThumbnailOutcome MakeSizedPicture(const std::wstring& path, std::uint16_t orientation, std::int32_t boxWidth,
                                  std::int32_t boxHeight, std::vector<std::uint8_t>* jpeg)
{
    jpeg->clear();
    BgrPicture upright;
    const ThumbnailOutcome outcome = DecodeUprightInBox(path, orientation, boxWidth, boxHeight, &upright);
    // Memory that ran short on the way leaves no picture, but the file is one.
    if (outcome == ThumbnailOutcome::kMade && !upright.Empty())
        EncodeJpeg(upright, kThumbnailQuality, jpeg);
    return outcome;
}

ThumbnailOutcome MakeThumbnail(const std::wstring& path, std::uint16_t orientation, std::vector<std::uint8_t>* jpeg)
{
    return MakeSizedPicture(path, orientation, kThumbnailWidth, kThumbnailHeight, jpeg);
}

ThumbnailOutcome MakeMoviePoster(const std::wstring& path, std::vector<std::uint8_t>* jpeg)
{
    jpeg->clear();
    const std::unique_ptr<FileReader> file = FileReader::Open(path);
    MovieFrame frame;
    if (file)
        CountPictureDecode();
    if (!file || !DecodeMoviePosterFrame(*file, &frame)) {
        if (frame.decoded.refusal == DecodeRefusal::kTooLarge)
            LogRefusal(path, frame.decoded);
        else
            g_Log.Write(L"動画として読めないため縮小画像を作りません = %s", path.c_str());
        return ThumbnailOutcome::kNotAPicture;
    }
    // As a photo's thumbnail: shrunk by areas into the box, then turned upright.
    const BgrPicture& stored = frame.decoded.pixels;
    const BgrPicture upright =
        UprightInBox(stored, stored.width, stored.height, frame.orientation, kThumbnailWidth, kThumbnailHeight);
    if (!upright.Empty() && EncodeJpeg(upright, kThumbnailQuality, jpeg))
        AddMovieLength(jpeg, frame.lengthMs);
    return ThumbnailOutcome::kMade;
}

void MakeAlbumThumbnails(AlbumModel& model, AlbumBuildContext& context, bool listFilesWithoutPreview, int workers)
{
    std::vector<AlbumFile*> pictures;
    for (AlbumFile* file : model.Files()) {
        if (file->kind == AlbumFileKind::kPicture || file->kind == AlbumFileKind::kVideo)
            pictures.push_back(file);
    }
    context.AddToTotal(pictures.size());
    // Listed unless it proves no picture: one whose work failed (memory ran short) is listed
    // without a thumbnail.
    std::vector<char> isPicture(pictures.size(), 1);
    ThumbnailCache& cache = *context.thumbnailCache;
    ParallelFor(
        pictures.size(), workers,
        [&](std::size_t i) { isPicture[i] = ThumbnailOf(*pictures[i], context.outputFolder, cache) ? 1 : 0; },
        [&](std::size_t done) { context.Advance(done); }, WorkerApartment::kCom);
    // A picture that cannot be shown (damaged, cut, empty, past the limits) is listed as any
    // file the album cannot picture: a file without preview, when such files are listed.
    std::set<const AlbumFile*> notPictures;
    std::vector<std::wstring> liveMovies;
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        if (isPicture[i])
            continue;
        // A Live Photo whose photo cannot be shown keeps its movie, as an item of its own.
        if (!pictures[i]->liveMovie.empty()) {
            liveMovies.push_back(pictures[i]->liveMovie);
            pictures[i]->liveMovie.clear();
        }
        if (listFilesWithoutPreview) {
            pictures[i]->kind = AlbumFileKind::kOther;
            pictures[i]->viewAsJpeg = false;
        } else {
            notPictures.insert(pictures[i]);
        }
    }
    model.RemoveFiles([&](const AlbumFile& file) { return notPictures.count(&file) != 0; });
    BringBackLiveMovies(model, context, liveMovies, workers);
}

void WriteAlbumThumbnails(const AlbumModel& model, AlbumBuildContext& context, int workers)
{
    struct Job {
        const AlbumFile* file;
        std::wstring path;
        bool view;
    };
    std::vector<Job> jobs;
    if (!context.writes.MakeFolder(context.albumFolder) || !context.writes.MakeFolder(context.albumFolder + L"\\thumb"))
        return;
    for (const AlbumYear& year : model.Years()) {
        // A year of sounds and films has its thumbnail folder too.
        if (!context.writes.MakeFolder(ThumbnailFolder(context, year.year)))
            return;
        for (const AlbumMonth& month : year.months) {
            for (const AlbumDay& day : month.days) {
                for (std::size_t n = 0; n < day.files.size(); ++n) {
                    const AlbumFile& file = day.files[n];
                    if (file.kind != AlbumFileKind::kPicture && !file.hasPoster)
                        continue;
                    jobs.push_back(Job{&file, ThumbnailPath(context, year.year, month.month, day.day, n), false});
                    if (file.viewAsJpeg)
                        jobs.push_back(Job{&file, ThumbnailPath(context, year.year, month.month, day.day, n, true), true});
                }
            }
        }
    }
    const auto write = [&](std::size_t i) {
        if (jobs[i].view)
            WriteView(context, *jobs[i].file, jobs[i].path);
        else
            WriteThumbnail(context, *jobs[i].file, jobs[i].path);
    };
    ParallelFor(jobs.size(), workers, write, {}, WorkerApartment::kCom);
}
