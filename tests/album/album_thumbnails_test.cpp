// The album's thumbnails made fast: the same album from one worker or many, a cache that
// serves only unchanged pictures and mends damaged entries, and eighth-size thumbnails that
// look like those of the full decode.

#include "album/album_thumbnails.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "album/album_build.h"
#include "album/image_operations.h"
#include "album/picture_codecs.h"
#include "album/thumbnail_cache.h"
#include "base/handles.h"
#include "tests/album/album_test_files.h"
#include "tests/metadata/metadata_test_data.h"
#include "tests/organize/organize_fixture.h"

namespace {

PhotoFacts Taken(const std::string& when, std::uint16_t orientation = 1)
{
    PhotoFacts facts;
    facts.dateTimeOriginal = when;
    facts.orientation = orientation;
    return facts;
}

bool EndsWith(const std::wstring& text, const std::wstring& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The cache's entries: its files but the lists kept beside them.
int CountEntries(const std::wstring& cache)
{
    int entries = 0;
    for (const auto& file : FolderSnapshot(cache))
        entries += EndsWith(file.first, L".thumb") || EndsWith(file.first, L".none");
    return entries;
}

// Flips a byte in the middle of every thumbnail the cache holds: whoever reads one from now on
// finds it damaged, and makes the picture's thumbnail again.
void DamageCacheEntries(const std::wstring& cache)
{
    for (auto& [name, bytes] : FolderSnapshot(cache)) {
        if (EndsWith(name, L".thumb")) {
            bytes[bytes.size() / 2] ^= 0x55;
            ASSERT_TRUE(WriteBytes(cache + name, bytes));
        }
    }
}

class AlbumThumbnailsTest : public OrganizeFixture {
protected:
    void SetUp() override
    {
        OrganizeFixture::SetUp();
        CreateDirectoryW(output_.c_str(), nullptr);
    }
    std::wstring Album() const { return output_ + L"\\PhotoAlbum"; }
    std::wstring Cache() const { return output_ + L"\\" + ThumbnailCache::kFolderName; }
    // Builds the album; returns the pictures decoded for it.
    std::uint64_t Build(int workers, RecordingProgress* progress = nullptr)
    {
        RecordingProgress quiet;
        const std::uint64_t before = PictureDecodes();
        EXPECT_EQ(BuildPhotoAlbum(progress ? *progress : quiet, output_, true, L"", {}, workers).status, kStatusOk);
        return PictureDecodes() - before;
    }
};

// Pictures of every shape the thumbnail pass meets: camera-sized ones read at an eighth,
// small ones decoded whole, turned ones, a PNG, one that is no picture, files without a
// preview; several on one day, so that the order of the thumbnails' numbers matters.
void MakeMixedFolder(const std::wstring& output)
{
    const std::uint16_t turns[] = {1, 6, 3, 8};
    for (int i = 0; i < 4; ++i)
        MakeFile(output + L"\\2024\\CAM_" + std::to_wstring(i) + L".JPG",
                 CameraLikeJpeg(3200, 2400, Taken("2024:05:01 10:00:0" + std::to_string(i), turns[i]), i));
    for (int i = 0; i < 6; ++i)
        MakeFile(output + L"\\2024\\small_" + std::to_wstring(i) + L".jpg",
                 PhotoJpeg(400 + 40 * i, 300, Taken("2024:05:01 09:00:00", static_cast<std::uint16_t>(1 + i))));
    MakeFile(output + L"\\2024\\broken.jpg", Bytes{0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F'});
    MakeFile(output + L"\\2024\\song.mp3", Bytes{'I', 'D', '3', 0});
}

TEST_F(AlbumThumbnailsTest, OneWorkerOrManyMakeTheSameAlbum)
{
    MakeMixedFolder(output_);
    RecordingProgress aloneProgress, togetherProgress;
    EXPECT_EQ(Build(1, &aloneProgress), 11u);  // every picture once, the broken one too
    const std::map<std::wstring, Bytes> alone = FolderSnapshot(Album());

    DeleteTree(Cache());
    EXPECT_EQ(Build(4, &togetherProgress), 11u);
    const std::map<std::wstring, Bytes> together = FolderSnapshot(Album());
    ASSERT_EQ(alone.size(), together.size());
    for (const auto& [path, bytes] : alone) {
        ASSERT_TRUE(together.count(path)) << path;
        EXPECT_TRUE(together.at(path) == bytes) << path;
    }
    EXPECT_EQ(togetherProgress.done, aloneProgress.done);
    EXPECT_EQ(togetherProgress.Total(), aloneProgress.Total());
    EXPECT_EQ(togetherProgress.captions, aloneProgress.captions);
    // Ten thumbnails: the broken picture has none, and is listed as a file without preview.
    int thumbnails = 0;
    for (const auto& entry : alone)
        thumbnails += entry.first.rfind(L"\\thumb\\2024\\", 0) == 0;
    EXPECT_EQ(thumbnails, 10);
    EXPECT_NE(FolderSnapshot(Album()).count(L"\\2024\\202405.html"), 0u);
}

TEST_F(AlbumThumbnailsTest, TheCacheServesOnlyUnchangedPicturesAndMendsDamage)
{
    MakeMixedFolder(output_);
    EXPECT_EQ(Build(2), 11u);
    const std::map<std::wstring, Bytes> first = FolderSnapshot(Album());
    EXPECT_EQ(CountEntries(Cache()), 11);  // ten thumbnails and the verdict on the broken file

    // Nothing changed: nothing decoded, the same album.
    EXPECT_EQ(Build(2), 0u);
    EXPECT_TRUE(FolderSnapshot(Album()) == first);

    // A picture changed (another picture under the same name): only it is decoded again, and
    // only its thumbnail changes, and the month's list beside its page, which tells its size.
    MakeFile(output_ + L"\\2024\\small_0.jpg", CameraLikeJpeg(400, 300, Taken("2024:05:01 09:00:00"), 99));
    EXPECT_EQ(Build(2), 1u);
    const std::map<std::wstring, Bytes> afterChange = FolderSnapshot(Album());
    std::vector<std::wstring> differing;
    for (const auto& [path, bytes] : first) {
        if (!(afterChange.at(path) == bytes))
            differing.push_back(path);
    }
    ASSERT_EQ(differing.size(), 2u);
    EXPECT_EQ(differing[0], L"\\2024\\202405.pictures.js");
    EXPECT_EQ(differing[1].rfind(L"\\thumb\\2024\\", 0), 0u) << differing[1];

    // A picture removed: its entry goes with it.
    DeleteFileW((output_ + L"\\2024\\small_5.jpg").c_str());
    EXPECT_EQ(Build(2), 0u);
    EXPECT_EQ(CountEntries(Cache()), 10);

    // Damaged entries (a flipped byte, one cut short) are made again, and come out whole.
    // (Without its album, so that the thumbnails are taken from the cache.)
    const std::map<std::wstring, Bytes> whole = FolderSnapshot(Album());
    DeleteTree(Album());
    int damaged = 0;
    for (auto& [name, bytes] : FolderSnapshot(Cache())) {
        if (!EndsWith(name, L".thumb") && !EndsWith(name, L".none"))
            continue;
        if (damaged == 0)
            bytes[bytes.size() / 2] ^= 0x55;
        else if (damaged == 1)
            bytes.resize(bytes.size() / 2);
        else
            break;
        ASSERT_TRUE(WriteBytes(Cache() + name, bytes));
        ++damaged;
    }
    EXPECT_EQ(Build(2), 2u);
    EXPECT_TRUE(FolderSnapshot(Album()) == whole);
}

// A rebuild keeps the thumbnail files of the last one that still show their pictures, and
// writes only the rest; whatever it kept or wrote, the album is the one a build from nothing
// makes.
TEST_F(AlbumThumbnailsTest, ThumbnailFilesStillRightAreKeptAndTheRestWritten)
{
    MakeMixedFolder(output_);
    MakeFile(output_ + L"\\2019\\old.jpg", PhotoJpeg(400, 300, Taken("2019:01:02 03:04:05")));
    EXPECT_EQ(Build(2), 12u);
    const std::map<std::wstring, Bytes> first = FolderSnapshot(Album());
    const std::wstring thumb = Album() + L"\\thumb\\2024\\20240501_3.jpg";
    ASSERT_TRUE(first.count(L"\\thumb\\2024\\20240501_3.jpg"));

    // Nothing changed: every file is kept, so not one cache entry is read (each would be
    // found damaged and its picture decoded again).
    DamageCacheEntries(Cache());
    EXPECT_EQ(Build(2), 0u);
    EXPECT_TRUE(FolderSnapshot(Album()) == first);

    // A thumbnail someone wrote over is written again.
    DeleteTree(Cache());
    EXPECT_EQ(Build(2), 12u);
    ASSERT_TRUE(WriteBytes(thumb, Bytes{'x'}));
    EXPECT_EQ(Build(2), 0u);
    EXPECT_TRUE(FolderSnapshot(Album()) == first);

    // A build that stopped leaves no list: the next one trusts no file it finds.
    DeleteFileW((Cache() + L"\\thumbnails.list").c_str());
    DamageCacheEntries(Cache());
    EXPECT_EQ(Build(2), 11u);  // the broken file's verdict is no thumbnail: it stands
    EXPECT_TRUE(FolderSnapshot(Album()) == first);
    // Nor does it trust a list that is not whole.
    Bytes list = ReadBytes(Cache() + L"\\thumbnails.list");
    ASSERT_GT(list.size(), 10u);
    list.pop_back();
    ASSERT_TRUE(WriteBytes(Cache() + L"\\thumbnails.list", list));
    DamageCacheEntries(Cache());
    EXPECT_EQ(Build(2), 11u);
    EXPECT_TRUE(FolderSnapshot(Album()) == first);

    // A picture taken away shifts the numbers of the day's later thumbnails, and its year
    // goes with it: the album is the same as one built from nothing.
    DeleteFileW((output_ + L"\\2024\\small_2.jpg").c_str());
    DeleteFileW((output_ + L"\\2019\\old.jpg").c_str());
    EXPECT_EQ(Build(2), 0u);
    const std::map<std::wstring, Bytes> kept = FolderSnapshot(Album());
    EXPECT_EQ(GetFileAttributesW((Album() + L"\\thumb\\2019").c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteTree(Album());
    DeleteTree(Cache());
    EXPECT_EQ(Build(1), 10u);
    EXPECT_TRUE(FolderSnapshot(Album()) == kept);
}

// A photo browsers do not show has a view beside its thumbnail: both come from one decode, and
// the view passes through the cache without staying there.
TEST_F(AlbumThumbnailsTest, APhotoAndItsViewComeFromOneDecodeAndTheViewLeavesTheCache)
{
    MakeFile(output_ + L"\\2024\\IMG_0001.HEIC", ReadWholeFile(RealTestFile("heif/libheif_example.heic")));
    EXPECT_EQ(Build(2), 1u);
    std::wstring thumbnail, view;
    for (const auto& entry : FolderSnapshot(Album())) {
        if (entry.first.rfind(L"\\thumb\\", 0) == 0)
            (EndsWith(entry.first, L"_view.jpg") ? view : thumbnail) = entry.first;
    }
    ASSERT_FALSE(view.empty());
    ASSERT_FALSE(thumbnail.empty());
    {
        Gdiplus::Bitmap small((Album() + thumbnail).c_str()), large((Album() + view).c_str());
        EXPECT_TRUE(small.GetWidth() <= 320 && small.GetHeight() <= 240 &&
                    (small.GetWidth() == 320 || small.GetHeight() == 240));
        EXPECT_TRUE(large.GetWidth() == 2048 || large.GetHeight() == 2048);
        // The same picture: the thumbnail's shape is the view's.
        EXPECT_NEAR(double(small.GetWidth()) / small.GetHeight(), double(large.GetWidth()) / large.GetHeight(), 0.02);
    }
    EXPECT_EQ(CountEntries(Cache()), 1);

    // Its view's file gone, only the view is made again; the thumbnail comes from the cache.
    const Bytes madeView = ReadBytes(Album() + view);
    DeleteFileW((Album() + view).c_str());
    EXPECT_EQ(Build(2), 1u);
    EXPECT_TRUE(ReadBytes(Album() + view) == madeView);
    EXPECT_EQ(CountEntries(Cache()), 1);
}

// The peak signal-to-noise ratio of two pictures of one size, over their colour channels.
double Psnr(const std::wstring& a, const std::wstring& b)
{
    Gdiplus::Bitmap first(a.c_str()), second(b.c_str());
    EXPECT_EQ(first.GetWidth(), second.GetWidth());
    EXPECT_EQ(first.GetHeight(), second.GetHeight());
    double squares = 0;
    const UINT width = first.GetWidth(), height = first.GetHeight();
    for (UINT y = 0; y < height; ++y) {
        for (UINT x = 0; x < width; ++x) {
            Gdiplus::Color p, q;
            first.GetPixel(static_cast<INT>(x), static_cast<INT>(y), &p);
            second.GetPixel(static_cast<INT>(x), static_cast<INT>(y), &q);
            const double differences[3] = {double(p.GetR()) - q.GetR(), double(p.GetG()) - q.GetG(),
                                           double(p.GetB()) - q.GetB()};
            for (const double difference : differences)
                squares += difference * difference;
        }
    }
    const double mean = squares / (3.0 * width * height);
    return mean == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mean);
}

// The thumbnail the imaging library's own path makes: the whole picture decoded, an upright
// copy of it at full size, that copy drawn into the box.
Bytes FullDecodeThumbnail(const std::wstring& path, std::uint16_t orientation)
{
    Gdiplus::Image picture(path.c_str());
    const INT w = static_cast<INT>(picture.GetWidth()), h = static_cast<INT>(picture.GetHeight());
    Gdiplus::Bitmap upright(w, h, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics surface(&upright);
        surface.DrawImage(&picture, Gdiplus::Rect(0, 0, w, h), 0, 0, w, h, Gdiplus::UnitPixel);
    }
    upright.RotateFlip(orientation == 6 ? Gdiplus::Rotate90FlipNone : Gdiplus::RotateNoneFlipNone);
    const INT uw = static_cast<INT>(upright.GetWidth()), uh = static_cast<INT>(upright.GetHeight());
    const FittedSize size = FitIntoBox(uw, uh, 320, 240);
    Gdiplus::Bitmap fitted(size.width, size.height, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics surface(&fitted);
        surface.DrawImage(&upright, Gdiplus::Rect(0, 0, size.width, size.height), 0, 0, uw, uh, Gdiplus::UnitPixel);
    }
    std::vector<std::uint8_t> jpeg;
    EXPECT_TRUE(EncodeJpeg(PixelsOf(fitted), 80, &jpeg));
    return jpeg;
}

// The thumbnail of the whole picture decoded as a careful thumbnailer makes it: every pixel
// of the fitted picture the mean of the source pixels it covers.
Bytes AveragedThumbnail(const std::wstring& path, std::uint16_t orientation)
{
    Gdiplus::Bitmap picture(path.c_str());
    picture.RotateFlip(orientation == 6 ? Gdiplus::Rotate90FlipNone : Gdiplus::RotateNoneFlipNone);
    const INT w = static_cast<INT>(picture.GetWidth()), h = static_cast<INT>(picture.GetHeight());
    const FittedSize size = FitIntoBox(w, h, 320, 240);
    Gdiplus::BitmapData source{};
    const Gdiplus::Rect all(0, 0, w, h);
    picture.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat24bppRGB, &source);
    Gdiplus::Bitmap fitted(size.width, size.height, PixelFormat24bppRGB);
    for (INT y = 0; y < size.height; ++y) {
        for (INT x = 0; x < size.width; ++x) {
            const INT x0 = x * w / size.width, x1 = std::max(x0 + 1, (x + 1) * w / size.width);
            const INT y0 = y * h / size.height, y1 = std::max(y0 + 1, (y + 1) * h / size.height);
            double sum[3] = {};
            for (INT sy = y0; sy < y1; ++sy) {
                const auto* row = static_cast<const std::uint8_t*>(source.Scan0) + static_cast<std::ptrdiff_t>(sy) * source.Stride;
                for (INT sx = x0; sx < x1; ++sx)
                    for (int c = 0; c < 3; ++c)
                        sum[c] += row[3 * sx + c];
            }
            const double count = double(x1 - x0) * (y1 - y0);
            fitted.SetPixel(x, y, Gdiplus::Color(static_cast<BYTE>(sum[2] / count + 0.5), static_cast<BYTE>(sum[1] / count + 0.5),
                                                 static_cast<BYTE>(sum[0] / count + 0.5)));
        }
    }
    picture.UnlockBits(&source);
    std::vector<std::uint8_t> jpeg;
    EXPECT_TRUE(EncodeJpeg(PixelsOf(fitted), 80, &jpeg));
    return jpeg;
}

// The eighth-size thumbnails against two made from the whole picture: one drawn the way the
// imaging library shrinks (a few source pixels per thumbnail pixel: fine detail flickers in),
// and one whose every pixel is the mean of the area it covers. Ours must be as close to the
// averaged one as two thumbnails of one picture can be, and closer to it than the drawn one.
TEST_F(AlbumThumbnailsTest, EighthSizeThumbnailsLookLikeThoseOfTheFullDecode)
{
    const std::wstring camera = MakeFile(output_ + L"\\camera.jpg", CameraLikeJpeg(4000, 3000, Taken(""), 7));
    const struct {
        std::wstring path;
        std::uint16_t orientation;
        double least;  // dB against the averaged thumbnail
    } pictures[] = {{RealTestFile("jpeg/mde_Apple_iPhone_5.jpg"), 1, 30.0},
                    {RealTestFile("jpeg/mde_Apple_iPhone_5.jpg"), 6, 30.0},
                    {camera, 1, 40.0},
                    {camera, 6, 40.0}};
    for (const auto& picture : pictures) {
        std::vector<std::uint8_t> fast;
        ASSERT_EQ(MakeThumbnail(picture.path, picture.orientation, &fast), ThumbnailOutcome::kMade);
        const std::wstring fastFile = MakeFile(output_ + L"\\fast.jpg", Bytes(fast.begin(), fast.end()));
        const std::wstring drawnFile = MakeFile(output_ + L"\\drawn.jpg", FullDecodeThumbnail(picture.path, picture.orientation));
        const std::wstring averagedFile =
            MakeFile(output_ + L"\\averaged.jpg", AveragedThumbnail(picture.path, picture.orientation));
        const double ours = Psnr(fastFile, averagedFile), drawn = Psnr(drawnFile, averagedFile);
        std::printf("PSNR, orientation %u of %ls: eighth-size against averaged %.1f dB, against drawn %.1f dB; "
                    "drawn against averaged %.1f dB\n",
                    picture.orientation, picture.path.c_str(), ours, Psnr(fastFile, drawnFile), drawn);
        EXPECT_GE(ours, picture.least) << picture.orientation;
        EXPECT_GT(ours, drawn + 5.0) << picture.orientation;
    }
}

}  // namespace
