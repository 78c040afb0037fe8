#include "album/album_thumbnails.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <semaphore>
#include <set>

#include "album/area_resize.h"
#include "album/image_operations.h"
#include "album/parallel_for.h"
#include "album/thumbnail_files.h"
#include "base/handles.h"
#include "base/path_text.h"
#include "base/whole_file.h"
#include "metadata/jpeg_eighth_decoder.h"

namespace {

// A JPEG larger than this is left to the imaging library rather than read into memory whole.
constexpr std::uint64_t kMaxEighthSourceBytes = 256ull << 20;
// Pictures decoded whole by the imaging library at once, whatever the number of workers: each
// holds its full-size bitmap (48 MB for 12 megapixels), and a machine of many cores would
// otherwise hold that many.
constexpr std::ptrdiff_t kMaxWholeDecodesAtOnce = 4;
std::counting_semaphore<kMaxWholeDecodesAtOnce> g_wholeDecodes(kMaxWholeDecodesAtOnce);

// A place among the whole decodes, held for as long as it lives.
class WholeDecodeTurn {
public:
    WholeDecodeTurn() { g_wholeDecodes.acquire(); }
    ~WholeDecodeTurn() { g_wholeDecodes.release(); }
    WholeDecodeTurn(const WholeDecodeTurn&) = delete;
    WholeDecodeTurn& operator=(const WholeDecodeTurn&) = delete;
};

std::wstring RelativeTo(const std::wstring& folder, const std::wstring& path)
{
    return path.compare(0, folder.size(), folder) == 0 ? path.substr(folder.size()) : path;
}

// One picture's work: from the cache when it has the picture as it is, else one decode.
// Returns false for a file that is no picture.
bool ThumbnailOf(AlbumFile& file, const std::wstring& outputFolder, ThumbnailCache& cache)
{
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
    if (MakeThumbnail(file.path, file.orientation, &jpeg) == ThumbnailOutcome::kNotAPicture) {
        cache.Store(key, nullptr);
        return false;
    }
    // A thumbnail that could not be encoded is not kept: the next build tries again. One the
    // cache could not keep is held until its file is written.
    if (!jpeg.empty() && !cache.Store(key, &jpeg))
        file.heldThumbnail = std::make_shared<const std::vector<std::uint8_t>>(std::move(jpeg));
    return true;
}

// The eighth-size picture is large enough when its fitted thumbnail is no larger than itself:
// the thumbnail is then made by shrinking, as from the whole picture.
bool EighthFillsTheBox(const EighthImage& eighth, FittedSize drawn)
{
    return drawn.width >= 1 && drawn.height >= 1 && static_cast<std::uint32_t>(drawn.width) <= eighth.width &&
           static_cast<std::uint32_t>(drawn.height) <= eighth.height;
}

// The thumbnail from the eighth-size picture: shrunk by areas (each of its pixels the mean of
// what it covers, as the blocks' means already are), then turned upright.
std::unique_ptr<Gdiplus::Bitmap> ThumbnailFromEighth(const EighthImage& eighth, FittedSize drawn,
                                                     std::uint16_t orientation, BgrPicture* pixels)
{
    *pixels = ShrinkByAreas(eighth.bgr.data(), eighth.width, eighth.height, eighth.stride,
                            static_cast<std::uint32_t>(drawn.width), static_cast<std::uint32_t>(drawn.height));
    if (pixels->bgr.empty())
        return nullptr;
    auto thumbnail = std::make_unique<Gdiplus::Bitmap>(drawn.width, drawn.height, static_cast<INT>(pixels->stride),
                                                       PixelFormat24bppRGB, pixels->bgr.data());
    if (thumbnail->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    TurnUpright(*thumbnail, orientation);
    return thumbnail;
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
        MakeThumbnail(file.path, file.orientation, &jpeg);
        if (context.thumbnailCache && !jpeg.empty())
            context.thumbnailCache->Store(key, &jpeg);
    }
    if (jpeg.empty())
        return;
    context.writes.Check(context.thumbnailFiles ? context.thumbnailFiles->Write(path, entry, jpeg)
                                                : WriteFileBytes(path, jpeg.data(), jpeg.size()),
                         path);
}

std::wstring ThumbnailFolder(const AlbumBuildContext& context, std::int32_t year)
{
    wchar_t name[16];
    std::swprintf(name, 16, L"%04d", year);
    return context.albumFolder + L"\\thumb\\" + name;
}

}  // namespace

ThumbnailKey KeyOf(const AlbumFile& file, const std::wstring& outputFolder)
{
    ThumbnailKey key;
    key.relativePath = RelativeTo(outputFolder, file.path);
    key.size = file.size;
    key.lastWrite = file.lastWrite;
    key.boxWidth = kThumbnailWidth;
    key.boxHeight = kThumbnailHeight;
    key.quality = kThumbnailQuality;
    return key;
}

std::wstring ThumbnailAddress(std::int32_t year, std::int32_t month, std::int32_t day, std::size_t n)
{
    wchar_t address[64];
    std::swprintf(address, 64, L"thumb/%04d/%04d%02d%02d_%d.jpg", year, year, month, day, static_cast<int>(n));
    return address;
}

std::wstring ThumbnailPath(const AlbumBuildContext& context, std::int32_t year, std::int32_t month, std::int32_t day,
                           std::size_t n)
{
    std::wstring path = context.albumFolder + L"\\" + ThumbnailAddress(year, month, day, n);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

int DefaultThumbnailWorkers()
{
    return DefaultAlbumWorkers();
}

ThumbnailOutcome MakeThumbnail(const std::wstring& path, std::uint16_t orientation, std::vector<std::uint8_t>* jpeg)
{
    jpeg->clear();
    // A camera's JPEG needs no more than an eighth of its pixels for a thumbnail: read at that
    // size when that still fills the box; anything else the imaging library decodes whole.
    // (The pixels outlive the bitmaps drawn over them.)
    std::vector<std::uint8_t> bytes;
    EighthImage eighth;
    BgrPicture shrunk;
    std::unique_ptr<Gdiplus::Bitmap> thumbnail;
    const std::wstring extension = LowerAscii(ExtensionOf(path));
    if ((extension == L".jpg" || extension == L".jpeg") && ReadFileBytes(path, kMaxEighthSourceBytes, &bytes) &&
        DecodeJpegEighth(bytes.data(), bytes.size(), &eighth)) {
        // The same size as from the whole picture.
        const FittedSize drawn = FittedDrawSize(static_cast<std::int32_t>(eighth.sourceWidth),
                                                static_cast<std::int32_t>(eighth.sourceHeight), orientation,
                                                kThumbnailWidth, kThumbnailHeight);
        if (EighthFillsTheBox(eighth, drawn)) {
            CountPictureDecode();
            thumbnail = ThumbnailFromEighth(eighth, drawn, orientation, &shrunk);
        }
    }
    if (!thumbnail) {
        const WholeDecodeTurn turn;
        // A JPEG read for the eighth-size decode is decoded from those bytes, not read again.
        DecodedPicture fromBytes;
        std::unique_ptr<Gdiplus::Image> fromFile;
        if (!bytes.empty())
            fromBytes = DecodePictureBytes(bytes);
        if (!fromBytes.image)
            fromFile = DecodePicture(path);
        Gdiplus::Image& picture = fromBytes.image ? *fromBytes.image : *fromFile;
        // The type test of the album: only what decodes as a raster image has a thumbnail.
        if (picture.GetLastStatus() != Gdiplus::Ok || picture.GetType() != Gdiplus::ImageTypeBitmap)
            return ThumbnailOutcome::kNotAPicture;
        thumbnail = MakeUprightThumbnail(picture, orientation, kThumbnailWidth, kThumbnailHeight);
    }
    if (thumbnail)
        EncodeJpeg(*thumbnail, kThumbnailQuality, jpeg);
    return ThumbnailOutcome::kMade;
}

void MakeAlbumThumbnails(AlbumModel& model, AlbumBuildContext& context, int workers)
{
    std::vector<AlbumFile*> pictures;
    for (AlbumFile* file : model.Files()) {
        if (file->kind == AlbumFileKind::kPicture)
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
        [&](std::size_t done) { context.Advance(done); });
    std::set<const AlbumFile*> notPictures;
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        if (!isPicture[i])
            notPictures.insert(pictures[i]);
    }
    model.RemoveFiles([&](const AlbumFile& file) { return notPictures.count(&file) != 0; });
}

void WriteAlbumThumbnails(const AlbumModel& model, AlbumBuildContext& context, int workers)
{
    struct Job {
        const AlbumFile* file;
        std::wstring path;
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
                    if (day.files[n].kind == AlbumFileKind::kPicture)
                        jobs.push_back(Job{&day.files[n], ThumbnailPath(context, year.year, month.month, day.day, n)});
                }
            }
        }
    }
    ParallelFor(jobs.size(), workers, [&](std::size_t i) { WriteThumbnail(context, *jobs[i].file, jobs[i].path); });
}
