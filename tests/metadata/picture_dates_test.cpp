// The dates inside PNG, WebP and CR3 files (tests/data/pictures/, made by its
// make_pictures.sh; the CR3 is built box by box there, as no camera's CR3 under a free licence
// is to be had), read as the organizer reads them; XMP dates as Exif text; and the same files
// cut, damaged or claiming lengths past their end, which must give no new date and no crash.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <random>
#include <string>

#include "metadata/exif_info.h"
#include "metadata/image_facts.h"
#include "metadata/memory_file_reader.h"
#include "metadata/xmp_dates.h"
#include "tests/metadata/metadata_test_data.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Picture(const std::string& name)
{
    Bytes bytes = ReadWholeFile(RealTestFile("../pictures/" + name));
    EXPECT_FALSE(bytes.empty()) << name;
    return bytes;
}

// The facts of bytes in memory, read from an exact-size copy so that AddressSanitizer catches
// a read one byte past the end.
ImageFacts FactsOf(const Bytes& bytes)
{
    std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[bytes.empty() ? 1 : bytes.size()]);
    std::copy(bytes.begin(), bytes.end(), copy.get());
    ImageFacts facts;
    std::string error;
    EXPECT_TRUE(ReadImageFacts(std::make_unique<MemoryFileReader>(copy.get(), bytes.size()), L"", &facts, &error));
    return facts;
}

std::size_t Find(const Bytes& bytes, const char* text)
{
    const auto found = std::search(bytes.begin(), bytes.end(), text, text + std::strlen(text));
    EXPECT_NE(found, bytes.end()) << text;
    return static_cast<std::size_t>(found - bytes.begin());
}

void PutBigEndian32(Bytes& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

void PutLittleEndian32(Bytes& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

const char* const kPictures[] = {"exif.png",        "exif_after_image.png", "xmp.png",    "xmp_beside_exif.png",
                                 "xmp_compressed.png", "exif.webp",         "exif_marker.webp", "canon.cr3"};

TEST(PictureDatesTest, EachFileGivesTheDateInside)
{
    const struct {
        const char* name;
        ImageFormat format;
        bool exif;
        std::optional<std::string> original, plain;
        std::optional<std::uint16_t> orientation;
        std::optional<std::pair<double, double>> gps;
    } pictures[] = {
        {"exif.png", ImageFormat::kPng, true, "2023:04:20 10:11:12", "2023:04:21 08:00:00", 6,
         std::make_pair(35.681236, 139.767125)},
        {"exif_after_image.png", ImageFormat::kPng, true, "2021:06:07 08:09:10", {}, {}, {}},
        // XMP dates, their fraction and zone dropped.
        {"xmp.png", ImageFormat::kPng, false, "2023:04:20 10:11:12", {}, {}, {}},
        {"xmp_beside_exif.png", ImageFormat::kPng, true, "2020:02:29 23:59:58", {}, 8, {}},
        {"xmp_compressed.png", ImageFormat::kPng, false, {}, {}, {}, {}},
        {"exif.webp", ImageFormat::kWebp, true, "2022:11:03 07:08:09", {}, 3, {}},
        {"exif_marker.webp", ImageFormat::kWebp, true, "2022:11:03 07:08:09", {}, 3, {}},
        // DateTimeOriginal from CMT2, not the movie header's time; the rest from CMT1 and CMT4.
        {"canon.cr3", ImageFormat::kCr3, true, "2024:01:02 03:04:05", "2024:01:03 12:00:00", 8,
         std::make_pair(-(33 + 51 / 60.0 + 31.26 / 3600), 151 + 12 / 60.0 + 40.2 / 3600)},
    };
    for (const auto& picture : pictures) {
        SCOPED_TRACE(picture.name);
        ImageFacts facts;
        std::string error;
        ASSERT_TRUE(ReadImageFacts(RealTestFile(std::string("../pictures/") + picture.name), &facts, &error)) << error;
        EXPECT_EQ(facts.format, picture.format);
        EXPECT_EQ(facts.exif, picture.exif);
        EXPECT_EQ(facts.dateTimeOriginal, picture.original);
        EXPECT_EQ(facts.dateTime, picture.plain);
        EXPECT_EQ(facts.orientation, picture.orientation);
        ASSERT_EQ(facts.gps.has_value(), picture.gps.has_value());
        if (facts.gps) {
            EXPECT_NEAR(facts.gps->first, picture.gps->first, 1e-6);
            EXPECT_NEAR(facts.gps->second, picture.gps->second, 1e-6);
        }
        EXPECT_FALSE(facts.movieCreated);
        // The capture time is the one the date text gives, read as local time.
        std::int64_t seconds = 0;
        if (picture.original) {
            ASSERT_TRUE(ExifInfo::LocalTimeOfDateText(*picture.original, &seconds));
            EXPECT_EQ(facts.captureTime, std::optional<std::int64_t>(seconds));
        }
    }
    EXPECT_STREQ(ImageFormatName(ImageFormat::kPng), "png");
    EXPECT_STREQ(ImageFormatName(ImageFormat::kWebp), "webp");
    EXPECT_STREQ(ImageFormatName(ImageFormat::kCr3), "cr3");
}

TEST(PictureDatesTest, XmpDatesBecomeExifText)
{
    const struct {
        const char* date;
        std::optional<std::string> text;
    } dates[] = {
        {"2023-04-20T10:11:12", "2023:04:20 10:11:12"},
        {" 2023-04-20T10:11:12.345+09:00\n", "2023:04:20 10:11:12"},
        {"2023-04-20T10:11:12,5Z", "2023:04:20 10:11:12"},
        {"2023-04-20T23:59:58-0530", "2023:04:20 23:59:58"},
        {"2023-04-20T10:11+09", "2023:04:20 10:11:00"},  // no seconds
        {"2023-04-20", "2023:04:20 00:00:00"},           // a day without a time
        {"2023-04", {}},                                 // no day
        {"2023", {}},
        {"2023:04:20 10:11:12", {}},                     // Exif's form is not XMP's
        {"2023-04-20T10:11:12+9", {}},
        {"2023-04-20T10:11:12.", {}},
        {"2023-04-20T10:11:12 and more", {}},
        {"2023-04-20T1", {}},
        {"", {}},
    };
    for (const auto& date : dates)
        EXPECT_EQ(ExifTextOfXmpDate(date.date), date.text) << date.date;

    const struct {
        const char* packet;
        std::optional<std::string> date;
    } packets[] = {
        {"<rdf:Description exif:DateTimeOriginal='2021-01-02T03:04:05'/>", "2021:01:02 03:04:05"},
        {"<rdf:Description\n xmp:CreateDate = \"2021-01-02T03:04:05Z\"/>", "2021:01:02 03:04:05"},
        {"<photoshop:DateCreated>2021-01-02</photoshop:DateCreated>", "2021:01:02 00:00:00"},
        // DateTimeOriginal before DateCreated before CreateDate, wherever each stands.
        {"<d xmp:CreateDate='2001-01-01T00:00:00' photoshop:DateCreated='2002-02-02T00:00:00'/>"
         "<exif:DateTimeOriginal>2003-03-03T00:00:00</exif:DateTimeOriginal>",
         "2003:03:03 00:00:00"},
        // A property whose value is no date gives way to the next.
        {"<d exif:DateTimeOriginal='yesterday' xmp:CreateDate='2004-04-04T04:04:04'/>", "2004:04:04 04:04:04"},
        // Names inside longer names, in closing tags, or without a value are not the property.
        {"<d xmp:CreateDateX='2005-05-05' myxmp:CreateDate='2005-05-05'/></xmp:CreateDate>", {}},
        {"<d xmp:CreateDate/><xmp:CreateDate", {}},
        {"<d xmp:CreateDate='2006-06-06", {}},
        {"<xmp:CreateDate>2006-06-06", {}},
        {"", {}},
    };
    for (const auto& packet : packets)
        EXPECT_EQ(XmpCaptureDate(packet.packet), packet.date) << packet.packet;
}

// What a part of a file says is what the whole file says, or nothing.
void ExpectNothingNew(const ImageFacts& part, const ImageFacts& whole, const std::string& what)
{
    if (part.dateTimeOriginal) {
        EXPECT_EQ(part.dateTimeOriginal, whole.dateTimeOriginal) << what;
    }
    if (part.orientation) {
        EXPECT_EQ(part.orientation, whole.orientation) << what;
    }
    if (part.captureTime) {
        EXPECT_EQ(part.captureTime, whole.captureTime) << what;
    }
}

TEST(PictureDatesTest, FilesCutShortOrMutatedGiveNoNewDate)
{
    std::mt19937 random(20261210);
    for (const char* name : kPictures) {
        const Bytes file = Picture(name);
        const ImageFacts whole = FactsOf(file);
        for (std::size_t length = 0; length < file.size(); ++length)
            ExpectNothingNew(FactsOf(Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(length))), whole,
                             std::string(name) + " cut at " + std::to_string(length));
        for (int round = 0; round < 300; ++round) {
            Bytes mutated = file;
            for (int flips = 1 + static_cast<int>(random() % 4); flips > 0; --flips)
                mutated[random() % mutated.size()] = static_cast<std::uint8_t>(random());
            FactsOf(mutated);
        }
    }
}

TEST(PictureDatesTest, LengthsPastTheEndGiveNoDate)
{
    // PNG: the eXIf or XMP chunk, or a chunk before it, claims more than the file holds.
    const std::pair<const char*, const char*> pngChunks[] = {
        {"exif.png", "eXIf"}, {"exif.png", "IHDR"}, {"xmp.png", "iTXt"}, {"xmp.png", "IHDR"}};
    for (const auto& [name, chunk] : pngChunks) {
        Bytes file = Picture(name);
        const std::size_t at = Find(file, chunk);
        for (const std::uint32_t length : {0xFFFFFFFFu, 0x7FFFFFFFu, static_cast<std::uint32_t>(file.size())}) {
            PutBigEndian32(file, at - 4, length);
            EXPECT_FALSE(FactsOf(file).dateTimeOriginal) << name << " " << chunk << " " << length;
        }
    }

    // WebP: the EXIF chunk, or the image's chunk before it, claims more than the file holds.
    for (const char* chunk : {"EXIF", "VP8L"}) {
        for (const std::uint32_t length : {0xFFFFFFFFu, 0xFFFFFFFEu, 0x80000000u}) {
            Bytes file = Picture("exif.webp");
            PutLittleEndian32(file, Find(file, chunk) + 4, length);
            EXPECT_FALSE(FactsOf(file).dateTimeOriginal) << chunk << " " << length;
        }
    }
    // A container that claims more than the file holds is walked as far as the file goes.
    Bytes riff = Picture("exif.webp");
    PutLittleEndian32(riff, 4, 0xFFFFFFFF);
    EXPECT_EQ(FactsOf(riff).dateTimeOriginal, "2022:11:03 07:08:09");

    // CR3: the box of the Exif directory, Canon's box or the movie box runs past its parent,
    // or Canon's box is not Canon's.
    for (const char* box : {"CMT2", "uuid", "moov"}) {
        Bytes file = Picture("canon.cr3");
        PutBigEndian32(file, Find(file, box) - 4, 0xFFFFFFF0);
        EXPECT_FALSE(FactsOf(file).dateTimeOriginal) << box;
    }
    Bytes otherUuid = Picture("canon.cr3");
    otherUuid[Find(otherUuid, "uuid") + 4] ^= 1;
    const ImageFacts other = FactsOf(otherUuid);
    EXPECT_FALSE(other.exif);
    EXPECT_FALSE(other.dateTimeOriginal);
}

TEST(PictureDatesTest, ImageDataIsSteppedOverUnread)
{
    // exif_after_image.png with an image data chunk of 2 GiB before its eXIf chunk.
    const Bytes file = Picture("exif_after_image.png");
    const std::size_t idat = Find(file, "IDAT") - 4;
    const std::uint32_t length = 0x7FFFFFF0;
    Bytes head(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(idat + 8));
    PutBigEndian32(head, idat, length);
    const std::size_t idatEnd = idat + 8 + ((std::size_t{file[idat]} << 24) | (file[idat + 1] << 16) |
                                            (file[idat + 2] << 8) | file[idat + 3]) + 4;
    const Bytes tail(file.begin() + static_cast<std::ptrdiff_t>(idatEnd), file.end());
    ImageFacts facts;
    std::string error;
    ASSERT_TRUE(ReadImageFacts(std::make_unique<GappedFile>(head, length + 4, tail), L"", &facts, &error));
    EXPECT_EQ(facts.dateTimeOriginal, "2021:06:07 08:09:10");
    EXPECT_LE(facts.bytesRead, file.size());
}

}  // namespace
