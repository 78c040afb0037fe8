// Movies filed by the day they were filmed, from the movie file itself: real movies from a
// muxer, copied on a later day, in a run, in the album's scan and in the console's report.

#include <windows.h>

#include <algorithm>
#include <iterator>

#include "base/handles.h"
#include "base/settings_store.h"
#include "base/read_counters.h"
#include "organize/date_folder_format.h"
#include "organize/file_facts.h"
#include "organize/organize_run.h"
#include "organize/organize_settings.h"
#include "tests/metadata/metadata_test_data.h"
#include "tests/organize/organize_fixture.h"
#include "tests/support/child_process.h"

namespace {

class MovieDatesTest : public OrganizeFixture {
protected:
    void SetUp() override
    {
        OrganizeFixture::SetUp();
        settings_ = g_OrganizeSettings;
        settings_.ArrangeMovie = 1;
    }
    // A real movie on the card, last written on 2025-01-02 as a download or a chat copy is.
    std::wstring CardMovie(const std::string& name, const std::wstring& as)
    {
        const std::wstring path = MakeFile(root_.File(L"card\\" + as), ReadWholeFile(RealTestFile("../movies/" + name)));
        SetLocalLastWrite(path, 2025, 1, 2, 12, 0, 0);
        return path;
    }
    // The date folder of a UTC time in this machine's local time, in the run's layout.
    std::wstring FolderOfUtc(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) const
    {
        const SYSTEMTIME utc{year, month, 0, day, hour, minute, second, 0};
        SYSTEMTIME local{};
        EXPECT_TRUE(SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local));
        return output_ + L"\\" + MakeDateFolderName(local, settings_.OutputFormatType);
    }
    std::wstring LastWriteFolder() const
    {
        const SYSTEMTIME local{2025, 1, 0, 2, 12, 0, 0, 0};
        return output_ + L"\\" + MakeDateFolderName(local, settings_.OutputFormatType);
    }
    OrganizeResult Run()
    {
        RecordingProgress progress;
        return RunOrganize(settings_, progress, {root_.File(L"card")}, output_);
    }

    OrganizeSettings settings_;
};

TEST_F(MovieDatesTest, MoviesGoToTheDayTheyWereFilmed)
{
    CardMovie("mov_moov_last.mov", L"MOV_0001.MOV");
    CardMovie("mp4_moov_first.mp4", L"VID_0002.mp4");
    CardMovie("phone.3gp", L"phone.3gp");
    CardMovie("mp4_no_time.mp4", L"no_time.mp4");
    const OrganizeResult result = Run();
    ASSERT_FALSE(result.Failed());
    EXPECT_EQ(result.counts.copied, 4);
    EXPECT_TRUE(FileExists(FolderOfUtc(2019, 7, 14, 9, 30, 0) + L"\\MOV_0001.MOV"));
    EXPECT_TRUE(FileExists(FolderOfUtc(2021, 12, 31, 23, 59, 30) + L"\\VID_0002.mp4"));
    EXPECT_TRUE(FileExists(FolderOfUtc(2018, 3, 4, 5, 6, 7) + L"\\phone.3gp"));
    // Without a filming time, the last-write time as before.
    EXPECT_TRUE(FileExists(LastWriteFolder() + L"\\no_time.mp4"));
}

TEST_F(MovieDatesTest, TheSwitchOffDatesMoviesByTheirLastWrite)
{
    settings_.MovieDateFromFile = 0;
    CardMovie("mov_moov_last.mov", L"MOV_0001.MOV");
    ASSERT_FALSE(Run().Failed());
    EXPECT_TRUE(FileExists(LastWriteFolder() + L"\\MOV_0001.MOV"));

    // The stored switch reaches the run's settings, on by default.
    OrganizeSettings loaded;
    loaded.Load();
    EXPECT_EQ(loaded.MovieDateFromFile, 1);
    EXPECT_TRUE(loaded.DateRules().movieDateFromFile);
    EXPECT_TRUE(g_SettingsStore.SetInt(L"APP_INFO", L"MovieDateFromFile", 0));
    loaded.Load();
    EXPECT_FALSE(loaded.DateRules().movieDateFromFile);
}

// A movie of 4 GB whose movie box follows its media data: dated from its head and a few bytes
// at its end, never read through.
TEST_F(MovieDatesTest, AFourGigabyteMovieIsDatedFromAFewReads)
{
    const Bytes real = ReadWholeFile(RealTestFile("../movies/mov_moov_last.mov"));
    ASSERT_FALSE(real.empty());
    // ftyp (20 bytes) and wide (8) from the real movie, then a 64-bit mdat of 4 GiB, then its moov.
    const std::size_t mdat = 28, moov = real.size() - 706;
    ASSERT_EQ(std::string(real.begin() + mdat + 4, real.begin() + mdat + 8), "mdat");
    ASSERT_EQ(std::string(real.begin() + moov + 4, real.begin() + moov + 8), "moov");
    const std::uint64_t mediaBytes = 4ull << 30;
    Bytes head(real.begin(), real.begin() + mdat);
    const std::uint64_t boxSize = 16 + mediaBytes;
    const std::uint8_t header[16] = {0, 0, 0, 1, 'm', 'd', 'a', 't', static_cast<std::uint8_t>(boxSize >> 56),
                                     static_cast<std::uint8_t>(boxSize >> 48), static_cast<std::uint8_t>(boxSize >> 40),
                                     static_cast<std::uint8_t>(boxSize >> 32), static_cast<std::uint8_t>(boxSize >> 24),
                                     static_cast<std::uint8_t>(boxSize >> 16), static_cast<std::uint8_t>(boxSize >> 8),
                                     static_cast<std::uint8_t>(boxSize)};
    head.resize(mdat + sizeof header);
    std::copy(std::begin(header), std::end(header), head.begin() + static_cast<std::ptrdiff_t>(mdat));
    const std::wstring path = root_.File(L"card\\LONG.MOV");
    MakeFile(path, head);
    {
        // The media data is a hole in the file: nothing is written for it.
        UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file);
        LARGE_INTEGER at{};
        at.QuadPart = static_cast<LONGLONG>(head.size() + mediaBytes);
        ASSERT_TRUE(SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN));
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(file.get(), real.data() + moov, static_cast<DWORD>(real.size() - moov), &written, nullptr));
    }

    g_ReadCounters.Clear();
    FileFacts facts;
    ASSERT_TRUE(GatherFileFacts(path, nullptr, &facts, settings_.DateRules()));
    EXPECT_EQ(facts.source, CaptureDateSource::kMovie);
    EXPECT_EQ(facts.date.wYear, 2019);
    EXPECT_EQ(g_ReadCounters.opens.load(), 1u);
    // The 64 KiB head (which also gives the content signature), the movie box's header, then
    // the start of the movie box in one read (its header and its first track's).
    EXPECT_LE(g_ReadCounters.reads.load(), 4u);
    EXPECT_LE(g_ReadCounters.bytes.load(), (64u << 10) + 64u + 4096u);
    DeleteFileW(path.c_str());
}

// The album's scan dates movies the same way, tested through its build of an output folder.
TEST_F(MovieDatesTest, TheConsoleDatesAMovieByItsFilmingTime)
{
    const std::wstring movie = CardMovie("mov_moov_last.mov", L"MOV_0001.MOV");
    const RunResult info = RunAndCapture(QuotedProgram(L"kasumiro-cli.exe") + L" info \"" + movie + L"\"");
    EXPECT_EQ(info.exitCode, 0u) << info.err;
    EXPECT_NE(info.out.find("\"format\": \"movie\""), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("\"source\": \"movie\""), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("\"capture_date\": \"2019-07-1"), std::string::npos) << info.out;
}

}  // namespace
