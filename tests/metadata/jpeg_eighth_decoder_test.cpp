// The eighth-size JPEG decoder of the album's thumbnails: its pictures against what another
// decoder's full decode averages to, in every shape it takes; what it refuses; real camera
// files; damaged data.

#include "metadata/jpeg_eighth_decoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "tests/metadata/metadata_test_data.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

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

// An ASCII PPM ("P3") as make_shapes.sh writes it.
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

TEST(JpegEighthDecoderTest, EveryShapeGivesTheBlockMeansOfAFullDecode)
{
    for (const char* name : {"s420", "s422", "s440", "s444", "grey", "restart"}) {
        const Bytes jpeg = Shape(std::string(name) + ".jpg");
        const Picture expected = ReadPpm(Shape(std::string(name) + ".eighth.ppm"));
        EighthImage image;
        ASSERT_TRUE(DecodeJpegEighth(jpeg.data(), jpeg.size(), &image)) << name;
        ASSERT_EQ(image.width, 33u) << name;  // 264 / 8
        ASSERT_EQ(image.height, 25u) << name;  // 200 / 8
        ASSERT_EQ(image.stride % 4, 0u);
        ASSERT_EQ(image.bgr.size(), std::size_t{image.stride} * image.height);
        // The full decode rounds each pixel and smooths the chroma before averaging (over
        // half a chroma block where the chroma is sampled once per 2 x 2 blocks); a block's
        // mean from its DC coefficient differs by a few levels at most.
        int worst = 0;
        for (unsigned y = 0; y < image.height; ++y) {
            for (unsigned x = 0; x < image.width; ++x) {
                const std::uint8_t* got = image.bgr.data() + y * image.stride + 3 * x;
                const int* want = expected.rgb.data() + 3 * (y * expected.width + x);
                for (int c = 0; c < 3; ++c)
                    worst = std::max(worst, std::abs(got[2 - c] - want[c]));
            }
        }
        EXPECT_LE(worst, 10) << name;
    }
}

TEST(JpegEighthDecoderTest, WhatItDoesNotTakeIsRefused)
{
    for (const char* name : {"progressive.jpg", "arithmetic.jpg", "cmyk.jpg"}) {
        const Bytes jpeg = Shape(name);
        EighthImage image;
        EXPECT_FALSE(DecodeJpegEighth(jpeg.data(), jpeg.size(), &image)) << name;
        EXPECT_TRUE(image.bgr.empty());
    }
    // Not a JPEG, and nothing at all.
    const Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    EighthImage image;
    EXPECT_FALSE(DecodeJpegEighth(png.data(), png.size(), &image));
    EXPECT_FALSE(DecodeJpegEighth(nullptr, 0, &image));
}

TEST(JpegEighthDecoderTest, RealCameraFilesDecodeAtTheirEighth)
{
    const struct {
        const char* name;
        unsigned width, height;
    } files[] = {{"jpeg/mde_Apple_iPhone_5.jpg", 408, 306},       // 3264 x 2448, 4:2:0
                 {"jpeg/mde_Olympus_PEN_E-P3.jpg", 160, 120},     // 1280 x 960, 4:2:2
                 {"jpeg/ianare_Panasonic_DMC-FZ30.jpg", 13, 10},  // 100 x 75, 4:4:0
                 {"jpeg/mde_Nikon_D5000.jpg", 108, 72}};           // 858 x 570, 4:4:4
    for (const auto& file : files) {
        const Bytes jpeg = ReadWholeFile(RealTestFile(file.name));
        EighthImage image;
        ASSERT_TRUE(DecodeJpegEighth(jpeg.data(), jpeg.size(), &image)) << file.name;
        EXPECT_EQ(image.width, file.width) << file.name;
        EXPECT_EQ(image.height, file.height) << file.name;
    }
    // A progressive file from a camera set goes to the full decoder.
    const Bytes progressive = ReadWholeFile(RealTestFile("jpeg/mde_Issue_609.jpg"));
    EighthImage image;
    EXPECT_FALSE(DecodeJpegEighth(progressive.data(), progressive.size(), &image));
}

TEST(JpegEighthDecoderTest, DamagedDataIsRefusedNeverReadPast)
{
    const Bytes whole = Shape("restart.jpg");
    // Cut anywhere: a header that runs short, a scan that stops early.
    for (std::size_t cut = 0; cut < whole.size(); cut += 7) {
        const Bytes cutShort(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
        EighthImage image;
        if (DecodeJpegEighth(cutShort.data(), cutShort.size(), &image)) {
            EXPECT_EQ(image.bgr.size(), std::size_t{image.stride} * image.height) << cut;
        }
    }
    // A scan of 0xFF fill, as erased flash reads: refused, not decoded as grey.
    Bytes erased(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() / 3));
    erased.resize(whole.size(), 0xFF);
    EighthImage image;
    EXPECT_FALSE(DecodeJpegEighth(erased.data(), erased.size(), &image));
    // Huffman tables whose codes overflow their lengths, as the fuzzer found them: the lookup of
    // short codes must never be written past its end.
    for (const char* found : {"huffman-codes-overflow-their-length-1", "huffman-codes-overflow-their-length-2"}) {
        const Bytes input = ReadWholeFile(RealTestFile("../../../fuzz/regressions/jpeg_eighth/" + std::string(found)));
        ASSERT_FALSE(input.empty()) << found;
        EXPECT_FALSE(DecodeJpegEighth(input.data(), input.size(), &image)) << found;
    }
    // Huffman code counts that overflow their lengths.
    Bytes badTable = Shape("s420.jpg");
    for (std::size_t at = 0; at + 20 < badTable.size(); ++at) {
        if (badTable[at] == 0xFF && badTable[at + 1] == 0xC4) {
            badTable[at + 5] = 0xFF;  // 255 codes of length 1
            break;
        }
    }
    EXPECT_FALSE(DecodeJpegEighth(badTable.data(), badTable.size(), &image));
}

}  // namespace
