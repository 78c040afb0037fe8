// The filming time and frame size of movies and a voice memo made by a real muxer, wherever
// their movie box lies, and of movies whose boxes lie: cut short, sizes past the end, 64-bit sizes, gigabytes
// of media data before the movie box (stepped over, never read).

#include "metadata/movie_time_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "metadata/image_facts.h"
#include "metadata/memory_file_reader.h"
#include "tests/metadata/metadata_test_data.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Movie(const std::string& name)
{
    const Bytes bytes = ReadWholeFile(RealTestFile("../movies/" + name));
    EXPECT_FALSE(bytes.empty()) << name;
    return bytes;
}

std::optional<std::uint64_t> CreationTimeOf(const Bytes& bytes)
{
    MemoryFileReader file(bytes.data(), bytes.size());
    return ReadMovieHeaders(file).created;
}

using FrameSize = std::optional<std::pair<std::uint32_t, std::uint32_t>>;

FrameSize FrameSizeOf(const Bytes& bytes)
{
    MemoryFileReader file(bytes.data(), bytes.size());
    return ReadMovieHeaders(file).frameSize;
}

// Seconds since 1904 of a UTC date, as the movie files above store them.
constexpr std::uint64_t Since1904(std::int64_t unixSeconds)
{
    return static_cast<std::uint64_t>(unixSeconds + 2082844800);
}

std::size_t BoxAt(const Bytes& bytes, const char* type)
{
    const auto found = std::search(bytes.begin(), bytes.end(), type, type + 4);
    EXPECT_NE(found, bytes.end()) << type;
    return static_cast<std::size_t>(found - bytes.begin()) - 4;
}

void PutU32(Bytes& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

void PutU64(Bytes& bytes, std::size_t at, std::uint64_t value)
{
    PutU32(bytes, at, static_cast<std::uint32_t>(value >> 32));
    PutU32(bytes, at + 4, static_cast<std::uint32_t>(value));
}

TEST(MovieTimeReaderTest, RealMoviesGiveTheirFilmingTimeAndFrameSizeWhereverTheMovieBoxLies)
{
    const FrameSize square = std::make_pair(16u, 16u);
    const struct {
        const char* name;
        std::uint64_t created;
        FrameSize frame;  // as exiftool reads the video track's header
    } movies[] = {{"mov_moov_last.mov", Since1904(1563096600), square},   // 2019-07-14 09:30:00
                  {"mov_mvhd_v1.mov", Since1904(1563096600), square},     // the same in 64-bit fields
                  {"mp4_moov_first.mp4", Since1904(1640995170), square},  // 2021-12-31 23:59:30
                  {"phone.3gp", Since1904(1520139967), std::make_pair(176u, 144u)},  // 2018-03-04 05:06:07
                  {"voice_memo.m4a", Since1904(1683356889), std::nullopt},  // 2023-05-06 07:08:09, sound alone
                  {"mp4_no_time.mp4", 0, square}};
    for (const auto& movie : movies) {
        const Bytes bytes = Movie(movie.name);
        EXPECT_EQ(CreationTimeOf(bytes), std::optional<std::uint64_t>(movie.created)) << movie.name;
        EXPECT_EQ(FrameSizeOf(bytes), movie.frame) << movie.name;

        const ScratchFile file(bytes, ".mov");
        ImageFacts facts;
        std::string error;
        ASSERT_TRUE(ReadImageFacts(file.Path(), &facts, &error)) << error;
        EXPECT_EQ(facts.format, ImageFormat::kMovie) << movie.name;
        EXPECT_STREQ(ImageFormatName(facts.format), "movie");
        EXPECT_EQ(facts.movieCreated, std::optional<std::uint64_t>(movie.created)) << movie.name;
        EXPECT_EQ(facts.pixelSize, movie.frame) << movie.name;
        EXPECT_FALSE(facts.exif);
    }
}

// A phone records portrait as landscape frames that its track's matrix turns a quarter: the
// frame is as tall as a player shows it. Other matrices (a half turn, a mirror) keep the size.
TEST(MovieTimeReaderTest, ATrackTurnedAQuarterIsAsTallAsItIsShown)
{
    const Bytes phone = Movie("phone.3gp");
    const std::size_t matrix = BoxAt(phone, "tkhd") + 8 + 4 + 20 + 16;
    ASSERT_EQ(phone[BoxAt(phone, "tkhd") + 8], 0);  // version 0
    const std::int32_t one = 1 << 16;
    const struct {
        std::int32_t a, b, c, d;
        FrameSize frame;
    } turns[] = {{0, one, -one, 0, std::make_pair(144u, 176u)},   // 90 degrees clockwise
                 {0, -one, one, 0, std::make_pair(144u, 176u)},   // 270
                 {-one, 0, 0, -one, std::make_pair(176u, 144u)}}; // 180
    for (const auto& turn : turns) {
        Bytes turned = phone;
        PutU32(turned, matrix, static_cast<std::uint32_t>(turn.a));
        PutU32(turned, matrix + 4, static_cast<std::uint32_t>(turn.b));
        PutU32(turned, matrix + 12, static_cast<std::uint32_t>(turn.c));
        PutU32(turned, matrix + 16, static_cast<std::uint32_t>(turn.d));
        EXPECT_EQ(FrameSizeOf(turned), turn.frame) << turn.a << " " << turn.b;
    }
    // A track header cut before its size, or of no size, gives none; the time is still read.
    Bytes cut = phone;
    PutU32(cut, BoxAt(cut, "tkhd"), 8 + 80);
    EXPECT_FALSE(FrameSizeOf(cut));
    Bytes empty = phone;
    PutU32(empty, matrix + 36, 0);
    EXPECT_FALSE(FrameSizeOf(empty));
    EXPECT_EQ(CreationTimeOf(empty), std::optional<std::uint64_t>(Since1904(1520139967)));
}

TEST(MovieTimeReaderTest, OnlyPlausibleTimesCount)
{
    const std::int64_t now = 1796000000;  // late 2026
    EXPECT_EQ(PlausibleMovieTime(Since1904(1563096600), now), std::optional<std::int64_t>(1563096600));
    EXPECT_FALSE(PlausibleMovieTime(0, now));                           // no time given
    EXPECT_FALSE(PlausibleMovieTime(Since1904(631151999), now));        // the last second of 1989
    EXPECT_TRUE(PlausibleMovieTime(Since1904(631152000), now));         // 1990 begins
    EXPECT_TRUE(PlausibleMovieTime(Since1904(now + 86400), now));       // a clock a day ahead
    EXPECT_FALSE(PlausibleMovieTime(Since1904(now + 86401), now));
    EXPECT_FALSE(PlausibleMovieTime(UINT64_MAX, now));
}

TEST(MovieTimeReaderTest, BoxesThatLieGiveNoTime)
{
    const Bytes last = Movie("mov_moov_last.mov");
    // Cut inside the movie box: it claims more than the file holds.
    for (const std::size_t cut : {BoxAt(last, "moov") + 4, BoxAt(last, "moov") + 40, BoxAt(last, "mvhd") + 12,
                                  last.size() - 1}) {
        const Bytes cutShort(last.begin(), last.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_FALSE(CreationTimeOf(cutShort)) << cut;
    }
    // A box before the movie box claims to run past the end.
    Bytes pastTheEnd = last;
    PutU32(pastTheEnd, BoxAt(pastTheEnd, "mdat"), 0x7FFFFFF0);
    EXPECT_FALSE(CreationTimeOf(pastTheEnd));
    // A box smaller than its own header.
    Bytes tiny = Movie("mp4_moov_first.mp4");
    PutU32(tiny, BoxAt(tiny, "moov"), 4);
    EXPECT_FALSE(CreationTimeOf(tiny));
    // A movie header of an unknown version.
    Bytes version = Movie("mp4_moov_first.mp4");
    version[BoxAt(version, "mvhd") + 8] = 2;
    EXPECT_FALSE(CreationTimeOf(version));
    // A movie header too short for its creation time.
    Bytes shortHeader = Movie("mp4_moov_first.mp4");
    PutU32(shortHeader, BoxAt(shortHeader, "mvhd"), 8 + 6);
    EXPECT_FALSE(CreationTimeOf(shortHeader));
}

TEST(MovieTimeReaderTest, ASixtyFourBitBoxSizeIsFollowed)
{
    // The muxer leaves an 8-byte "wide" box before "mdat" for just this: widening the media
    // data's size to 64 bits in place.
    Bytes bytes = Movie("mov_moov_last.mov");
    const std::size_t wide = BoxAt(bytes, "wide"), mdat = BoxAt(bytes, "mdat");
    ASSERT_EQ(mdat, wide + 8);
    const std::uint32_t mdatSize = (std::uint32_t{bytes[mdat]} << 24) | (bytes[mdat + 1] << 16) |
                                   (bytes[mdat + 2] << 8) | bytes[mdat + 3];
    PutU32(bytes, wide, 1);
    std::memcpy(&bytes[wide + 4], "mdat", 4);
    PutU64(bytes, wide + 8, mdatSize + 8);
    EXPECT_EQ(CreationTimeOf(bytes), std::optional<std::uint64_t>(Since1904(1563096600)));
}

TEST(MovieTimeReaderTest, AMovieBoxAfterGigabytesOfMediaIsFoundByAFewSmallReads)
{
    const Bytes real = Movie("mov_moov_last.mov");
    const std::size_t mdat = BoxAt(real, "mdat"), moov = BoxAt(real, "moov");
    const std::uint64_t media = 5ull << 30;
    Bytes head(real.begin(), real.begin() + static_cast<std::ptrdiff_t>(mdat));
    const std::size_t header = head.size();
    head.resize(header + 16);
    PutU32(head, header, 1);
    std::memcpy(&head[header + 4], "mdat", 4);
    PutU64(head, header + 8, 16 + media);
    const Bytes tail(real.begin() + static_cast<std::ptrdiff_t>(moov), real.end());
    GappedFile file(head, media, tail);
    const MovieHeaders headers = ReadMovieHeaders(file);
    EXPECT_EQ(headers.created, std::optional<std::uint64_t>(Since1904(1563096600)));
    EXPECT_EQ(headers.frameSize, std::make_pair(16u, 16u));
    // The top-level headers, then the movie box (706 bytes here) in one read for its header and
    // its video track's header and handler.
    EXPECT_LE(file.BytesRead(), 64u + 706u);
}

}  // namespace
