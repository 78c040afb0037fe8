// Every photo shows in the album, the right way up: real phone and camera files of the HEIF
// family and JPEGs in all eight orientations, in an album built by the console program, each
// thumbnail held against ImageMagick's decode of the same file (an independent decoder, made
// upright by its own reading of the file) by the mean colour of each quarter.

#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstdlib>
#include <map>
#include <regex>
#include <string>

#include "album/image_operations.h"
#include "base/gdiplus_headers.h"
#include "base/text_encoding.h"
#include "tests/metadata/metadata_test_data.h"
#include "tests/organize/organize_test_files.h"
#include "tests/support/child_process.h"
#include "tests/support/host_files.h"
#include "tests/support/temp_folder.h"

namespace {

using Quarters = std::array<double, 12>;  // blue, green, red of each quarter, top left first

// The mean colour of each quarter of a decoded picture.
Quarters QuartersOf(const BgrPicture& picture)
{
    Quarters means{};
    std::array<double, 4> counts{};
    for (std::uint32_t y = 0; y < picture.height; ++y) {
        for (std::uint32_t x = 0; x < picture.width; ++x) {
            const std::size_t quarter = (y * 2 / picture.height) * 2 + x * 2 / picture.width;
            const std::uint8_t* pixel = picture.bgr.data() + std::size_t{y} * picture.stride + std::size_t{x} * 3;
            for (int c = 0; c < 3; ++c)
                means[quarter * 3 + c] += pixel[c];
            counts[quarter] += 1;
        }
    }
    for (std::size_t i = 0; i < means.size(); ++i)
        means[i] /= counts[i / 3];
    return means;
}

// ImageMagick's quarters of the file, stood upright as it reads the file.
bool ImageMagickQuarters(const std::wstring& file, const std::wstring& scratch, Quarters* quarters)
{
    const std::wstring out = scratch + L"\\quarters.rgb";
    DeleteFileW(out.c_str());
    const std::string command = "convert '" + HostPathOf(file) + "' -auto-orient -scale '2x2!' -depth 8 'rgb:" +
                                HostPathOf(scratch) + "/quarters.rgb'";
    const Bytes rgb = RunHostCommand(command) ? ReadBytes(out) : Bytes{};
    if (rgb.size() != 12)
        return false;
    for (int quarter = 0; quarter < 4; ++quarter)
        for (int c = 0; c < 3; ++c)
            (*quarters)[quarter * 3 + c] = rgb[quarter * 3 + 2 - c];  // RGB to blue first
    return true;
}

// The picture links of every month page: the file each one shows, and its thumbnail.
std::map<std::wstring, std::wstring> ThumbnailsByFile(const std::wstring& album)
{
    std::map<std::wstring, std::wstring> thumbnails;
    const std::wregex item(LR"(<a href='../picture.html\?img=../([^'&]+)[^']*'><img class='picture_item' src='../([^']+)')");
    for (const auto& [name, bytes] : FolderSnapshot(album)) {
        if (!name.ends_with(L".html") || name.find(L"\\thumb\\") != std::wstring::npos)
            continue;
        const std::wstring page = Utf8ToWide(std::string(bytes.begin(), bytes.end()));
        for (std::wsregex_iterator at(page.begin(), page.end(), item), end; at != end; ++at)
            thumbnails[(*at)[1]] = (*at)[2];
    }
    return thumbnails;
}

TEST(CliAlbumPicturesTest, EveryPhotoOfTheHeifFamilyAndEveryOrientationShowsUpright)
{
    const GdiplusSession gdiplus;
    TempFolder root;
    const std::wstring output = root.File(L"out");
    std::vector<std::string> files = {"jpeg/mde_Canon_PowerShot_A85.jpg",  "jpeg/mde_Samsung_GT-I9000_Galaxy_S.jpg",
                                      "jpeg/mde_Apple_iPhone_5.jpg",       "jpeg/libavif_paris_exif_orientation_5.jpg",
                                      "heif/mde_Issue_437_dotnet.heic",    "heif/ianare_IMG_5195.HEIC",
                                      "heif/libheif_example.heic",         "heif/sigal_outdoor.heic",
                                      "heif/ianare_HMD_Nokia_8.3_5G_hdr.heif", "heif/mde_exif-at-eof.heic",
                                      "avif/av1avif_Ronda_rotate90.avif",  "avif/exifpy_mountains.avif",
                                      "avif/libavif_paris_icc_exif_xmp.avif", "avif/mde_Issue_649.avif"};
    for (int orientation = 0; orientation <= 8; ++orientation)
        files.push_back("jpeg/recurser_Landscape_" + std::to_string(orientation) + ".jpg");
    for (const std::string& file : files) {
        const std::wstring name = FromUtf8(file.substr(file.find('/') + 1));
        MakeFile(output + L"\\photos\\" + name, ReadWholeFile(RealTestFile(file)));
    }
    // A phone's HEIC under a JPEG's name is shown all the same.
    MakeFile(output + L"\\photos\\really_a_heic.jpg", ReadWholeFile(RealTestFile("heif/sigal_outdoor.heic")));

    const RunResult run = RunAndCapture(QuotedProgram(L"kasumiro-cli.exe") + L" album --output \"" + output + L"\"");
    ASSERT_TRUE(run.finished) << run.startError;
    ASSERT_EQ(run.exitCode, 0u) << Utf8ToWide(run.err);

    const std::wstring album = output + L"\\PhotoAlbum";
    const std::map<std::wstring, std::wstring> thumbnails = ThumbnailsByFile(album);
    EXPECT_EQ(thumbnails.size(), files.size() + 1);  // every one a picture with a thumbnail
    for (const std::string& file : files)
        EXPECT_TRUE(thumbnails.count(L"photos/" + FromUtf8(file.substr(file.find('/') + 1)))) << file;
    for (const auto& [file, thumbnail] : thumbnails) {
        std::wstring path = album + L"\\" + thumbnail, original = output + L"\\" + file;
        std::replace(path.begin(), path.end(), L'/', L'\\');
        std::replace(original.begin(), original.end(), L'/', L'\\');
        const Bytes jpeg = ReadBytes(path);
        const DecodedPicture decoded = DecodePictureBytes(jpeg);
        ASSERT_TRUE(decoded.image && decoded.image->GetLastStatus() == Gdiplus::Ok) << path;
        Gdiplus::Bitmap bitmap(decoded.image->GetWidth(), decoded.image->GetHeight(), PixelFormat24bppRGB);
        {
            Gdiplus::Graphics surface(&bitmap);
            surface.DrawImage(decoded.image.get(), 0, 0, decoded.image->GetWidth(), decoded.image->GetHeight());
        }
        const Quarters ours = QuartersOf(PixelsOf(bitmap));
        Quarters theirs{};
        ASSERT_TRUE(ImageMagickQuarters(original, root.Path(), &theirs)) << original;
        double worst = 0;
        for (std::size_t i = 0; i < ours.size(); ++i)
            worst = std::max(worst, std::abs(ours[i] - theirs[i]));
        // A picture turned or mirrored the wrong way differs by far more than two decoders.
        EXPECT_LT(worst, 16.0) << file;
        // Fitted into the box, one side filling it.
        EXPECT_TRUE(decoded.image->GetWidth() == 320 || decoded.image->GetHeight() == 240) << file;
    }
    // Browsers show no HEIC: its viewer link carries the album's own JPEG of it.
    const Bytes page = ReadBytes(album + L"\\2021\\202104.html");
    const std::string text(page.begin(), page.end());
    const std::size_t link = text.find("img=../photos/ianare_IMG_5195.HEIC&view=thumb/2021/");
    ASSERT_NE(link, std::string::npos) << text;
    const std::size_t from = text.find("view=", link) + 5;
    const std::string view = text.substr(from, text.find_first_of("&'", from) - from);
    EXPECT_TRUE(view.ends_with("_view.jpg")) << view;
    std::wstring viewPath = album + L"\\" + FromUtf8(view);
    std::replace(viewPath.begin(), viewPath.end(), L'/', L'\\');
    const DecodedPicture shown = DecodePictureBytes(ReadBytes(viewPath));
    ASSERT_TRUE(shown.image && shown.image->GetLastStatus() == Gdiplus::Ok) << viewPath;
    EXPECT_EQ(shown.image->GetHeight(), 2048u);  // 2566 x 3313, fitted into the viewer's box
}

}  // namespace
