// Inputs built to break a parser: cut short at every byte, mutated at random, pointing
// anywhere. Each must end in a plain answer; the native build runs these under
// AddressSanitizer, which turns any read out of bounds into a failure.

#include <gtest/gtest.h>

#include <random>

#include "metadata/exif_info.h"
#include "metadata/heif_exif_reader.h"
#include "metadata/jpeg_exif_locator.h"
#include "tests/metadata/exif_block_builder.h"
#include "tests/metadata/metadata_test_data.h"

namespace {

// Asks every question, so that each answer's reads are exercised on the mangled block.
void AskEverything(const CExifInfo& info)
{
    std::int64_t time = 0;
    double latitude = 0, longitude = 0;
    std::uint16_t orientation = 0;
    info.GetCaptureTime(&time);
    info.GetGpsPosition(&latitude, &longitude);
    info.GetOrientation(&orientation);
    info.GetDateTimeOriginalText();
    info.GetDateTimeText();
}

void ParseBothWays(const Bytes& block)
{
    // An exact-size heap copy, so that a read one byte past the end is caught.
    std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[block.size() ? block.size() : 1]);
    std::copy(block.begin(), block.end(), copy.get());
    CExifInfo strict, tolerant;
    strict.Load(copy.get(), block.size());
    tolerant.LoadTolerant(copy.get(), block.size());
    AskEverything(strict);
    AskEverything(tolerant);
}

Bytes RealExifBlock(const std::string& relative)
{
    Bytes segment;
    std::unique_ptr<FileReader_CL> file = FileReader_CL::Open(RealTestFile(relative));
    if (file)
        LocateJpegExif(*file, &segment);
    return segment;
}

Bytes RealHeifItem(const std::string& relative)
{
    CHeifExifReader reader;
    reader.LoadFile(RealTestFile(relative));
    return reader.ExtractExif();
}

TEST(HostileInputTest, ExifBlocksCutShortAtEveryByte)
{
    for (const Bytes& block : {RealExifBlock("jpeg/mde_Apple_iPhone_5.jpg"),
                               RealExifBlock("jpeg/sigal_iptcTest_1.jpg"),
                               RealHeifItem("heif/mde_exif-at-eof.heic")}) {
        ASSERT_GT(block.size(), 100u);
        const std::size_t step = block.size() > 4000 ? 7 : 1;
        for (std::size_t length = 0; length <= block.size(); length += step)
            ParseBothWays(Bytes(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(length)));
    }
}

TEST(HostileInputTest, ExifBlocksMutatedAtRandom)
{
    std::mt19937 random(20261208);
    const Bytes seeds[] = {RealExifBlock("jpeg/elodie_with-location.jpg"),
                           RealExifBlock("jpeg/goexif_infinite_loop_exif.jpg"),
                           RealHeifItem("heif/ianare_IMG_5195.HEIC")};
    for (const Bytes& seed : seeds) {
        ASSERT_FALSE(seed.empty());
        for (int round = 0; round < 600; ++round) {
            Bytes block = seed;
            const int flips = 1 + static_cast<int>(random() % 8);
            for (int f = 0; f < flips; ++f)
                block[random() % block.size()] = static_cast<std::uint8_t>(random());
            ParseBothWays(block);
        }
    }
}

TEST(HostileInputTest, EntriesThatPointAnywhere)
{
    using B = ExifBlockBuilder;
    for (std::uint32_t target : {0u, 1u, 7u, 8u, 0x7FFFFFFFu, 0xFFFFFFF0u, 0xFFFFFFFFu}) {
        for (std::uint32_t count : {0u, 1u, 0x20000000u, 0xFFFFFFFFu}) {
            const Bytes block = B()
                                    .Raw(B::kExif, 0x9003, 2, count, target)   // ASCII
                                    .Raw(B::kGps, 2, 5, count, target)         // RATIONAL
                                    .Raw(B::kGps, 4, 10, count, target)        // SRATIONAL
                                    .Raw(B::kIfd0, 0x0112, 3, count, target)   // SHORT
                                    .Raw(B::kIfd0, 0x8825, 4, 1, 8)            // GPS at IFD0
                                    .Build();
            ParseBothWays(block);
            ParseBothWays(WithExifMarker(block));
        }
    }
    // Each sub-directory pointer aimed at IFD0 itself: read once each, no nesting.
    const Bytes selfReferencing = B().Raw(B::kIfd0, 0x8769, 4, 1, 8).Raw(B::kIfd0, 0xA005, 4, 1, 8).Build();
    CExifInfo info;
    EXPECT_TRUE(info.Load(selfReferencing));
}

TEST(HostileInputTest, HeifFilesCutShortAndMutated)
{
    const Bytes file = ReadWholeFile(RealTestFile("heif/elodie_photo.heic"));
    ASSERT_FALSE(file.empty());
    for (std::size_t length = 0; length < file.size(); length += 13) {
        CHeifExifReader reader;
        reader.SetBytes(Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(length)));
        ParseBothWays(reader.ExtractExif());
    }
    std::mt19937 random(7);
    for (int round = 0; round < 400; ++round) {
        Bytes mutated = file;
        // Aim at the head, where the boxes that lead to the item lie.
        const std::size_t head = std::min<std::size_t>(mutated.size(), 1200);
        for (int f = 0; f < 4; ++f)
            mutated[random() % head] = static_cast<std::uint8_t>(random());
        CHeifExifReader reader;
        reader.SetBytes(std::move(mutated));
        ParseBothWays(reader.ExtractExif());
    }
}

TEST(HostileInputTest, JpegFilesCutShort)
{
    const Bytes file = ReadWholeFile(RealTestFile("jpeg/mde_HTC_Desire.jpg"));
    ASSERT_FALSE(file.empty());
    const Bytes head(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(file.size(), 20000)));
    for (std::size_t length = 0; length < head.size(); length += 191) {
        ScratchFile cut(Bytes(head.begin(), head.begin() + static_cast<std::ptrdiff_t>(length)), ".jpg");
        std::unique_ptr<FileReader_CL> reader = FileReader_CL::Open(cut.Path());
        ASSERT_TRUE(reader);
        Bytes segment;
        if (LocateJpegExif(*reader, &segment))
            ParseBothWays(segment);
    }
}

}  // namespace
