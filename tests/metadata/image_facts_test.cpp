#include "metadata/image_facts.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/metadata/metadata_test_data.h"

namespace {

ImageFacts Facts(const std::string& relative)
{
    ImageFacts facts;
    std::string error;
    EXPECT_TRUE(ReadImageFacts(RealTestFile(relative), &facts, &error)) << relative << ": " << error;
    return facts;
}

TEST(ImageFactsTest, EveryRealFileIsReadAndRecognisedByItsBytes)
{
    int files = 0;
    for (const char* folder : {"jpeg", "tiff", "heif", "avif"}) {
        const std::string name(folder);
        const ImageFormat wanted = name == "jpeg"   ? ImageFormat::kJpeg
                                   : name == "tiff" ? ImageFormat::kTiff
                                                    : ImageFormat::kHeif;
        const std::filesystem::path dir(RealTestFile(name));
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            ImageFacts facts;
            std::string error;
            ASSERT_TRUE(ReadImageFacts(entry.path().wstring(), &facts, &error)) << error;
            EXPECT_EQ(facts.format, wanted) << entry.path().string();
            ++files;
        }
    }
    EXPECT_EQ(files, 71);
}

TEST(ImageFactsTest, HeifItemsWithTheTiffHeaderRightBehindTheirOffset)
{
    // Written with offset 0 and no "Exif" marker.
    const ImageFacts nokia = Facts("heif/ianare_HMD_Nokia_8.3_5G_hdr.heif");
    ASSERT_TRUE(nokia.exif);
    EXPECT_FALSE(nokia.dateTimeOriginal);
    EXPECT_EQ(nokia.dateTime, "2022:01:12 07:30:14");
    ASSERT_TRUE(nokia.gps);
    EXPECT_NEAR(nokia.gps->first, 40.6629935, 1e-6);
    EXPECT_NEAR(nokia.gps->second, -3.76374051, 1e-6);

    EXPECT_EQ(Facts("avif/libavif_paris_icc_exif_xmp.avif").dateTimeOriginal, "2022:08:22 20:30:46");
    EXPECT_EQ(Facts("heif/mde_Issue_437_dotnet.heic").orientation, 6);
}

TEST(ImageFactsTest, HeifItemsFoundWhereverTheyLie)
{
    EXPECT_EQ(Facts("heif/mde_exif-at-eof.heic").dateTimeOriginal, "2020:05:04 18:39:11");
    EXPECT_EQ(Facts("avif/mde_Issue_649.avif").dateTimeOriginal, "2015:10:11 14:41:44");  // base offset
    EXPECT_EQ(Facts("heif/sigal_outdoor.heic").dateTimeOriginal, "2024:09:01 13:50:35");
    EXPECT_EQ(Facts("avif/libavif_colors-animated-8bpc-alpha-exif-xmp.avif").dateTime,
              "2022:08:24 22:07:42");
    const ImageFacts none = Facts("heif/libheif_example.heic");
    EXPECT_FALSE(none.exif);
    EXPECT_FALSE(none.dateTimeOriginal);
}

TEST(ImageFactsTest, DamagedCameraFilesKeepWhatIsReadable)
{
    // A damaged IFD chain: IFD0's date survives.
    const ImageFacts loop = Facts("jpeg/goexif_infinite_loop_exif.jpg");
    EXPECT_TRUE(loop.exif);
    EXPECT_FALSE(loop.dateTimeOriginal);
    EXPECT_EQ(loop.dateTime, "2007:05:10 19:04:16");
    // An interoperability pointer back at IFD0.
    EXPECT_EQ(Facts("jpeg/mde_Kodak_ProBack.jpg").dateTimeOriginal, "2004:03:13 12:33:04");
    // A date of blanks and colons is reported as stored.
    EXPECT_EQ(Facts("jpeg/mde_FujiFilm_DX-5.jpg").dateTimeOriginal, "    :  :     :  :  ");
    EXPECT_EQ(Facts("jpeg/recurser_Landscape_0.jpg").orientation, 0);
}

TEST(ImageFactsTest, TiffFilesAndTheirGps)
{
    const ImageFacts tiff = Facts("tiff/exifr_fixtures_002.tiff");
    EXPECT_EQ(tiff.dateTimeOriginal, "2019:05:24 15:06:38");
    ASSERT_TRUE(tiff.gps);
    EXPECT_NEAR(tiff.gps->first, 39.9169997222222, 1e-6);
    EXPECT_NEAR(tiff.gps->second, -2.82502444444444, 1e-6);
    // GPS written as text is no position.
    EXPECT_FALSE(Facts("jpeg/goexif_geodegrees_as_string.jpg").gps);
}

// Values as exiftool reads them from the same files.
TEST(ImageFactsTest, TheCameraItsExposureAndThePictureSize)
{
    const ImageFacts phone = Facts("jpeg/mde_Apple_iPhone_5.jpg");
    EXPECT_EQ(phone.make, "Apple");
    EXPECT_EQ(phone.model, "iPhone 5");
    EXPECT_EQ(phone.exposureTime, (ExifRational{1, 1695}));
    EXPECT_EQ(phone.fNumber, (ExifRational{12, 5}));
    EXPECT_EQ(phone.isoSpeed, 50u);
    EXPECT_EQ(phone.focalLength, (ExifRational{413, 100}));
    EXPECT_EQ(phone.focalLength35mm, 33u);
    // The frame header's size, as stored: the photo is turned by its orientation 3 only.
    EXPECT_EQ(phone.pixelSize, std::make_pair(3264u, 2448u));

    const ImageFacts canon = Facts("jpeg/ianare_Canon_40D.jpg");
    EXPECT_EQ(canon.make, "Canon");
    EXPECT_EQ(canon.model, "Canon EOS 40D");
    EXPECT_EQ(canon.exposureTime, (ExifRational{1, 160}));
    EXPECT_EQ(canon.fNumber, (ExifRational{71, 10}));
    EXPECT_EQ(canon.isoSpeed, 100u);
    EXPECT_EQ(canon.focalLength, (ExifRational{135, 1}));
    EXPECT_FALSE(canon.focalLength35mm);
    EXPECT_EQ(canon.pixelSize, std::make_pair(100u, 68u));

    // A TIFF's size is its first directory's; a camera without an exposure time has none.
    const ImageFacts drone = Facts("tiff/exifr_fixtures_002.tiff");
    EXPECT_EQ(drone.make, "DJI");
    EXPECT_EQ(drone.model, "XT2");
    EXPECT_FALSE(drone.exposureTime);
    EXPECT_EQ(drone.fNumber, (ExifRational{1250, 1000}));
    EXPECT_EQ(drone.pixelSize, std::make_pair(640u, 512u));

    // A cropped HEIC's Exif still states the camera's 4032 x 3024; its size is its primary
    // item's "ispe", as exiftool reads it.
    const ImageFacts cropped = Facts("heif/ianare_IMG_5195.HEIC");
    EXPECT_EQ(cropped.model, "iPhone 11 Pro Max");
    EXPECT_EQ(cropped.isoSpeed, 32u);
    EXPECT_EQ(cropped.pixelSize, std::make_pair(2566u, 3313u));
    // An AVIF of 1920 x 1080 that its "irot" turns a quarter is as tall as it is shown; a HEIC
    // whose Exif asks for a turn its boxes do not make is as wide as its decoders show it.
    EXPECT_EQ(Facts("avif/av1avif_Ronda_rotate90.avif").pixelSize, std::make_pair(1080u, 1920u));
    const ImageFacts notTurned = Facts("heif/mde_Issue_437_dotnet.heic");
    EXPECT_EQ(notTurned.orientation, 6);
    EXPECT_EQ(notTurned.pixelSize, std::make_pair(4000u, 1848u));
}

TEST(ImageFactsTest, FilesThatCannotBeReadSaySo)
{
    ImageFacts facts;
    std::string error;
    EXPECT_FALSE(ReadImageFacts(RealTestFile("jpeg/no-such-file.jpg"), &facts, &error));
    EXPECT_FALSE(error.empty());

    ScratchFile text(std::vector<std::uint8_t>{'h', 'e', 'l', 'l', 'o'}, ".txt");
    ASSERT_TRUE(ReadImageFacts(text.Path(), &facts, &error));
    EXPECT_EQ(facts.format, ImageFormat::kOther);
    EXPECT_FALSE(facts.exif);
    ScratchFile empty(std::vector<std::uint8_t>{}, ".heic");
    ASSERT_TRUE(ReadImageFacts(empty.Path(), &facts, &error));
    EXPECT_EQ(facts.format, ImageFormat::kHeif);  // by its extension
    EXPECT_FALSE(facts.exif);
    // A TIFF header whose parse fails: the reads are still counted, through a file that is
    // still there (fuzz/regressions/picture_file/tiff-whose-parse-fails.tif).
    ScratchFile tiff(std::vector<std::uint8_t>{'M', 'M', 0, '*', '\r', '\n'}, ".tif");
    ASSERT_TRUE(ReadImageFacts(tiff.Path(), &facts, &error));
    EXPECT_EQ(facts.format, ImageFormat::kTiff);
    EXPECT_FALSE(facts.exif);
    EXPECT_GE(facts.bytesRead, 6u);
}

}  // namespace
