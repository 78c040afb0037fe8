#include "metadata/exif_info.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <string>

#include "metadata/exif_parsing_exception.h"
#include "tests/metadata/exif_block_builder.h"

namespace {

using B = ExifBlockBuilder;

// While one lives, local time is Japan's (nine hours ahead of UTC, no summer time), so that a
// capture time read as local time has one right answer, written as seconds since 1970.
class JapanTime {
public:
    JapanTime()
    {
        if (const char* zone = std::getenv("TZ")) {
            saved_ = zone;
            hadZone_ = true;
        }
        Set("JST-9");
    }
    ~JapanTime() { Set(hadZone_ ? saved_.c_str() : ""); }

private:
    static void Set(const char* zone)
    {
#ifdef _WIN32
        _putenv_s("TZ", zone);
        _tzset();
#else
        if (*zone)
            setenv("TZ", zone, 1);
        else
            unsetenv("TZ");
        tzset();
#endif
    }
    std::string saved_;
    bool hadZone_ = false;
};

// 2024-05-01 09:03:07, 2023-12-31 23:59:59 and 2024-03-01 10:00:00 in Japan.
constexpr std::int64_t kMay1At090307 = 1714521787;
constexpr std::int64_t kNewYearsEve235959 = 1704034799;
constexpr std::int64_t kMarch1At100000 = 1709254800;

Bytes PhotoBlock(bool little)
{
    return B(little)
        .Ascii(B::kIfd0, 0x010F, "Canon")
        .Short(B::kIfd0, 0x0112, 6)
        .Ascii(B::kIfd0, 0x0132, "2024:05:02 08:00:00")
        .Ascii(B::kExif, 0x9003, "2024:05:01 09:03:07")
        .Ascii(B::kGps, 1, "S")
        .Rationals(B::kGps, 2, {{35, 1}, {30, 1}, {0, 1}})
        .Ascii(B::kGps, 3, "W")
        .Rationals(B::kGps, 4, {{139, 1}, {45, 1}, {36, 1}})
        .Build();
}

// The reader parses in place: the block must stay alive beside it.
struct HeldBlock {
    Bytes bytes;
    ExifInfo info;
    bool Load(Bytes block)
    {
        bytes = std::move(block);
        return info.Load(bytes);
    }
};

std::int64_t CaptureTime(const Bytes& block)
{
    ExifInfo info;
    EXPECT_TRUE(info.Load(block));
    std::int64_t time = -5;
    return info.GetCaptureTime(&time) ? time : -1;
}

// --- prefixes and headers ------------------------------------------------------------------

TEST(ExifInfoTest, ReadsTheBlockBehindEachKnownPrefix)
{
    const JapanTime japan;
    const Bytes block = PhotoBlock(true);
    const std::int64_t expected = kMay1At090307;
    EXPECT_EQ(CaptureTime(block), expected);                  // TIFF header at byte 0
    EXPECT_EQ(CaptureTime(WithExifMarker(block)), expected);  // at byte 6
    EXPECT_EQ(CaptureTime(AsHeifItem(block)), expected);      // at byte 10

    EXPECT_EQ(ExifInfo::TiffHeaderStart(block.data(), block.size()), 0u);
    const Bytes marked = WithExifMarker(block);
    EXPECT_EQ(ExifInfo::TiffHeaderStart(marked.data(), marked.size()), 6u);
    const Bytes item = AsHeifItem(block);
    EXPECT_EQ(ExifInfo::TiffHeaderStart(item.data(), item.size()), 10u);
}

TEST(ExifInfoTest, HeifItemOffsetLeadsToTheTiffHeader)
{
    const JapanTime japan;
    // Many writers store offset 0 and the TIFF header straight behind the offset field, or
    // leave a gap; the offset says where the header is.
    const Bytes block = PhotoBlock(false);
    Bytes direct{0, 0, 0, 0};
    direct.insert(direct.end(), block.begin(), block.end());
    EXPECT_EQ(ExifInfo::TiffHeaderStart(direct.data(), direct.size()), 4u);
    EXPECT_EQ(CaptureTime(direct), kMay1At090307);

    Bytes gap{0, 0, 0, 3, 'x', 'y', 'z'};
    gap.insert(gap.end(), block.begin(), block.end());
    EXPECT_EQ(ExifInfo::TiffHeaderStart(gap.data(), gap.size()), 7u);

    // An offset that leads past the end or to no header is not followed.
    Bytes far{0xFF, 0xFF, 0xFF, 0xF0};
    far.insert(far.end(), block.begin(), block.end());
    EXPECT_EQ(ExifInfo::TiffHeaderStart(far.data(), far.size()), 0u);
    ExifInfo info;
    EXPECT_FALSE(info.Load(far));
}

TEST(ExifInfoTest, BadHeadersFailTheLoad)
{
    HeldBlock held;
    ExifInfo& info = held.info;
    EXPECT_FALSE(info.Load(Bytes{}.data(), 0));
    EXPECT_FALSE(info.Load(nullptr, 10));
    EXPECT_FALSE(held.Load(Bytes{'I'}));
    EXPECT_FALSE(held.Load(Bytes{'X', 'X', 42, 0, 8, 0, 0, 0}));
    EXPECT_FALSE(held.Load(Bytes{'I', 'I', 43, 0, 8, 0, 0, 0}));
    EXPECT_FALSE(held.Load(Bytes{'I', 'I', 42, 0, 8, 0}));
    EXPECT_FALSE(held.Load(Bytes{'E', 'x', 'i', 'f', 0, 0}));  // nothing behind the marker
    EXPECT_FALSE(info.IsLoaded());
}

TEST(ExifInfoTest, ParserErrorsCarryTheirCodesAndMessages)
{
    auto parseError = [](const Bytes& block) -> std::pair<int, std::string> {
        try {
            TiffDirectoryParser analyzer(block.data(), static_cast<std::uint32_t>(block.size()));
            analyzer.Parse();
        } catch (const ExifParsingException& e) {
            return {e.Code(), e.what()};
        }
        return {0, ""};
    };
    EXPECT_EQ(parseError(Bytes{'I'}),
              std::make_pair(2, std::string("[Data Read Error] Could not read TIFF byte order mark.")));
    EXPECT_EQ(parseError(Bytes{'A', 'B', 42, 0}),
              std::make_pair(1, std::string("[Invalid File Format] Invalid TIFF byte order mark: 0x4241")));
    // Both length checks come before the magic number test.
    EXPECT_EQ(parseError(Bytes{'I', 'I', 43, 0, 8, 0}),
              std::make_pair(2, std::string("[Data Read Error] Could not read TIFF IFD offset.")));
    EXPECT_EQ(parseError(Bytes{'M', 'M', 0, 43, 0, 0, 0, 8}),
              std::make_pair(1, std::string("[Invalid File Format] Invalid TIFF magic number (0x2b, expected 0x2a)")));
    EXPECT_EQ(parseError(Bytes{'I', 'I', 42, 0, 0x10, 0, 0, 0}),
              std::make_pair(3, std::string("[Invalid Offset] Invalid IFD offset (0x10 >= 0x8)")));
    Bytes unknownType = B(true).Raw(B::kIfd0, 0x0131, 13, 1, 0).Build();
    EXPECT_EQ(parseError(unknownType),
              std::make_pair(9, std::string("[Unknown TIFF Type] Unknown TIFF type (0xd) for tag 0x131 at entry index 0")));
    Bytes badPointer = B(true).Raw(B::kIfd0, 0x8769, 4, 1, 0x1000).Build();
    EXPECT_EQ(parseError(badPointer).second,
              "[Invalid Offset] Invalid IFD Pointer offset (0x1000 >= 0x1a) for tag 0x8769 (ExifIFDPointer)");

    try {
        TiffDirectoryParser analyzer(nullptr, 8);
        ADD_FAILURE() << "a null block was accepted";
    } catch (const ExifParsingException& e) {
        EXPECT_EQ(e.Code(), 11);
        EXPECT_STREQ(e.what(), "[Internal Error] CExifAnalize constructor received null data pointer.");
    }
}

TEST(ExifInfoTest, FirstDirectoryOffsetZeroLoadsWithNothingInIt)
{
    HeldBlock held;
    const ExifInfo& info = held.info;
    ASSERT_TRUE(held.Load(Bytes{'I', 'I', 42, 0, 0, 0, 0, 0}));
    std::int64_t time = 7;
    double latitude = 1, longitude = 1;
    EXPECT_FALSE(info.GetCaptureTime(&time));
    EXPECT_EQ(time, 0);
    EXPECT_FALSE(info.GetGpsPosition(&latitude, &longitude));
    EXPECT_EQ(latitude, 0.0);
    EXPECT_EQ(longitude, 0.0);
}

TEST(ExifInfoTest, UnknownTypeAnywhereFailsTheStrictLoad)
{
    for (std::uint16_t type : {std::uint16_t(0), std::uint16_t(13), std::uint16_t(0xFFFF)}) {
        for (auto dir : {B::kIfd0, B::kExif, B::kGps}) {
            const Bytes block = B(true).Ascii(B::kExif, 0x9003, "2024:05:01 09:03:07")
                                    .Raw(dir, 0x0999, type, 1, 0)
                                    .Build();
            ExifInfo info;
            EXPECT_FALSE(info.Load(block)) << "type " << type << " in directory " << dir;
            // The tolerant reader loses only that entry.
            EXPECT_TRUE(info.LoadTolerant(block.data(), block.size()));
            EXPECT_EQ(info.GetDateTimeOriginalText(), "2024:05:01 09:03:07");
        }
    }
}

// --- capture time ----------------------------------------------------------------------

TEST(ExifInfoTest, CaptureTimeFallsBackToDateTimeOnlyWhenOriginalIsMissing)
{
    const JapanTime japan;
    EXPECT_EQ(CaptureTime(B().Ascii(B::kIfd0, 0x0132, "2023:12:31 23:59:59").Build()),
              kNewYearsEve235959);
    // Stored with another type: as if missing.
    EXPECT_EQ(CaptureTime(B().Raw(B::kExif, 0x9003, 7, 20, 0)
                              .Ascii(B::kIfd0, 0x0132, "2023:12:31 23:59:59")
                              .Build()),
              kNewYearsEve235959);
    // Present but only blanks and colons: no date, and no fallback either.
    EXPECT_EQ(CaptureTime(B().Ascii(B::kExif, 0x9003, "    :  :     :  :  ")
                              .Ascii(B::kIfd0, 0x0132, "2023:12:31 23:59:59")
                              .Build()),
              -1);
}

TEST(ExifInfoTest, CaptureTimeNeedsNineteenCharacters)
{
    const JapanTime japan;
    EXPECT_EQ(CaptureTime(B().Ascii(B::kExif, 0x9003, "2024:05:01 09:03:0").Build()), -1);
    // Trailing zero bytes do not count towards the nineteen.
    Bytes withZeros = B().Ascii(B::kExif, 0x9003, std::string("2024:05:01 09:03:0\0\0\0\0", 22)).Build();
    EXPECT_EQ(CaptureTime(withZeros), -1);
    EXPECT_EQ(CaptureTime(B().Ascii(B::kExif, 0x9003, "2024:05:01 09:03:07 extra").Build()),
              kMay1At090307);
}

TEST(ExifInfoTest, CaptureTimeNormalisesImpossibleDays)
{
    const JapanTime japan;
    EXPECT_EQ(CaptureTime(B().Ascii(B::kExif, 0x9003, "2024:02:30 10:00:00").Build()),
              kMarch1At100000);
    // Separators are not looked at; a field without a digit fails.
    EXPECT_EQ(CaptureTime(B().Ascii(B::kExif, 0x9003, "2024-05-01T09.03.07").Build()),
              kMay1At090307);
    EXPECT_EQ(CaptureTime(B().Ascii(B::kExif, 0x9003, "2024:05:01 09:xx:07").Build()), -1);
}

// --- GPS ------------------------------------------------------------------------------

TEST(ExifInfoTest, GpsPositionIsSignedByItsReferences)
{
    HeldBlock held;
    const ExifInfo& info = held.info;
    ASSERT_TRUE(held.Load(PhotoBlock(true)));
    double latitude = 0, longitude = 0;
    ASSERT_TRUE(info.GetGpsPosition(&latitude, &longitude));
    EXPECT_DOUBLE_EQ(latitude, -35.5);
    EXPECT_DOUBLE_EQ(longitude, -(139.0 + 45.0 / 60 + 36.0 / 3600));

    ASSERT_TRUE(held.Load(B().Rationals(B::kGps, 2, {{35, 1}, {30, 1}, {0, 1}})
                              .Rationals(B::kGps, 4, {{1, 2}, {0, 1}, {0, 1}})
                              .Build()));
    ASSERT_TRUE(info.GetGpsPosition(&latitude, &longitude));  // no references: N and E
    EXPECT_DOUBLE_EQ(latitude, 35.5);
    EXPECT_DOUBLE_EQ(longitude, 0.5);
}

TEST(ExifInfoTest, ZeroDenominatorGivesExactlyZero)
{
    HeldBlock held;
    const ExifInfo& info = held.info;
    ASSERT_TRUE(held.Load(B().Ascii(B::kGps, 1, "S")
                              .Rationals(B::kGps, 2, {{35, 1}, {30, 0}, {0, 1}})
                              .Rationals(B::kGps, 4, {{139, 1}, {0, 1}, {0, 1}})
                              .Build()));
    double latitude = 9, longitude = 9;
    ASSERT_TRUE(info.GetGpsPosition(&latitude, &longitude));
    EXPECT_EQ(latitude, 0.0);
    EXPECT_FALSE(std::signbit(latitude));
    EXPECT_EQ(longitude, 139.0);
}

TEST(ExifInfoTest, IncompleteOrMistypedCoordinatesAreNoPosition)
{
    const Bytes twoElements = B().Rationals(B::kGps, 2, {{35, 1}, {30, 1}})
                                  .Rationals(B::kGps, 4, {{139, 1}, {0, 1}, {0, 1}})
                                  .Build();
    const Bytes asShort = B().Raw(B::kGps, 2, 3, 3, 0)
                              .Rationals(B::kGps, 4, {{139, 1}, {0, 1}, {0, 1}})
                              .Build();
    const Bytes asText = B().Ascii(B::kGps, 2, "52,00000,50,00000,34,01180")
                             .Ascii(B::kGps, 4, "4,00000,20,00000,0,00000")
                             .Build();
    for (const Bytes* block : {&twoElements, &asShort, &asText}) {
        ExifInfo info;
        ASSERT_TRUE(info.Load(*block));
        double latitude = 9, longitude = 9;
        EXPECT_FALSE(info.GetGpsPosition(&latitude, &longitude));
        EXPECT_EQ(latitude, 0.0);
        EXPECT_EQ(longitude, 0.0);
    }
}

TEST(ExifInfoTest, GpsRationalReportsWhatIsWrong)
{
    const Bytes block = B().Rationals(B::kGps, 2, {{35, 1}}).Raw(B::kGps, 4, 3, 1, 0).Build();
    TiffDirectoryParser analyzer(block.data(), static_cast<std::uint32_t>(block.size()));
    analyzer.Parse();
    auto message = [&](std::uint16_t tag, int index) -> std::string {
        try {
            analyzer.GetGpsRational(tag, index);
        } catch (const ExifParsingException& e) {
            return e.what();
        }
        return "";
    };
    EXPECT_EQ(message(2, 0), "");
    EXPECT_EQ(message(2, 1), "[Index Out Of Bounds] Index 1 out of bounds for Tag 0x2 (Count: 1).");
    EXPECT_EQ(message(2, -1), "[Index Out Of Bounds] Index -1 out of bounds for Tag 0x2 (Count: 1).");
    EXPECT_EQ(message(4, 0), "[Type Mismatch] Type mismatch for Tag 0x4. Requested size 8, stored type SHORT (3).");
    EXPECT_EQ(message(6, 0), "[Tag Not Found] Tag 0x6 (Base 0x8825) not found in parsed data.");
}

// --- records ----------------------------------------------------------------------------

TEST(ExifInfoTest, MainChainKeepsTheFirstRecordOfATag)
{
    const Bytes block = B().Short(B::kIfd0, 0x0112, 6)
                            .Ascii(B::kIfd0, 0x0132, "2020:01:01 00:00:00")
                            .Short(B::kIfd1, 0x0112, 1)
                            .Ascii(B::kIfd1, 0x0131, "thumbnail writer")
                            .Build();
    ExifInfo info;
    ASSERT_TRUE(info.Load(block));
    std::uint16_t orientation = 0;
    ASSERT_TRUE(info.GetOrientation(&orientation));
    EXPECT_EQ(orientation, 6);  // IFD0 wins over IFD1

    // With none in IFD0, IFD1's counts: the chain shares one base.
    HeldBlock ifd1Only;
    ASSERT_TRUE(ifd1Only.Load(B().Ascii(B::kIfd0, 0x010F, "x").Short(B::kIfd1, 0x0112, 3).Build()));
    ASSERT_TRUE(ifd1Only.info.GetOrientation(&orientation));
    EXPECT_EQ(orientation, 3);
}

TEST(ExifInfoTest, InteroperabilityPointerOpensItsDirectoryOnlyFromTheMainChain)
{
    const Bytes block = B().Ascii(B::kInterop, 0x0001, "R98")
                            .Raw(B::kExif, 0xA005, 4, 1, 8)  // would lead back to IFD0
                            .Build();
    TiffDirectoryParser analyzer(block.data(), static_cast<std::uint32_t>(block.size()));
    analyzer.Parse();
    EXPECT_EQ(analyzer.GetAsciiValue(0xA005, 0x0001), "R98");
    const auto& records = analyzer.Records();
    // Inside the Exif IFD it is an ordinary entry, recorded and not followed.
    ASSERT_EQ(records.count((0x8769u << 16) | 0xA005), 1u);
    EXPECT_EQ(records.count(0xA005), 0u);  // pointer entries themselves are not recorded
}

TEST(ExifInfoTest, BigAndLittleEndianTwinsGiveTheSameAnswers)
{
    const Bytes le = PhotoBlock(true), be = PhotoBlock(false);
    TiffDirectoryParser a(le.data(), static_cast<std::uint32_t>(le.size()));
    TiffDirectoryParser b(be.data(), static_cast<std::uint32_t>(be.size()));
    a.Parse();
    b.Parse();
    ASSERT_EQ(a.Records().size(), b.Records().size());
    for (auto ia = a.Records().begin(), ib = b.Records().begin(); ia != a.Records().end(); ++ia, ++ib) {
        EXPECT_EQ(ia->first, ib->first);
        EXPECT_EQ(ia->second.type, ib->second.type);
        EXPECT_EQ(ia->second.count, ib->second.count);
        EXPECT_EQ(ia->second.valueOffset, ib->second.valueOffset);
    }
    EXPECT_EQ(a.GetGpsRational(4, 2), b.GetGpsRational(4, 2));
    EXPECT_EQ(CaptureTime(le), CaptureTime(be));
    ExifInfo infoA, infoB;
    ASSERT_TRUE(infoA.Load(le));
    ASSERT_TRUE(infoB.Load(be));
    std::uint16_t oa = 0, ob = 0;
    EXPECT_TRUE(infoA.GetOrientation(&oa));
    EXPECT_TRUE(infoB.GetOrientation(&ob));
    EXPECT_EQ(oa, ob);
}

TEST(ExifInfoTest, AsciiValueKeepsInnerZerosAndHighBytes)
{
    const Bytes block = B().Ascii(B::kIfd0, 0x0131, std::string("A\0B\xE9", 4)).Build();
    TiffDirectoryParser analyzer(block.data(), static_cast<std::uint32_t>(block.size()));
    analyzer.Parse();
    EXPECT_EQ(analyzer.GetAsciiValue(0, 0x0131), std::string("A\0B\xE9", 4));
    EXPECT_EQ(analyzer.GetAsciiValue(0, 0x9999), "");
}

// --- loops and hostile chains --------------------------------------------------------------

// IFD0 with one entry whose next link is `next`.
Bytes SingleEntryChain(std::uint32_t next)
{
    return Bytes{'I', 'I', 42, 0, 8, 0, 0, 0,
                 1, 0, 0x0F, 0x01, 2, 0, 2, 0, 0, 0, 'x', 0, 0, 0,
                 std::uint8_t(next), std::uint8_t(next >> 8), std::uint8_t(next >> 16),
                 std::uint8_t(next >> 24)};
}

TEST(ExifInfoTest, MainChainThatLoopsBackFailsStrictAndStopsTolerant)
{
    const Bytes loop = SingleEntryChain(8);  // IFD0 links to itself
    ExifInfo info;
    EXPECT_FALSE(info.Load(loop));
    ASSERT_TRUE(info.LoadTolerant(loop.data(), loop.size()));
    try {
        TiffDirectoryParser analyzer(loop.data(), static_cast<std::uint32_t>(loop.size()));
        analyzer.Parse();
        ADD_FAILURE() << "a looping chain parsed";
    } catch (const ExifParsingException& e) {
        EXPECT_EQ(e.Code(), 3);
    }
}

TEST(ExifInfoTest, TolerantReaderKeepsWhatCameBeforeABrokenDirectory)
{
    // IFD1 lies past the end of the block: strict fails, tolerant keeps IFD0.
    const Bytes broken = SingleEntryChain(0x7FFFFFF0);
    ExifInfo info;
    EXPECT_FALSE(info.Load(broken));
    ASSERT_TRUE(info.LoadTolerant(broken.data(), broken.size()));
    TiffDirectoryParser analyzer(broken.data(), static_cast<std::uint32_t>(broken.size()), ExifParseMode::kTolerant);
    analyzer.Parse();
    EXPECT_EQ(analyzer.GetAsciiValue(0, 0x010F), "x");

    // A sub-directory pointer out of range loses only that directory.
    const Bytes badGps = B().Ascii(B::kExif, 0x9003, "2024:05:01 09:03:07")
                             .Raw(B::kIfd0, 0x8825, 4, 1, 0xFFFFFF)
                             .Build();
    EXPECT_FALSE(info.Load(badGps));
    ASSERT_TRUE(info.LoadTolerant(badGps.data(), badGps.size()));
    EXPECT_EQ(info.GetDateTimeOriginalText(), "2024:05:01 09:03:07");
}

}  // namespace

// --- the camera and the exposure --------------------------------------------------------------

TEST(ExifInfoTest, CameraAndExposureAreReadOnlyWhereTheyAreWhole)
{
    HeldBlock good;
    ASSERT_TRUE(good.Load(B(false)
                              .Ascii(B::kIfd0, 0x010F, std::string("NIKON CORPORATION  \0\0", 21))
                              .Ascii(B::kIfd0, 0x0110, "NIKON D70 ")
                              .Rationals(B::kExif, 0x829A, {{10, 2000}})
                              .Rationals(B::kExif, 0x829D, {{9, 1}}, 10)
                              .Short(B::kExif, 0x8827, 200)
                              .Rationals(B::kExif, 0x920A, {{1000, 10}})
                              .Short(B::kExif, 0xA405, 150)
                              .Build()));
    EXPECT_EQ(good.info.GetMake(), "NIKON CORPORATION");
    EXPECT_EQ(good.info.GetModel(), "NIKON D70");
    ExifRational value;
    ASSERT_TRUE(good.info.GetExposureTime(&value));
    EXPECT_EQ(value, (ExifRational{10, 2000}));
    ASSERT_TRUE(good.info.GetFNumber(&value));  // a non-negative SRATIONAL
    EXPECT_EQ(value, (ExifRational{9, 1}));
    ASSERT_TRUE(good.info.GetFocalLength(&value));
    EXPECT_EQ(value, (ExifRational{1000, 10}));
    std::uint32_t number = 0;
    ASSERT_TRUE(good.info.GetIsoSpeed(&number));
    EXPECT_EQ(number, 200u);
    ASSERT_TRUE(good.info.GetFocalLengthIn35mm(&number));
    EXPECT_EQ(number, 150u);

    // Zero denominators, a negative SRATIONAL, a rational stored as a SHORT, a value field
    // that points past the block, a name longer than any camera's, zeros for "unknown".
    HeldBlock bad;
    bad.bytes = B()
                    .Ascii(B::kIfd0, 0x010F, "   ")
                    .Ascii(B::kIfd0, 0x0110, std::string(200, 'X'))
                    .Rationals(B::kExif, 0x829A, {{1, 0}})
                    .Rationals(B::kExif, 0x829D, {{0xFFFFFFF7u, 1}}, 10)
                    .Short(B::kExif, 0x920A, 35)
                    .Short(B::kExif, 0x8827, 0)
                    .Short(B::kExif, 0xA405, 0)
                    .Build();
    ASSERT_TRUE(bad.info.Load(bad.bytes));
    EXPECT_EQ(bad.info.GetMake(), "");
    EXPECT_EQ(bad.info.GetModel(), "");
    EXPECT_FALSE(bad.info.GetExposureTime(&value));
    EXPECT_FALSE(bad.info.GetFNumber(&value));
    EXPECT_FALSE(bad.info.GetFocalLength(&value));
    EXPECT_FALSE(bad.info.GetIsoSpeed(&number));
    EXPECT_FALSE(bad.info.GetFocalLengthIn35mm(&number));

    // A focal length whose eight bytes would lie past the block's end.
    Bytes cut = B().Raw(B::kExif, 0x920A, 5, 1, 0xFFFFFFF0u).Build();
    ExifInfo shortBlock;
    ASSERT_TRUE(shortBlock.LoadTolerant(cut.data(), cut.size()));
    EXPECT_FALSE(shortBlock.GetFocalLength(&value));
    EXPECT_EQ(shortBlock.GetMake(), "");
}
