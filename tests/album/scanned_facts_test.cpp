// What the album's scan read, kept for the next build: it comes back only for unchanged files,
// a damaged list is never used, and the dates are still decided afresh every build.

#include "album/scanned_facts.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <random>

#include "album/album_build.h"
#include "album/cache_bytes.h"
#include "album/thumbnail_cache.h"
#include "base/read_counters.h"
#include "tests/album/album_test_files.h"
#include "tests/metadata/metadata_test_data.h"
#include "tests/organize/organize_fixture.h"

namespace {

ImageFacts EveryFact()
{
    ImageFacts facts;
    facts.format = ImageFormat::kHeif;
    facts.exif = true;
    facts.dateTimeOriginal = std::string("2024:05:01 10:00:00\0x\xff", 22);  // as stored
    facts.dateTime = "";
    facts.orientation = 6;
    facts.gps = std::make_pair(-33.8567844, 151.2152967);
    facts.captureTime = -86400;
    facts.movieCreated = 3'600'000'000ull;
    facts.make = "Apple";
    facts.model = "iPhone 11 Pro Max";
    facts.exposureTime = ExifRational{1, 391};
    facts.fNumber = ExifRational{9, 5};
    facts.isoSpeed = 32;
    facts.focalLength = ExifRational{17, 4};
    facts.focalLength35mm = 26;
    facts.pixelSize = std::make_pair(4032u, 3024u);
    return facts;
}

// A list of three files: one with every fact, one that is no picture, one movie.
std::vector<std::uint8_t> ListOfThree()
{
    ScannedFacts facts(L"Z:\\no-such-folder");
    facts.Record(L"2024\\写真.heic", 1234, 5678, EveryFact());
    facts.Record(L"2024\\notes.txt", 10, 20, ImageFacts{});
    ImageFacts movie;
    movie.format = ImageFormat::kMovie;
    movie.movieCreated = 1;
    facts.Record(L"2019\\MOV_0001.MOV", 30, 40, movie);
    return facts.Serialize();
}

TEST(ScannedFactsTest, WhatWasReadComesBackForUnchangedFilesOnly)
{
    ScannedFacts facts(L"Z:\\no-such-folder");
    ASSERT_TRUE(facts.Parse(ListOfThree()));

    const auto heif = facts.Find(L"2024\\写真.heic", 1234, 5678);
    ASSERT_TRUE(heif);
    const ImageFacts& read = *heif;
    const ImageFacts wanted = EveryFact();
    EXPECT_EQ(read.format, wanted.format);
    EXPECT_TRUE(read.exif);
    EXPECT_EQ(read.dateTimeOriginal, wanted.dateTimeOriginal);
    EXPECT_EQ(read.dateTime, wanted.dateTime);
    EXPECT_EQ(read.orientation, wanted.orientation);
    EXPECT_EQ(read.gps, wanted.gps);
    EXPECT_EQ(read.captureTime, wanted.captureTime);
    EXPECT_EQ(read.movieCreated, wanted.movieCreated);
    EXPECT_EQ(read.make, wanted.make);
    EXPECT_EQ(read.model, wanted.model);
    EXPECT_EQ(read.exposureTime, wanted.exposureTime);
    EXPECT_EQ(read.fNumber, wanted.fNumber);
    EXPECT_EQ(read.isoSpeed, wanted.isoSpeed);
    EXPECT_EQ(read.focalLength, wanted.focalLength);
    EXPECT_EQ(read.focalLength35mm, wanted.focalLength35mm);
    EXPECT_EQ(read.pixelSize, wanted.pixelSize);

    const auto text = facts.Find(L"2024\\notes.txt", 10, 20);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->format, ImageFormat::kOther);
    EXPECT_FALSE(text->exif);
    const auto movie = facts.Find(L"2019\\MOV_0001.MOV", 30, 40);
    ASSERT_TRUE(movie);
    EXPECT_EQ(movie->format, ImageFormat::kMovie);
    EXPECT_EQ(movie->movieCreated, 1u);
    EXPECT_FALSE(movie->orientation);
    EXPECT_FALSE(movie->make);
    EXPECT_FALSE(movie->pixelSize);

    // A list an earlier version of the program wrote, whole and sealed, is not read: its
    // files are read again, never taken for facts they do not hold.
    std::vector<std::uint8_t> older = ListOfThree();
    older.resize(older.size() - 8);
    older[4] = 1;
    PutLittle(older, Fnv1a(older.data(), older.size()), 8);
    ScannedFacts earlier(L"Z:\\no-such-folder");
    EXPECT_FALSE(earlier.Parse(older));

    // Changed since, or never read: nothing.
    EXPECT_FALSE(facts.Find(L"2024\\写真.heic", 1235, 5678));
    EXPECT_FALSE(facts.Find(L"2024\\写真.heic", 1234, 5679));
    EXPECT_FALSE(facts.Find(L"2024\\other.jpg", 1234, 5678));

    // The next list holds what this build found, and nothing it did not.
    ScannedFacts next(L"Z:\\no-such-folder");
    ASSERT_TRUE(next.Parse(facts.Serialize()));
    EXPECT_TRUE(next.Find(L"2024\\notes.txt", 10, 20));
    ScannedFacts after(L"Z:\\no-such-folder");
    ASSERT_TRUE(after.Parse(next.Serialize()));
    EXPECT_FALSE(after.Find(L"2019\\MOV_0001.MOV", 30, 40));  // not found by the build before
}

// Every cut, every flipped byte, and every byte changed with the checksum made to match:
// never used wrongly, never read past its end.
TEST(ScannedFactsTest, AListCutShortOrAlteredIsNotUsed)
{
    const std::vector<std::uint8_t> whole = ListOfThree();
    for (std::size_t size = 0; size < whole.size(); ++size) {
        ScannedFacts facts(L"Z:\\no-such-folder");
        EXPECT_FALSE(facts.Parse(std::vector<std::uint8_t>(whole.begin(), whole.begin() + size))) << size;
    }
    std::mt19937 random(7);
    for (std::size_t at = 0; at + 8 < whole.size(); ++at) {
        std::vector<std::uint8_t> flipped = whole;
        flipped[at] ^= 0x10;
        ScannedFacts facts(L"Z:\\no-such-folder");
        EXPECT_FALSE(facts.Parse(flipped)) << at;

        // Altered by someone who knows the checksum: it may parse, but no field runs past the
        // list, and a huge count or length is refused.
        for (const std::uint8_t value : {std::uint8_t{0}, std::uint8_t{0xFF}, static_cast<std::uint8_t>(random())}) {
            std::vector<std::uint8_t> altered(whole.begin(), whole.end() - 8);
            altered[at] = value;
            PutLittle(altered, Fnv1a(altered.data(), altered.size()), 8);
            ScannedFacts sealed(L"Z:\\no-such-folder");
            sealed.Parse(altered);
        }
    }
    std::vector<std::uint8_t> hugeCount(whole.begin(), whole.end() - 8);
    hugeCount[8] = hugeCount[9] = hugeCount[10] = hugeCount[11] = 0xFF;
    PutLittle(hugeCount, Fnv1a(hugeCount.data(), hugeCount.size()), 8);
    ScannedFacts facts(L"Z:\\no-such-folder");
    EXPECT_FALSE(facts.Parse(hugeCount));
    EXPECT_FALSE(facts.Find(L"2024\\notes.txt", 10, 20));
}

// Lists that hold more files than any album has are refused whole, before they take the
// memory their entries would.
TEST(ScannedFactsTest, ListsPastTheirLimitsAreRefused)
{
    const std::uint64_t files = cache_limits::kMaxListedFiles + 1;
    std::vector<std::uint8_t> facts;
    PutLittle(facts, 0x4653534B, 4);
    PutLittle(facts, 3, 4);  // the list's version
    PutLittle(facts, files, 4);
    for (std::uint64_t i = 0; i < files; ++i) {
        PutLittle(facts, 2, 4);  // a path of two units
        PutLittle(facts, 0x30 + (i & 0x3F), 2);
        PutLittle(facts, 0x30 + ((i >> 6) & 0x3F), 2);
        PutLittle(facts, i, 8);
        PutLittle(facts, i, 8);
        facts.insert(facts.end(), 16, 0);  // no facts at all: 40 bytes a file
    }
    PutLittle(facts, Fnv1a(facts.data(), facts.size()), 8);
    cache_formats::ScannedList scanned;
    EXPECT_FALSE(cache_formats::ParseScannedList(facts.data(), facts.size(), &scanned));
    EXPECT_TRUE(scanned.empty());
    // The same list one file shorter is a list.
    facts.resize(facts.size() - 8 - 40);
    facts[8] = static_cast<std::uint8_t>(files - 1), facts[9] = static_cast<std::uint8_t>((files - 1) >> 8);
    facts[10] = static_cast<std::uint8_t>((files - 1) >> 16);
    PutLittle(facts, Fnv1a(facts.data(), facts.size()), 8);
    EXPECT_TRUE(cache_formats::ParseScannedList(facts.data(), facts.size(), &scanned));

    std::string thumbnails = "kasumiro thumbnail files 1\n";
    for (std::uint64_t i = 0; i < files; ++i)
        thumbnails += "e\t1\t1\t" + std::to_string(i) + "\n";
    cache_formats::ThumbnailList listed;
    EXPECT_FALSE(cache_formats::ParseThumbnailList(reinterpret_cast<const std::uint8_t*>(thumbnails.data()),
                                                   thumbnails.size(), &listed));
    EXPECT_TRUE(listed.empty());
}

class AlbumScanMemoryTest : public OrganizeFixture {
protected:
    void SetUp() override
    {
        OrganizeFixture::SetUp();
        CreateDirectoryW(output_.c_str(), nullptr);
    }
    bool HasPage(const std::wstring& relative) const
    {
        return GetFileAttributesW((output_ + L"\\PhotoAlbum\\" + relative).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    // Builds the album; returns the files opened to be read for it.
    std::uint64_t Build(const CaptureDateRules& rules = {})
    {
        RecordingProgress progress;
        g_ReadCounters.Clear();
        EXPECT_EQ(BuildPhotoAlbum(progress, output_, true, L"", rules, 2).status, kStatusOk);
        return g_ReadCounters.opens;
    }
};

TEST_F(AlbumScanMemoryTest, UnchangedFilesAreNotOpenedAgainButTheirDatesAreDecidedAfresh)
{
    PhotoFacts may;
    may.dateTimeOriginal = "2024:05:01 10:00:00";
    MakeFile(output_ + L"\\2024\\a.jpg", PhotoJpeg(400, 300, may));
    MakeFile(output_ + L"\\2024\\b.jpg", PhotoJpeg(400, 300, may));
    const std::wstring movie =
        MakeFile(output_ + L"\\2019\\MOV_0001.MOV", ReadWholeFile(RealTestFile("../movies/mov_moov_last.mov")));
    SetLocalLastWrite(movie, 2025, 1, 2, 12, 0, 0);

    EXPECT_EQ(Build(), 4u);  // each file read once, and the movie once more for its poster
    EXPECT_TRUE(HasPage(L"2019\\201907.html"));  // the movie's filming day
    EXPECT_TRUE(HasPage(L"2024\\202405.html"));

    // Nothing read again, but the rules of this build decide: the movie by its last write.
    CaptureDateRules lastWrite;
    lastWrite.movieDateFromFile = false;
    EXPECT_EQ(Build(lastWrite), 0u);
    EXPECT_FALSE(HasPage(L"2019\\201907.html"));
    EXPECT_TRUE(HasPage(L"2025\\202501.html"));

    // A changed picture is read again, and only it.
    PhotoFacts june;
    june.dateTimeOriginal = "2024:06:01 10:00:00";
    MakeFile(output_ + L"\\2024\\b.jpg", PhotoJpeg(400, 300, june));
    EXPECT_EQ(Build(), 1u);
    EXPECT_TRUE(HasPage(L"2024\\202406.html"));
    EXPECT_TRUE(HasPage(L"2019\\201907.html"));

    // A damaged list costs only the reading.
    const std::wstring list = output_ + L"\\" + ThumbnailCache::kFolderName + L"\\" + ScannedFacts::kListName;
    Bytes bytes = ReadBytes(list);
    ASSERT_FALSE(bytes.empty());
    bytes[bytes.size() / 2] ^= 0x01;
    ASSERT_TRUE(WriteBytes(list, bytes));
    EXPECT_EQ(Build(), 3u);
    EXPECT_TRUE(HasPage(L"2024\\202406.html"));
    EXPECT_EQ(Build(), 0u);
}

}  // namespace
