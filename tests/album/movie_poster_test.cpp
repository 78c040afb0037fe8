// Movies' posters from real clips that Debian's ffmpeg made at build time (tests/data/clips):
// H.264 and HEVC recorded as a phone records portrait, a clip shorter than the poster's
// moment, a camcorder's MPEG-TS and an AVI, sound alone and a cut file; the poster stands as ffmpeg shows the frame, reads a
// little of the movie, and an album shows it with its length, joins a Live Photo and decodes
// no movie again when nothing changed.

#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "album/album_build.h"
#include "album/album_thumbnails.h"
#include "album/image_operations.h"
#include "album/jpeg_codec.h"
#include "album/movie_poster.h"
#include "base/text_encoding.h"
#include "metadata/file_reader.h"
#include "tests/album/album_test_files.h"
#include "tests/organize/organize_fixture.h"
#include "tests/organize/organize_test_files.h"
#include "tests/support/temp_folder.h"

namespace {

// A clip of the build tree, as Wine reaches it (the Linux file system is drive Z:).
std::wstring Clip(const std::string& name)
{
    std::wstring path = L"Z:" + Utf8ToWide(std::string(KASUMIRO_CLIPS_DIR) + "/" + name);
    for (wchar_t& c : path)
        c = c == L'/' ? L'\\' : c;
    return path;
}

// The mean colour (red, green, blue) of each quarter of a picture, left to right, top down.
using Quarters = std::array<std::array<int, 3>, 4>;

template <typename PixelAt>
Quarters QuarterColours(std::uint32_t width, std::uint32_t height, PixelAt pixelAt)
{
    Quarters quarters{};
    for (int q = 0; q < 4; ++q) {
        // The middle half of the quarter, away from the edges the encoder blurs.
        const std::uint32_t x0 = (q % 2) * width / 2 + width / 8, y0 = (q / 2) * height / 2 + height / 8;
        std::array<long, 3> sums{};
        long count = 0;
        for (std::uint32_t y = y0; y < y0 + height / 4; ++y) {
            for (std::uint32_t x = x0; x < x0 + width / 4; ++x) {
                const std::array<int, 3> rgb = pixelAt(x, y);
                for (int c = 0; c < 3; ++c)
                    sums[c] += rgb[c];
                ++count;
            }
        }
        for (int c = 0; c < 3; ++c)
            quarters[q][c] = static_cast<int>(sums[c] / count);
    }
    return quarters;
}

// ffmpeg's own frame, a binary PPM.
Quarters QuartersOfPpm(const std::wstring& path, std::uint32_t* width, std::uint32_t* height)
{
    const Bytes bytes = ReadBytes(path);
    const std::string head(bytes.begin(), bytes.begin() + std::min<std::size_t>(bytes.size(), 32));
    unsigned w = 0, h = 0, maximum = 0;
    int used = 0;
    EXPECT_EQ(std::sscanf(head.c_str(), "P6 %u %u %u%n", &w, &h, &maximum, &used), 3) << ToUtf8(path);
    const std::size_t start = static_cast<std::size_t>(used) + 1;
    *width = w;
    *height = h;
    if (bytes.size() < start + 3ull * w * h)
        return {};
    return QuarterColours(w, h, [&](std::uint32_t x, std::uint32_t y) {
        const std::uint8_t* p = bytes.data() + start + 3 * (static_cast<std::size_t>(y) * w + x);
        return std::array<int, 3>{p[0], p[1], p[2]};
    });
}

// The poster's JPEG decoded whole.
Quarters QuartersOfJpeg(const std::vector<std::uint8_t>& jpeg, std::uint32_t* width, std::uint32_t* height)
{
    DecodedPixels decoded;
    EXPECT_TRUE(DecodeJpegForBox(jpeg.data(), jpeg.size(), 4096, 4096, 1, &decoded));
    const BgrPicture& picture = decoded.pixels;
    *width = picture.width;
    *height = picture.height;
    if (picture.Empty())
        return {};
    return QuarterColours(picture.width, picture.height, [&](std::uint32_t x, std::uint32_t y) {
        const std::uint8_t* p = picture.bgr.data() + static_cast<std::size_t>(y) * picture.stride + 3 * x;
        return std::array<int, 3>{p[2], p[1], p[0]};
    });
}

// A phone's portrait clip, a camcorder's MPEG-TS and a compact camera's Motion JPEG AVI: the
// poster is upright and fitted into the thumbnail's box as a photo's thumbnail is, each quarter
// the colour of ffmpeg's own frame; its length is kept in it.
TEST(MoviePosterTest, EveryCamerasMovieStandsAsFfmpegShowsItWithItsLength)
{
    const struct {
        const char* clip;
        const char* frame;  // ffmpeg's, a PPM
        std::int64_t lengthMs;
        std::uint32_t width, height;              // ffmpeg's frame: the phone's turned portrait
        std::uint32_t posterWidth, posterHeight;  // it fitted into 320 x 240
    } clips[] = {{"quarters_h264_rot90.mp4", "quarters_h264_rot90", 2000, 240, 320, 180, 240},
                 {"quarters_hevc_rot90.mp4", "quarters_hevc_rot90", 2000, 240, 320, 180, 240},
                 {"quarters_short_h264_rot90.mp4", "quarters_short_h264_rot90", 300, 240, 320, 180, 240},
                 {"quarters_h264.m2ts", "quarters_h264_m2ts", 2000, 320, 240, 320, 240},
                 {"quarters_mjpeg.avi", "quarters_mjpeg_avi", 2000, 320, 240, 320, 240}};
    for (const auto& clip : clips) {
        SCOPED_TRACE(clip.clip);
        std::vector<std::uint8_t> jpeg;
        ASSERT_EQ(MakeMoviePoster(Clip(clip.clip), &jpeg), ThumbnailOutcome::kMade);
        std::uint32_t width = 0, height = 0, ppmWidth = 0, ppmHeight = 0;
        const Quarters poster = QuartersOfJpeg(jpeg, &width, &height);
        const Quarters ffmpeg = QuartersOfPpm(Clip(std::string(clip.frame) + ".ppm"), &ppmWidth, &ppmHeight);
        ASSERT_EQ(ppmWidth, clip.width);
        ASSERT_EQ(ppmHeight, clip.height);
        EXPECT_EQ(width, clip.posterWidth);
        EXPECT_EQ(height, clip.posterHeight);
        for (int q = 0; q < 4; ++q) {
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(poster[q][c], ffmpeg[q][c], 24) << "quarter " << q << " channel " << c;
        }
        EXPECT_NEAR(static_cast<double>(MovieLengthOf(jpeg)), static_cast<double>(clip.lengthMs), 70.0);
    }
}

// The poster of a 12-second movie (its index at the end, as phones write it) takes its index
// and a second of it, not the file.
TEST(MoviePosterTest, APosterReadsLittleOfTheMovie)
{
    const std::unique_ptr<FileReader> file = FileReader::Open(Clip("long_h264.mp4"));
    ASSERT_TRUE(file);
    MovieFrame frame;
    ASSERT_TRUE(DecodeMoviePosterFrame(*file, &frame));
    EXPECT_EQ(frame.decoded.pixels.width, 640u);
    EXPECT_EQ(frame.decoded.pixels.height, 360u);
    EXPECT_EQ(frame.orientation, 1);
    EXPECT_NEAR(static_cast<double>(frame.lengthMs), 12000.0, 70.0);
    EXPECT_LT(file->BytesRead(), file->Size() / 5) << file->BytesRead() << " of " << file->Size();
}

// Sound alone, a movie cut before its index, and bytes of no movie have no poster; the length
// is read back only from where a poster keeps it.
TEST(MoviePosterTest, SoundAloneACutMovieAndNoMovieHaveNoPoster)
{
    std::vector<std::uint8_t> jpeg;
    EXPECT_EQ(MakeMoviePoster(Clip("audio_only.mp4"), &jpeg), ThumbnailOutcome::kNotAPicture);
    EXPECT_EQ(MakeMoviePoster(Clip("truncated_h264.mp4"), &jpeg), ThumbnailOutcome::kNotAPicture);
    TempFolder folder;
    EXPECT_EQ(MakeMoviePoster(MakeFile(folder.File(L"zeros.mp4"), Bytes(4096, 0)), &jpeg),
              ThumbnailOutcome::kNotAPicture);
    EXPECT_TRUE(jpeg.empty());
    EXPECT_EQ(MovieLengthOf(PhotoJpeg(64, 48, {})), -1);
}

class MovieAlbumTest : public OrganizeFixture {
protected:
    void SetUp() override
    {
        OrganizeFixture::SetUp();
        CreateDirectoryW(output_.c_str(), nullptr);
    }
    std::wstring Movie(const std::wstring& relative, const std::string& clip)
    {
        const std::wstring path = MakeFile(output_ + L"\\" + relative, ReadBytes(Clip(clip)));
        SetLocalLastWrite(path, 2024, 5, 3, 10, 0, 0);
        return path;
    }
    std::wstring MonthPage() const
    {
        const Bytes bytes = ReadBytes(output_ + L"\\PhotoAlbum\\2024\\202405.html");
        return Utf8ToWide(std::string(bytes.begin(), bytes.end()));
    }
    std::wstring Undecodable(const std::wstring& relative)
    {
        const std::wstring path = MakeFile(output_ + L"\\" + relative, Bytes(4096, 0));
        SetLocalLastWrite(path, 2024, 5, 3, 11, 0, 0);
        return path;
    }
    // Builds the album; returns the pictures and movies decoded for it.
    std::uint64_t Build(bool includeNoPreview = true)
    {
        RecordingProgress progress;
        const std::uint64_t before = PictureDecodes();
        EXPECT_EQ(BuildPhotoAlbum(progress, output_, includeNoPreview).status, kStatusOk);
        return PictureDecodes() - before;
    }
};

// A movie is its poster with a play mark and its length, linked to the viewer with its player;
// one that does not decode keeps its player; a camcorder's movie that browsers do not play is
// its poster too, offered as a file when pressed, and a file without preview when it does not
// decode; a photo and a movie of one name in one folder are one Live Photo item; a rebuild
// with nothing new decodes no movie again.
TEST_F(MovieAlbumTest, PostersLengthsLivePhotosAndNoDecodeOnARebuild)
{
    Movie(L"2024\\05\\walk.mp4", "quarters_h264_rot90.mp4");
    Movie(L"2024\\05\\cut.mp4", "truncated_h264.mp4");
    Movie(L"2024\\05\\00001.MTS", "quarters_h264.m2ts");
    Undecodable(L"2024\\05\\broken.avi");
    PhotoFacts facts;
    facts.dateTimeOriginal = "2024:05:03 09:00:00";
    MakeFile(output_ + L"\\2024\\05\\IMG_0001.JPG", PhotoJpeg(400, 300, facts));
    Movie(L"2024\\05\\img_0001.mov", "quarters_short_h264_rot90.mp4");

    EXPECT_EQ(Build(), 5u);  // the photo and four movies; the Live Photo's movie has no poster
    const std::wstring page = MonthPage();
    EXPECT_NE(page.find(L"<script src=\"../album_month.js\" defer></script>"), std::wstring::npos);
    EXPECT_NE(page.find(L"<span class='picture_item_wrap movie_item'><a class='movie_link' "
                        L"href='../picture.html?movie=../2024/05/walk.mp4&poster=thumb/2024/20240503_"),
              std::wstring::npos)
        << ToUtf8(page);
    EXPECT_NE(page.find(L"<span class='movie_play' aria-hidden='true'></span><span class='movie_length'>0:02</span>"),
              std::wstring::npos);
    EXPECT_NE(page.find(L"<video src='../../2024/05/cut.mp4' controls></video>"), std::wstring::npos);
    EXPECT_EQ(CountOf(page, L"<video"), 1u);
    EXPECT_NE(page.find(L"<span class='picture_item_wrap movie_item'><a class='movie_file' "
                        L"href='../unknown.html?file=../2024/05/00001.MTS&name=00001.MTS'><img class='picture_item' "
                        L"src='../thumb/2024/20240503_"),
              std::wstring::npos)
        << ToUtf8(page);
    EXPECT_EQ(CountOf(page, L"<span class='movie_length'>0:02</span>"), 2u);
    EXPECT_NE(page.find(L"<a href='../unknown.html?file=../2024/05/broken.avi&name=broken.avi'>"
                        L"<div class='picture_item_unknown_frame'>broken.avi</div>"),
              std::wstring::npos);
    // The Live Photo: the photo's item, with its movie and its mark; the movie is no item.
    EXPECT_EQ(CountOf(page, L"img_0001.mov"), 1u);
    EXPECT_NE(page.find(L"&live=../2024/05/img_0001.mov"), std::wstring::npos);
    EXPECT_EQ(CountOf(page, L"<span class='live_mark'>LIVE</span>"), 1u);
    EXPECT_NE(page.find(L"picture_item_wrap live_item"), std::wstring::npos);
    const Bytes list = ReadBytes(output_ + L"\\PhotoAlbum\\2024\\202405.pictures.js");
    EXPECT_EQ(CountOf(Utf8ToWide(std::string(list.begin(), list.end())), L"movie="), 1u);
    // The phone's movie is as tall as it is shown, by its track's matrix.
    EXPECT_NE(Utf8ToWide(std::string(list.begin(), list.end())).find(L"\"pixels\":\"240 × 320\""), std::wstring::npos);

    EXPECT_EQ(Build(), 0u);
    EXPECT_EQ(MonthPage(), page);
}

// A Live Photo whose photo does not decode keeps its movie: listed as a movie of its own, with
// its poster, in the viewer's list, also when files without preview are left out.
TEST_F(MovieAlbumTest, ALivePhotoWhosePhotoDoesNotDecodeKeepsItsMovie)
{
    Undecodable(L"2024\\05\\IMG_0002.JPG");
    Movie(L"2024\\05\\IMG_0002.MOV", "quarters_h264_rot90.mp4");

    EXPECT_EQ(Build(false), 1u);  // the movie: the photo's bytes are no picture's header
    const std::wstring page = MonthPage();
    EXPECT_EQ(page.find(L"IMG_0002.JPG"), std::wstring::npos) << ToUtf8(page);
    EXPECT_EQ(page.find(L"live_item"), std::wstring::npos);
    EXPECT_NE(page.find(L"<a class='movie_link' href='../picture.html?movie=../2024/05/IMG_0002.MOV&poster=thumb/"
                        L"2024/20240503_0.jpg&page=2024/202405&at=0' data-movie='../../2024/05/IMG_0002.MOV'>"),
              std::wstring::npos)
        << ToUtf8(page);
    EXPECT_TRUE(FileExists(output_ + L"\\PhotoAlbum\\thumb\\2024\\20240503_0.jpg"));
    EXPECT_EQ(Build(false), 0u);
    EXPECT_EQ(MonthPage(), page);
}

}  // namespace
