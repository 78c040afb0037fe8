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
bool ThumbnailOf(AlbumFile& file, const AlbumSettings& settings, ThumbnailCache_CL& cache)
{
    const ThumbnailKey key = KeyOf(file, settings);
    std::vector<std::uint8_t> jpeg;
    switch (cache.Peek(key)) {
    case ThumbnailCache_CL::Entry::kThumbnail:
        return true;
    case ThumbnailCache_CL::Entry::kNotAPicture:
        return false;
    case ThumbnailCache_CL::Entry::kMissing:
        break;
    }
    if (MakeThumbnail(file.path, file.orientation, settings, &jpeg) == ThumbnailOutcome::kNotAPicture) {
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

}  // namespace

ThumbnailKey KeyOf(const AlbumFile& file, const AlbumSettings& settings)
{
    ThumbnailKey key;
    key.relativePath = RelativeTo(settings.outputFolder, file.path);
    key.size = file.size;
    key.lastWrite = file.lastWrite;
    key.boxWidth = settings.thumbnailWidth;
    key.boxHeight = settings.thumbnailHeight;
    key.quality = settings.thumbnailQuality;
    return key;
}

std::wstring ThumbnailFolder(const AlbumSettings& settings, std::int32_t year)
{
    wchar_t name[16];
    std::swprintf(name, 16, L"%04d", year);
    return settings.albumFolder + L"\\thumb\\" + name;
}

std::wstring ThumbnailPath(const AlbumSettings& settings, std::int32_t year, std::int32_t month, std::int32_t day,
                           std::size_t n)
{
    wchar_t name[64];
    std::swprintf(name, 64, L"\\%04d%02d%02d_%d.jpg", year, month, day, static_cast<int>(n));
    return ThumbnailFolder(settings, year) + name;
}

void WriteThumbnail(const AlbumSettings& settings, const AlbumFile& file, const std::wstring& path)
{
    // After a failed write the build is lost: nothing more is written.
    if (settings.writes->Failed())
        return;
    const ThumbnailKey key = KeyOf(file, settings);
    const std::wstring entry = ThumbnailCache_CL::EntryName(key);
    if (settings.thumbnailFiles && settings.thumbnailFiles->Holds(path, entry))
        return;
    std::vector<std::uint8_t> jpeg;
    if (file.heldThumbnail) {
        jpeg = *file.heldThumbnail;
    } else if (!settings.thumbnailCache ||
               settings.thumbnailCache->Find(key, &jpeg) != ThumbnailCache_CL::Entry::kThumbnail) {
        MakeThumbnail(file.path, file.orientation, settings, &jpeg);
        if (settings.thumbnailCache && !jpeg.empty())
            settings.thumbnailCache->Store(key, &jpeg);
    }
    if (jpeg.empty())
        return;
    settings.writes->Check(settings.thumbnailFiles ? settings.thumbnailFiles->Write(path, entry, jpeg)
                                                   : WriteFileBytes(path, jpeg.data(), jpeg.size()),
                           path);
}

int DefaultThumbnailWorkers()
{
    return DefaultAlbumWorkers();
}

ThumbnailOutcome MakeThumbnail(const std::wstring& path, std::uint16_t orientation, const AlbumSettings& settings,
                               std::vector<std::uint8_t>* jpeg)
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
                                                settings.thumbnailWidth, settings.thumbnailHeight);
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
        thumbnail = MakeUprightThumbnail(picture, orientation, settings.thumbnailWidth, settings.thumbnailHeight);
    }
    if (thumbnail)
        EncodeJpeg(*thumbnail, settings.thumbnailQuality, jpeg);
    return ThumbnailOutcome::kMade;
}

void MakeAlbumThumbnails(AlbumMediaTree& tree, const AlbumSettings& settings, ThumbnailCache_CL& cache, int workers)
{
    std::vector<AlbumFile*> pictures;
    for (AlbumFile* file : tree.Files()) {
        if (file->kind == AlbumFileKind::kPicture)
            pictures.push_back(file);
    }
    if (settings.progress) {
        settings.progress->SetTotal(settings.progress->Total() + pictures.size());
        settings.progress->AddProgress(0);
    }
    // Listed unless it proves no picture: one whose work failed (memory ran short) is listed
    // without a thumbnail.
    std::vector<char> isPicture(pictures.size(), 1);
    ParallelFor(
        pictures.size(), workers,
        [&](std::size_t i) { isPicture[i] = ThumbnailOf(*pictures[i], settings, cache) ? 1 : 0; },
        [&](std::size_t done) {
            if (settings.progress)
                settings.progress->AddProgress(done);
        });
    std::set<const AlbumFile*> notPictures;
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        if (!isPicture[i])
            notPictures.insert(pictures[i]);
    }
    tree.RemoveFiles([&](const AlbumFile& file) { return notPictures.count(&file) != 0; });
}

void WriteAlbumThumbnails(AlbumMediaTree& tree, const AlbumSettings& settings, int workers)
{
    struct Job {
        AlbumFile* file;
        std::wstring path;
    };
    std::vector<Job> jobs;
    if (!settings.writes->MakeFolder(settings.albumFolder) ||
        !settings.writes->MakeFolder(settings.albumFolder + L"\\thumb"))
        return;
    for (AlbumYear& year : tree.years) {
        if (!settings.writes->MakeFolder(ThumbnailFolder(settings, year.year)))
            return;
        for (AlbumMonth& month : year.months) {
            for (AlbumDay& day : month.days) {
                day.SortFiles();
                for (std::size_t n = 0; n < day.files.size(); ++n) {
                    if (day.files[n].kind == AlbumFileKind::kPicture)
                        jobs.push_back(Job{&day.files[n], ThumbnailPath(settings, year.year, month.month, day.day, n)});
                }
            }
        }
    }
    ParallelFor(jobs.size(), workers, [&](std::size_t i) {
        WriteThumbnail(settings, *jobs[i].file, jobs[i].path);
        jobs[i].file->thumbnailWritten = true;
    });
}
