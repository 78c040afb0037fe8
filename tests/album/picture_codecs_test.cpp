// The album's codecs as its thumbnails call them: a JPEG decoded at an eighth is the block
// means of a full decode in every shape; what cameras and editors write (progressive,
// arithmetic, CMYK) decodes; damaged, hostile and fuzzer-found bytes are refused or decoded,
// never read past; sizes past the limits, read from the header of every format, are refused
// before anything is allocated, and scans past the limit as they come; memory that runs out
// in the middle of an encode ends it without an exception through the library; a file of
// every brand goes to the decoder the dater's reading of it matches.

#include "album/picture_codecs.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <new>
#include <sstream>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "album/picture_header.h"
#include "metadata/file_kind.h"
#include "metadata/image_facts.h"
#include "tests/album/album_test_files.h"
#include "tests/metadata/exif_block_builder.h"
#include "tests/metadata/heif_box_builder.h"
#include "tests/metadata/metadata_test_data.h"
#include "tests/support/host_files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_files.h"

namespace {

// Allocations through operator new of at least this many bytes fail on this thread while a
// test asks them to: memory that runs short in the middle of the work.
thread_local std::size_t t_failAllocationsFrom = SIZE_MAX;

}  // namespace

// From the C heap, as the library's own does it, so that its operator delete frees it.
void* operator new(std::size_t size)
{
    if (size >= t_failAllocationsFrom)
        throw std::bad_alloc();
    if (void* memory = std::malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}

namespace {

Bytes Shape(const std::string& name)
{
    const Bytes bytes = ReadWholeFile(RealTestFile("../jpeg_shapes/" + name));
    EXPECT_FALSE(bytes.empty()) << name;
    return bytes;
}

struct Picture {
    unsigned width = 0, height = 0;
    std::vector<int> rgb;
};

// An ASCII PPM ("P3"), as make_shapes.sh and ImageMagick write it.
Picture ReadPpm(const Bytes& bytes)
{
    std::istringstream text(std::string(bytes.begin(), bytes.end()));
    std::string magic;
    int maximum = 0;
    Picture picture;
    text >> magic >> picture.width >> picture.height >> maximum;
    for (int value; text >> value;)
        picture.rgb.push_back(value);
    EXPECT_EQ(magic, "P3");
    EXPECT_EQ(picture.rgb.size(), std::size_t{picture.width} * picture.height * 3);
    return picture;
}

// The largest difference of one colour of one pixel between a decode and an expected picture.
int WorstDifference(const BgrPicture& got, const Picture& want)
{
    int worst = 0;
    for (unsigned y = 0; y < got.height; ++y) {
        for (unsigned x = 0; x < got.width; ++x) {
            const std::uint8_t* pixel = got.bgr.data() + std::size_t{y} * got.stride + 3 * std::size_t{x};
            const int* expected = want.rgb.data() + 3 * (y * want.width + x);
            for (int c = 0; c < 3; ++c)
                worst = std::max(worst, std::abs(pixel[2 - c] - expected[c]));
        }
    }
    return worst;
}

TEST(PictureCodecsTest, AnEighthOfEveryShapeIsTheBlockMeansOfAFullDecode)
{
    for (const char* name : {"s420", "s422", "s440", "s444", "grey", "restart"}) {
        const Bytes jpeg = Shape(std::string(name) + ".jpg");
        const Picture expected = ReadPpm(Shape(std::string(name) + ".eighth.ppm"));
        DecodedPixels decoded;
        // 264 x 200 into a box of 33 x 25: an eighth fills it exactly.
        ASSERT_TRUE(DecodeJpegForBox(jpeg.data(), jpeg.size(), 33, 25, 1, &decoded)) << name;
        ASSERT_EQ(decoded.pixels.width, 33u) << name;
        ASSERT_EQ(decoded.pixels.height, 25u) << name;
        EXPECT_EQ(decoded.sourceWidth, 264u);
        EXPECT_EQ(decoded.pixels.stride % 4, 0u);
        // The full decode rounds each pixel and smooths the chroma before averaging; a block's
        // mean from its DC coefficient differs by a few levels at most.
        EXPECT_LE(WorstDifference(decoded.pixels, expected), 10) << name;
    }
    // The scale follows the box, the picture turned a quarter too: never smaller than it needs.
    const Bytes camera = ReadWholeFile(RealTestFile("jpeg/mde_Apple_iPhone_5.jpg"));  // 3264 x 2448
    DecodedPixels decoded;
    ASSERT_TRUE(DecodeJpegForBox(camera.data(), camera.size(), 320, 240, 1, &decoded));
    EXPECT_EQ(decoded.pixels.width, 408u);
    ASSERT_TRUE(DecodeJpegForBox(camera.data(), camera.size(), 320, 240, 6, &decoded));
    EXPECT_EQ(decoded.pixels.width, 408u);  // 306 wide upright fills a box 180 wide
    ASSERT_TRUE(DecodeJpegForBox(camera.data(), camera.size(), 2048, 2048, 1, &decoded));
    EXPECT_EQ(decoded.pixels.width, 3264u);
}

TEST(PictureCodecsTest, WhatCamerasAndEditorsWriteDecodes)
{
    const Picture expected = ReadPpm(Shape("s420.eighth.ppm"));
    for (const char* name : {"progressive.jpg", "arithmetic.jpg", "cmyk.jpg"}) {
        const Bytes jpeg = Shape(name);
        DecodedPixels decoded;
        ASSERT_TRUE(DecodeJpegForBox(jpeg.data(), jpeg.size(), 33, 25, 1, &decoded)) << name;
        ASSERT_EQ(decoded.pixels.width, 33u) << name;
        // The same picture in each: CMYK comes out in its colours, not inverted.
        EXPECT_LE(WorstDifference(decoded.pixels, expected), 24) << name;
    }
    const Bytes progressive = ReadWholeFile(RealTestFile("jpeg/mde_Issue_609.jpg"));
    DecodedPixels decoded;
    EXPECT_TRUE(DecodeJpegForBox(progressive.data(), progressive.size(), 320, 240, 1, &decoded));
    for (const Bytes& none : {Bytes{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, Bytes{}}) {
        EXPECT_FALSE(DecodeJpegForBox(none.data(), none.size(), 320, 240, 1, &decoded));
        EXPECT_FALSE(DecodeHeifForBox(none.data(), none.size(), 320, 240, &decoded));
        EXPECT_TRUE(decoded.pixels.Empty());
    }
    const Bytes jpeg = Shape("s420.jpg");
    EXPECT_EQ(PictureDecoderOf(std::span(jpeg).first(16)), PictureDecoder::kJpeg);
}

// Photos of ten and twelve bits a sample, as phones and cameras write HDR: each shows its
// quarters of red, green, blue and mid grey, reduced to eight bits.
TEST(PictureCodecsTest, PicturesOfTenAndTwelveBitsShowInEightBits)
{
    const std::uint8_t quarters[4][3] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {128, 128, 128}};  // blue first
    for (const char* name : {"deep10.heic", "deep12.heic", "deep12.avif"}) {
        const Bytes bytes = ReadWholeFile(RealTestFile(std::string("../pictures/") + name));
        DecodedPixels decoded;
        ASSERT_TRUE(DecodeHeifForBox(bytes.data(), bytes.size(), 32, 24, &decoded)) << name;
        ASSERT_EQ(decoded.pixels.width, 32u) << name;
        ASSERT_EQ(decoded.pixels.height, 24u) << name;
        for (int quarter = 0; quarter < 4; ++quarter) {
            const std::uint32_t x = quarter % 2 ? 24 : 8, y = quarter / 2 ? 18 : 6;
            const std::uint8_t* pixel = decoded.pixels.bgr.data() + y * decoded.pixels.stride + x * 3;
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(pixel[c], quarters[quarter][c], 12) << name << " quarter " << quarter << " channel " << c;
        }
    }
}

// Every brand of the HEIF family alone, AV1 brands behind a still-image one, the brands of
// movies and of a raw file: the dater reads each file as what the album decodes it as, and
// the dater's HEIF reader finds its date.
TEST(PictureCodecsTest, TheDaterAndTheAlbumTakeAFileOfEveryBrandForTheSameThing)
{
    const std::pair<std::vector<std::string>, FileKind> brands[] = {
        {{"mif1"}, FileKind::kHeic}, {{"msf1"}, FileKind::kHeic}, {{"mif2"}, FileKind::kHeic},
        {{"heic"}, FileKind::kHeic}, {{"heix"}, FileKind::kHeic}, {{"heim"}, FileKind::kHeic},
        {{"heis"}, FileKind::kHeic}, {{"hevc"}, FileKind::kHeic}, {{"hevx"}, FileKind::kHeic},
        {{"hevm"}, FileKind::kHeic}, {{"hevs"}, FileKind::kHeic}, {{"avif"}, FileKind::kAvif},
        {{"avis"}, FileKind::kAvif}, {{"avio"}, FileKind::kAvif}, {{"mif1", "avif"}, FileKind::kAvif},
        {{"mif1", "miaf", "MA1B", "avio"}, FileKind::kAvif}, {{"qt  ", "qt  "}, FileKind::kMovie},
        {{"isom", "isom", "mp41"}, FileKind::kMovie}, {{"crx ", "isom"}, FileKind::kCr3}};
    const Bytes item = AsHeifItem(PhotoExifBlock({"2021:02:03 04:05:06", {}, {}, {}, {}}));
    for (const auto& [names, kind] : brands) {
        HeifLayout layout;
        layout.fileType = FileTypeBox(names);
        const Bytes bytes = MakeHeifFile(item, layout);
        EXPECT_EQ(SniffFileKind(bytes), kind) << names[0];
        ImageFacts facts;
        std::string error;
        ASSERT_TRUE(ReadImageFacts(ScratchFile(bytes).Path(), &facts, &error)) << error;
        const bool heif = IsHeifFamily(kind);
        EXPECT_EQ(facts.format == ImageFormat::kHeif, heif) << names[0];
        EXPECT_EQ(PictureDecoderOf(bytes) == PictureDecoder::kHeif, heif) << names[0];
        EXPECT_EQ(facts.dateTimeOriginal.has_value(), heif) << names[0];
    }
    EXPECT_EQ(SniffFileKind(ReadWholeFile(RealTestFile("heif/libheif_example.heic"))), FileKind::kHeic);
    EXPECT_EQ(SniffFileKind(ReadWholeFile(RealTestFile("avif/libheif_example.avif"))), FileKind::kAvif);
}

TEST(PictureCodecsTest, DamagedAndHostileBytesAreRefusedOrDecodedNeverReadPast)
{
    // Cut anywhere: a header that runs short, a scan that stops early, a box cut in two.
    for (const Bytes& whole : {Shape("restart.jpg"), ReadWholeFile(RealTestFile("heif/sigal_outdoor.heic"))}) {
        for (std::size_t cut = 0; cut < whole.size(); cut += 1 + whole.size() / 97) {
            // An exact-size copy, so that a read past its end would land outside it.
            const Bytes cutShort(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
            DecodedPixels decoded;
            const bool done = PictureDecoderOf(whole) == PictureDecoder::kJpeg
                                  ? DecodeJpegForBox(cutShort.data(), cutShort.size(), 320, 240, 1, &decoded)
                                  : DecodeHeifForBox(cutShort.data(), cutShort.size(), 320, 240, &decoded);
            if (done) {
                EXPECT_EQ(decoded.pixels.bgr.size(), std::size_t{decoded.pixels.stride} * decoded.pixels.height) << cut;
            }
        }
    }
    // What the fuzzer found against the decoder of our own that libjpeg-turbo replaces, and a
    // quantisation table whose DC step is 65535.
    std::vector<Bytes> hostile;
    for (const char* found : {"huffman-codes-overflow-their-length-1", "huffman-codes-overflow-their-length-2",
                              "dc-step-of-65535"})
        hostile.push_back(ReadWholeFile(RealTestFile("../../../fuzz/regressions/picture_decode/" + std::string(found))));
    for (const Bytes& input : hostile) {
        ASSERT_FALSE(input.empty());
        DecodedPixels decoded;
        if (DecodeJpegForBox(input.data(), input.size(), 320, 240, 1, &decoded)) {
            EXPECT_EQ(decoded.pixels.bgr.size(), std::size_t{decoded.pixels.stride} * decoded.pixels.height);
        }
    }
}

Bytes Regression(const std::string& name)
{
    const Bytes bytes = ReadWholeFile(RealTestFile("../../../fuzz/regressions/picture_decode/" + name));
    EXPECT_FALSE(bytes.empty()) << name;
    return bytes;
}

// The hostile pictures of tests/album/make_hostile_pictures.py, as the fuzz regressions keep
// them: each refused for what it is, by the size it claims before its memory is taken, or by
// its scans as they come, while a real progressive photo still decodes.
TEST(PictureCodecsTest, PicturesPastTheLimitsAreRefusedBeforeTheirMemoryIsTaken)
{
    // What a decode holds is counted from the header: each one's coefficients (blocks of 64,
    // 2 bytes each; the picture of 1,200 scans has 128 MB of them, within the limit) and its
    // pixels at an eighth.
    const struct {
        const char* name;
        DecodeRefusal refusal;
        std::uint32_t claimedSide;  // 0: not read that far
        std::uint64_t bytesNeeded;
    } jpegs[] = {
        {"progressive-claims-32767-square.jpg", DecodeRefusal::kTooLarge, 32767, 4096ull * 4096 * (64 * 2 + 3)},
        {"progressive-of-1200-scans.jpg", DecodeRefusal::kTooManyScans, 8192, 1024ull * 1024 * (64 * 2 + 3)},
        {"baseline-claims-65535-square.jpg", DecodeRefusal::kUnreadable, 0, 0},  // past libjpeg's 65500
        {"cut-after-100-bytes.jpg", DecodeRefusal::kUnreadable, 0, 0},
    };
    for (const auto& jpeg : jpegs) {
        const Bytes bytes = Regression(jpeg.name);
        DecodedPixels decoded;
        EXPECT_FALSE(DecodeJpegForBox(bytes.data(), bytes.size(), 320, 240, 1, &decoded)) << jpeg.name;
        EXPECT_EQ(decoded.refusal, jpeg.refusal) << jpeg.name;
        EXPECT_EQ(decoded.sourceWidth, jpeg.claimedSide) << jpeg.name;
        EXPECT_EQ(decoded.bytesNeeded, jpeg.bytesNeeded) << jpeg.name;
        EXPECT_TRUE(decoded.pixels.Empty()) << jpeg.name;
    }

    const Bytes progressive = ReadWholeFile(RealTestFile("jpeg/mde_Issue_609.jpg"));
    DecodedPixels decoded;
    EXPECT_TRUE(DecodeJpegForBox(progressive.data(), progressive.size(), 2048, 2048, 1, &decoded));
    EXPECT_EQ(decoded.refusal, DecodeRefusal::kNone);
    EXPECT_LE(decoded.bytesNeeded, picture_limits::kMaxDecodeBytes);

    // The sizes the imaging library's formats claim, read from their headers alone.
    const struct {
        const char* name;
        std::uint32_t side;
        std::size_t header;  // the bytes the claim takes
    } claims[] = {{"png-claims-16000-square-cut.png", 16000, 24},
                  {"gif-claims-65535-square.gif", 65535, 36},
                  {"bmp-claims-30000-square.bmp", 30000, 54},
                  {"tiff-claims-100000-square.tif", 100000, 34}};
    for (const auto& claim : claims) {
        const Bytes bytes = Regression(claim.name);
        ClaimedSize claimed;
        ASSERT_TRUE(ReadClaimedSize(bytes.data(), bytes.size(), &claimed)) << claim.name;
        EXPECT_EQ(claimed.width, claim.side) << claim.name;
        EXPECT_EQ(claimed.height, claim.side) << claim.name;
        // Cut anywhere in its header, it claims nothing, and nothing past the cut is read.
        for (std::size_t cut = 0; cut < claim.header; ++cut) {
            const Bytes cutShort(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut));
            EXPECT_FALSE(ReadClaimedSize(cutShort.data(), cutShort.size(), &claimed)) << claim.name << " " << cut;
        }
    }
    // A real TIFF claims what the imaging library decodes; a JPEG is none of these formats.
    const std::wstring tiff = RealTestFile("tiff/ianare_Picoawards.tiff");
    const Bytes tiffBytes = ReadWholeFile(tiff);
    ClaimedSize claimed;
    ASSERT_TRUE(ReadClaimedSize(tiffBytes.data(), tiffBytes.size(), &claimed));
    const PixelSize decodedTiff = PictureSize(tiff);
    EXPECT_EQ(claimed.width, decodedTiff.width);
    EXPECT_EQ(claimed.height, decodedTiff.height);
    EXPECT_FALSE(ReadClaimedSize(progressive.data(), progressive.size(), &claimed));
}

TEST(PictureCodecsTest, EncodedPicturesComeBackAsTheyWent)
{
    BgrPicture picture;
    ASSERT_TRUE(picture.Allocate(64, 48));
    for (std::uint32_t y = 0; y < 48; ++y)
        for (std::uint32_t x = 0; x < 64; ++x) {
            std::uint8_t* pixel = picture.bgr.data() + std::size_t{y} * picture.stride + 3 * std::size_t{x};
            pixel[0] = static_cast<std::uint8_t>(x * 4);  // blue grows to the right
            pixel[1] = 128;
            pixel[2] = static_cast<std::uint8_t>(y * 5);  // red grows downwards
        }
    std::vector<std::uint8_t> jpeg;
    ASSERT_TRUE(EncodeJpeg(picture, 80, &jpeg));
    DecodedPixels decoded;
    ASSERT_TRUE(DecodeJpegForBox(jpeg.data(), jpeg.size(), 64, 48, 1, &decoded));
    ASSERT_EQ(decoded.pixels.width, 64u);
    const std::uint8_t* corner = decoded.pixels.bgr.data() + std::size_t{47} * decoded.pixels.stride + 3 * 63;
    EXPECT_NEAR(corner[0], 252, 12);
    EXPECT_NEAR(corner[2], 235, 12);
    EXPECT_FALSE(EncodeJpeg(BgrPicture{}, 80, &jpeg));
    EXPECT_FALSE(CodecVersions().empty());
}

TEST(PictureCodecsTest, MemoryThatRunsOutWhileEncodingEndsTheEncodeWithoutAnException)
{
    // Noise: its JPEG is far larger than the encoder's 64 KB block, which the output
    // gathers into a vector that has to grow.
    BgrPicture noise;
    ASSERT_TRUE(noise.Allocate(1024, 1024));
    std::uint32_t state = 1;
    for (std::uint8_t& byte : noise.bgr)
        byte = static_cast<std::uint8_t>((state = state * 1664525u + 1013904223u) >> 24);
    std::vector<std::uint8_t> jpeg;
    t_failAllocationsFrom = 100 << 10;  // the vector's first block fits; its growth does not
    const bool encoded = EncodeJpeg(noise, 90, &jpeg);
    t_failAllocationsFrom = SIZE_MAX;
    EXPECT_FALSE(encoded);
    EXPECT_TRUE(jpeg.empty());
    // Nothing was left behind half done: the next encode is whole.
    ASSERT_TRUE(EncodeJpeg(noise, 90, &jpeg));
    EXPECT_GT(jpeg.size(), std::size_t{128} << 10);
    DecodedPixels decoded;
    EXPECT_TRUE(DecodeJpegForBox(jpeg.data(), jpeg.size(), 1024, 1024, 1, &decoded));
}

}  // namespace
