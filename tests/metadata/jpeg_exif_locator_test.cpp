#include "metadata/jpeg_exif_locator.h"

#include <gtest/gtest.h>

#include "tests/metadata/exif_block_builder.h"
#include "tests/metadata/metadata_test_data.h"

namespace {

Bytes Segment(std::uint8_t marker, const Bytes& payload)
{
    Bytes out{0xFF, marker, std::uint8_t((payload.size() + 2) >> 8), std::uint8_t(payload.size() + 2)};
    for (std::uint8_t b : payload)
        out.push_back(b);
    return out;
}

Bytes Jpeg(std::initializer_list<Bytes> segments)
{
    Bytes out{0xFF, 0xD8};
    for (const Bytes& segment : segments)
        out.insert(out.end(), segment.begin(), segment.end());
    return out;
}

const Bytes kExifPayload = WithExifMarker(
    ExifBlockBuilder().Ascii(ExifBlockBuilder::kExif, 0x9003, "2022:02:22 22:22:22").Build());
const Bytes kScan{0xFF, 0xDA, 0x00, 0x02, 0x11, 0x22, 0x33, 0xFF, 0xD9};

bool Locate(const Bytes& file, Bytes* segment)
{
    ScratchFile scratch(file, ".jpg");
    std::unique_ptr<FileReader> reader = FileReader::Open(scratch.Path());
    return reader && LocateJpegExif(*reader, segment);
}

TEST(JpegExifLocatorTest, TakesTheFirstExifSegmentBeforeTheScan)
{
    Bytes segment;
    const Bytes jfif = Segment(0xE0, Bytes{'J', 'F', 'I', 'F', 0, 1, 1});
    const Bytes xmp = Segment(0xE1, Bytes{'h', 't', 't', 'p', ':', '/', '/'});
    Bytes second = kExifPayload;
    second.back() ^= 0xFF;
    ASSERT_TRUE(Locate(Jpeg({jfif, xmp, Segment(0xE1, kExifPayload), Segment(0xE1, second), kScan}),
                       &segment));
    EXPECT_EQ(segment, kExifPayload);
}

TEST(JpegExifLocatorTest, FillBytesAndStandaloneMarkersAreStepped)
{
    Bytes segment;
    Bytes file{0xFF, 0xD8, 0xFF, 0xFF, 0xFF};  // fill bytes before the next marker
    const Bytes exif = Segment(0xE1, kExifPayload);
    file.insert(file.end(), exif.begin() + 1, exif.end());
    ASSERT_TRUE(Locate(file, &segment));
    EXPECT_EQ(segment, kExifPayload);
}

TEST(JpegExifLocatorTest, NoExifBeforeTheImageData)
{
    Bytes segment;
    EXPECT_FALSE(Locate(Jpeg({Segment(0xE0, Bytes(14, 1)), kScan, Segment(0xE1, kExifPayload)}), &segment));
    EXPECT_FALSE(Locate(Jpeg({Segment(0xE1, Bytes{'E', 'x', 'i', 'f', 0, 1, 2})}), &segment));
    EXPECT_FALSE(Locate(Bytes{0xFF, 0xD8}, &segment));
    EXPECT_FALSE(Locate(Bytes{0x89, 'P', 'N', 'G'}, &segment));
    EXPECT_FALSE(Locate(Bytes{}, &segment));
    EXPECT_TRUE(segment.empty());
}

TEST(JpegExifLocatorTest, LengthsThatLieEndTheWalk)
{
    Bytes segment;
    Bytes shortLength = Jpeg({Segment(0xE1, kExifPayload)});
    shortLength[4] = 0;
    shortLength[5] = 1;  // below the two bytes of the length itself
    EXPECT_FALSE(Locate(shortLength, &segment));
    Bytes pastEnd = Jpeg({Segment(0xE1, kExifPayload)});
    pastEnd[4] = 0xFF;   // the segment claims more bytes than the file has
    EXPECT_FALSE(Locate(pastEnd, &segment));
    EXPECT_TRUE(segment.empty());
}

TEST(JpegExifLocatorTest, ReadsOnlyTheHeadOfALargeFile)
{
    Bytes file = Jpeg({Segment(0xE0, Bytes(14, 1)), Segment(0xE1, kExifPayload), kScan});
    file.insert(file.end() - 2, 8 << 20, 0x55);  // 8 MiB of "image data"
    ScratchFile scratch(file, ".jpg");
    std::unique_ptr<FileReader> reader = FileReader::Open(scratch.Path());
    ASSERT_TRUE(reader);
    Bytes segment;
    ASSERT_TRUE(LocateJpegExif(*reader, &segment));
    EXPECT_LE(reader->BytesRead(), 8192u);
}

}  // namespace
