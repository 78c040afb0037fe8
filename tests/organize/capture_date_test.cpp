#include "organize/capture_date.h"

#include <gtest/gtest.h>

#include "base/log_file.h"
#include "organize/date_folder_format.h"
#include "organize/file_facts.h"
#include "organize/name_date.h"
#include "tests/metadata/metadata_test_data.h"
#include "tests/organize/organize_test_files.h"
#include "tests/support/temp_folder.h"

namespace {

class CaptureDateTest : public testing::Test {
protected:
    TempFolder folder_;
    std::wstring logPath_ = folder_.File(L"log.txt");
    void SetUp() override { g_Log.SetPath(logPath_); }
    void TearDown() override { g_Log.SetPath(L""); }

    // The date and its route, as "YYYY-MM-DD HH:MM:SS via route".
    static std::string Resolve(const std::wstring& path, const CaptureDateRules& rules = {})
    {
        SYSTEMTIME date{};
        const CaptureDateSource source = ResolveCaptureDate(path, &date, rules);
        if (source == CaptureDateSource::kNone)
            return "none";
        char text[64];
        std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u", date.wYear, date.wMonth,
                      date.wDay, date.wHour, date.wMinute, date.wSecond, date.wMilliseconds);
        const char* routes[] = {"none", "heif", "exif", "movie", "mtime", "name", "takeout"};
        return std::string(text) + " via " + routes[static_cast<int>(source)];
    }
    std::wstring Log() const { return ReadUtf16Text(logPath_); }
};

TEST_F(CaptureDateTest, ExifDateTimeOriginalOfAPicture)
{
    const std::wstring photo = MakeFile(folder_.File(L"IMG_0001.JPG"), JpegWithDates("2019:07:14 09:30:00"));
    SetLocalLastWrite(photo, 2023, 1, 2, 3, 4, 5);
    EXPECT_EQ(Resolve(photo), "2019-07-14 09:30:00.000 via exif");
    // Recognised by its bytes: the name plays no part.
    const std::wstring renamed = MakeFile(folder_.File(L"picture.dat"), JpegWithDates("2019:07:14 09:30:00"));
    EXPECT_EQ(Resolve(renamed), "2019-07-14 09:30:00.000 via exif");
}

TEST_F(CaptureDateTest, ClocklessCameraIsLoggedAndDatedByLastWrite)
{
    const std::wstring photo = MakeFile(folder_.File(L"IMG_0002.JPG"), JpegWithDates("0000:00:00 00:00:00"));
    SetLocalLastWrite(photo, 2022, 12, 24, 18, 30, 0);
    EXPECT_EQ(Resolve(photo), "2022-12-24 18:30:00.000 via mtime");
    EXPECT_NE(Log().find(L" : Exif撮影日時エラーの為ファイルの更新日付から取得する = 0000/00/00:00:00:00.000, " + photo +
                         L"\r\n"),
              std::wstring::npos)
        << Log();
}

TEST_F(CaptureDateTest, DateTimeAloneIsNotConsultedForPictures)
{
    const std::wstring photo = MakeFile(folder_.File(L"edited.jpg"), JpegWithDates("", "2001:01:01 01:01:01"));
    SetLocalLastWrite(photo, 2021, 6, 7, 8, 9, 10);
    EXPECT_EQ(Resolve(photo), "2021-06-07 08:09:10.000 via mtime");
}

TEST_F(CaptureDateTest, HeifFilesAnswerFromTheirOwnExif)
{
    const std::wstring dated = MakeFile(folder_.File(L"IMG_0003.HEIC"), HeifWithDate("2020:05:04 18:39:11"));
    SetLocalLastWrite(dated, 2024, 1, 1, 0, 0, 0);
    EXPECT_EQ(Resolve(dated), "2020-05-04 18:39:11.000 via heif");
    const std::wstring undated = MakeFile(folder_.File(L"IMG_0004.heic"), HeifWithDate(""));
    SetLocalLastWrite(undated, 2024, 2, 3, 4, 5, 6);
    EXPECT_EQ(Resolve(undated), "2024-02-03 04:05:06.000 via mtime");
    // Real files written with the TIFF header straight behind the item's offset field.
    EXPECT_EQ(Resolve(RealTestFile("avif/libavif_paris_icc_exif_xmp.avif")), "2022-08-22 20:30:46.000 via heif");
}

TEST_F(CaptureDateTest, MoviesAndSoundsAreDatedByLocalLastWrite)
{
    const std::wstring movie = MakeFile(folder_.File(L"MVI_0001.MOV"), Bytes(5000, 0x20));
    SetLocalLastWrite(movie, 2018, 8, 31, 23, 59, 58);
    EXPECT_EQ(Resolve(movie), "2018-08-31 23:59:58.000 via mtime");
    EXPECT_EQ(Resolve(folder_.File(L"gone.mov")), "none");
}

TEST_F(CaptureDateTest, ExifYearsAreNotTestedNorDaysAgainstTheMonth)
{
    EXPECT_EQ(Resolve(MakeFile(folder_.File(L"a.jpg"), JpegWithDates("1850:01:01 00:00:00"))),
              "1850-01-01 00:00:00.000 via exif");
    EXPECT_EQ(Resolve(MakeFile(folder_.File(L"b.jpg"), JpegWithDates("2150:12:31 23:59:59"))),
              "2150-12-31 23:59:59.000 via exif");
    const std::wstring february = MakeFile(folder_.File(L"c.jpg"), JpegWithDates("2019:02:31 12:00:00"));
    SYSTEMTIME date{};
    ASSERT_NE(ResolveCaptureDate(february, &date), CaptureDateSource::kNone);
    EXPECT_EQ(date.wMonth, 2);
    EXPECT_EQ(date.wDay, 31);
    EXPECT_EQ(MakeDateFolderName(date, 4), L"2019-02-31");
}

TEST_F(CaptureDateTest, ImpossibleExifFieldsFallBack)
{
    for (const char* text : {"2019:13:01 00:00:00", "2019:01:32 00:00:00", "2019:01:01 24:00:00",
                             "    :  :     :  :  ", "2019:01:01"}) {
        const std::wstring photo = MakeFile(folder_.File(L"odd.jpg"), JpegWithDates(text));
        SetLocalLastWrite(photo, 2017, 3, 4, 5, 6, 7);
        EXPECT_EQ(Resolve(photo), "2017-03-04 05:06:07.000 via mtime") << text;
    }
    EXPECT_EQ(CountOf(Log(), L"Exif撮影日時エラーの為ファイルの更新日付から取得する"), 5u);
}

// Names as the apps that make them write their dates, and digits that only look like one.
TEST(NameDateTest, NamesThatAreDatesAndNamesThatOnlyLookLikeThem)
{
    const struct {
        const wchar_t* name;
        const char* expected;  // "YYYY-MM-DD HH:MM:SS", "+" when the name has a time, "Z" in UTC
    } cases[] = {
        {L"IMG_20230420_101112.jpg", "2023-04-20 10:11:12+"},
        {L"VID_20230428_183000.mp4", "2023-04-28 18:30:00+"},
        {L"20230419_123456.jpg", "2023-04-19 12:34:56+"},
        {L"PXL_20230421_031415926.jpg", "2023-04-21 03:14:15+Z"},
        {L"IMG-20230415-WA0007.jpg", "2023-04-15 00:00:00"},
        {L"Screenshot_20230417-081530.png", "2023-04-17 08:15:30+"},
        {L"Screenshot_20230418-221500_LINE.jpg", "2023-04-18 22:15:00+"},
        {L"スクリーンショット 2023-04-22 153000.png", "2023-04-22 15:30:00+"},
        {L"Screenshot 2023-04-23 093000.png", "2023-04-23 09:30:00+"},
        {L"2024.02.29.jpg", "2024-02-29 00:00:00"},
        {L"trip_2023-04-20_25.jpg", "2023-04-20 00:00:00"},  // 25 is no time
        {L"IMG_20230420_256199.jpg", "2023-04-20 00:00:00"},
        {L"IMG_1234.JPG", ""},
        {L"DSC01234.JPG", ""},
        {L"scan_00012345.jpg", ""},
        {L"12345678.jpg", ""},
        {L"IMG_20231399_000000.jpg", ""},
        {L"2023-02-29.jpg", ""},
        {L"2023-04_20.jpg", ""},
        {L"120230420.jpg", ""},
        {L"19891231.jpg", ""},
        {L"20280101.jpg", ""},  // past next year
        {L"photo.20230420", ""},  // an extension is not the name
    };
    for (const auto& c : cases) {
        const std::optional<NameDate> date = DateInFileName(c.name, 1990, 2027);
        std::string text;
        if (date) {
            char buffer[64];
            std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d%s%s", date->year, date->month,
                          date->day, date->hour, date->minute, date->second, date->hasTime ? "+" : "",
                          date->utc ? "Z" : "");
            text = buffer;
        }
        EXPECT_EQ(text, c.expected) << testing::PrintToString(std::wstring(c.name));
    }
}

// The name's date comes after the date inside the file and before its last write, only when
// the last write does not contradict it (a day's grace), and not at all with the switch off.
TEST_F(CaptureDateTest, AFileWithoutAnInsideDateTakesTheDateItsNameCarries)
{
    const std::wstring named = MakeFile(folder_.File(L"IMG_20230420_101112.jpg"));
    SetLocalLastWrite(named, 2024, 1, 2, 3, 4, 5);
    EXPECT_EQ(Resolve(named), "2023-04-20 10:11:12.000 via name");
    EXPECT_EQ(Resolve(named, CaptureDateRules{true, false}), "2024-01-02 03:04:05.000 via mtime");

    const std::wstring messenger = MakeFile(folder_.File(L"IMG-20230415-WA0007.jpg"));
    SetLocalLastWrite(messenger, 2023, 4, 15, 21, 0, 0);
    EXPECT_EQ(Resolve(messenger), "2023-04-15 00:00:00.000 via name");

    const std::wstring withExif =
        MakeFile(folder_.File(L"IMG_20230420_101113.jpg"), JpegWithDates("2019:07:14 09:30:00"));
    EXPECT_EQ(Resolve(withExif), "2019-07-14 09:30:00.000 via exif");

    const std::wstring later = MakeFile(folder_.File(L"Screenshot_20240105-000000.png"));
    SetLocalLastWrite(later, 2024, 1, 3, 23, 59, 0);
    EXPECT_EQ(Resolve(later), "2024-01-03 23:59:00.000 via mtime");
    SetLocalLastWrite(later, 2024, 1, 4, 0, 0, 0);
    EXPECT_EQ(Resolve(later), "2024-01-05 00:00:00.000 via name");
}

// A photo export's sidecar gives the time a picture with no date inside was taken (in UTC),
// under each name the export gives it, before the name's own date; the date inside still
// comes first, and a sidecar without a plausible time gives none.
TEST_F(CaptureDateTest, APhotoExportsSidecarDatesAPictureWithNoDateInside)
{
    const auto sidecar = [this](const std::wstring& name, const std::string& timestamp) {
        const std::string json = "{\n  \"title\": \"x\",\n  \"creationTime\": {\"timestamp\": \"1700000000\"},\n"
                                 "  \"photoTakenTime\": {\n    \"timestamp\": \"" + timestamp + "\",\n"
                                 "    \"formatted\": \"20 Apr 2023\"\n  }\n}\n";
        MakeFile(folder_.File(name), Bytes(json.begin(), json.end()));
    };
    // 2023-04-20 08:51:12 UTC, as this machine's clock tells it.
    SYSTEMTIME utc{2023, 4, 0, 20, 8, 51, 12, 0};
    FILETIME utcTime{}, localTime{};
    SYSTEMTIME local{};
    ASSERT_TRUE(SystemTimeToFileTime(&utc, &utcTime) && FileTimeToLocalFileTime(&utcTime, &localTime) &&
                FileTimeToSystemTime(&localTime, &local));
    char expected[64];
    std::snprintf(expected, sizeof expected, "%04u-%02u-%02u %02u:%02u:%02u.000 via takeout", local.wYear,
                  local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond);

    const std::wstring longName = L"a_long_name_of_a_picture_from_a_phone_backup_0001.jpg";
    const std::wstring pictures[] = {L"IMG_1234.HEIC", L"IMG_20230101_000000.jpg", L"IMG(1).jpg", longName};
    sidecar(L"IMG_1234.HEIC.json", "1681980672");
    sidecar(L"IMG_20230101_000000.jpg.supplemental-metadata.json", "1681980672");
    sidecar(L"IMG.jpg(1).json", "1681980672");
    sidecar((longName + L".supplemental-metadata").substr(0, 46) + L".json", "1681980672");
    for (const std::wstring& name : pictures) {
        const std::wstring picture = MakeFile(folder_.File(name));
        SetLocalLastWrite(picture, 2024, 1, 2, 3, 4, 5);
        EXPECT_EQ(Resolve(picture), expected) << testing::PrintToString(name);
        EXPECT_EQ(Resolve(picture, CaptureDateRules{true, false}), "2024-01-02 03:04:05.000 via mtime");
    }

    const std::wstring withExif = MakeFile(folder_.File(L"IMG_0001.JPG"), JpegWithDates("2019:07:14 09:30:00"));
    sidecar(L"IMG_0001.JPG.json", "1681980672");
    EXPECT_EQ(Resolve(withExif), "2019-07-14 09:30:00.000 via exif");

    for (const char* timestamp : {"0", "99999999999999", "12ab", ""}) {
        const std::wstring picture = MakeFile(folder_.File(L"IMG_20230420_101112.jpg"));
        sidecar(L"IMG_20230420_101112.jpg.json", timestamp);
        EXPECT_EQ(Resolve(picture), "2023-04-20 10:11:12.000 via name") << timestamp;
    }
    EXPECT_EQ(PhotoTakenTimeInJson("{\"photoTakenTime\":{\"timestamp\":1681980672}}", 1700000000), 1681980672);
    EXPECT_EQ(PhotoTakenTimeInJson("{\"photoTakenTime\":{\"formatted\":\"x\"},\"timestamp\":\"1681980672\"}",
                                   1700000000),
              std::nullopt);
    EXPECT_EQ(PhotoTakenTimeInJson("{\"photoTakenTime\":{\"timestamp\":\"1681980672", 1700000000), std::nullopt);
}

}  // namespace
