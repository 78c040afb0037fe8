#include "organize/organize_run.h"

#include <windows.h>

#include "organize/output_record.h"
#include "organize/organize_settings.h"
#include "organize/run_report.h"
#include "base/json_text.h"
#include "tests/organize/organize_fixture.h"

namespace {

class OrganizeRunTest : public OrganizeFixture {
protected:
    void SetUp() override
    {
        OrganizeFixture::SetUp();
        // The run's own copy: the engine reads no process-wide settings.
        settings_ = g_OrganizeSettings;
        g_OrganizeSettings = OrganizeSettings();
    }
    OrganizeCounts Run(const std::vector<std::wstring>& inputs)
    {
        const OrganizeResult result = RunOrganize(settings_, progress_, inputs, output_);
        EXPECT_EQ(result.status, kStatusOk);
        EXPECT_FALSE(result.copyFailed);
        return result.counts;
    }
    int RecordedItems() const
    {
        OutputRecord table;
        EXPECT_EQ(table.Load(output_ + L"\\Sortavel.dat").outcome, RecordLoad::kLoaded);
        return table.ItemCount();
    }
    RecordingProgress progress_;
    OrganizeSettings settings_;
};

TEST_F(OrganizeRunTest, EmptyInputStillMarksTheOutputFolder)
{
    CreateDirectoryW(root_.File(L"card").c_str(), nullptr);
    const OrganizeCounts counts = Run({root_.File(L"card")});
    EXPECT_EQ(counts.inputFiles + counts.duplicates + counts.copied, 0);
    OutputRecord table;
    ASSERT_EQ(table.Load(output_ + L"\\Sortavel.dat").outcome, RecordLoad::kLoaded);
    EXPECT_EQ(table.OutputFormat(), 8);
    const std::wstring log = Log();
    EXPECT_NE(log.find(L" : 入力ファイルの数   = 0\r\n"), std::wstring::npos) << log;
    EXPECT_NE(log.find(L" : 重複ファイルの数   = 0\r\n"), std::wstring::npos);
    EXPECT_NE(log.find(L" : コピーファイルの数 = 0\r\n"), std::wstring::npos);
}

TEST_F(OrganizeRunTest, SamePhotoTwiceIsCopiedOnceAndARerunCopiesNothing)
{
    Photo(L"card1\\DCIM\\IMG_0001.JPG", "2024:05:01 09:03:07");
    Photo(L"card2\\IMG_0001.JPG", "2024:05:01 09:03:07");  // the same photo on another card
    Photo(L"card2\\IMG_0002.JPG", "2024:05:02 10:00:00", 'q');
    const std::vector<std::wstring> inputs = {root_.File(L"card1"), root_.File(L"card2")};
    OrganizeCounts counts = Run(inputs);
    EXPECT_EQ(counts.inputFiles, 3);
    EXPECT_EQ(counts.duplicates, 1);
    EXPECT_EQ(counts.copied, 2);
    EXPECT_TRUE(FileExists(output_ + L"\\2024\\05\\01\\IMG_0001.JPG"));
    EXPECT_FALSE(FileExists(output_ + L"\\2024\\05\\01\\IMG_0001(1).JPG"));
    EXPECT_EQ(progress_.Total(), 3u);
    EXPECT_EQ(progress_.done, 3u);
    EXPECT_EQ(progress_.captions.back(), L"写真の整理中( 3 / 3 )");
    EXPECT_EQ(RecordedItems(), 2);

    counts = Run(inputs);
    EXPECT_EQ(counts.duplicates, 3);
    EXPECT_EQ(counts.copied, 0);
    EXPECT_EQ(RecordedItems(), 2);
}

TEST_F(OrganizeRunTest, RecordedCopiesThatWereDeletedOrChangedAreCopiedAgain)
{
    Photo(L"card\\a.jpg", "2024:05:01 09:00:00", 'a');
    Photo(L"card\\b.jpg", "2024:05:01 09:00:00", 'b');
    Run({root_.File(L"card")});
    ASSERT_TRUE(DeleteFileW((output_ + L"\\2024\\05\\01\\a.jpg").c_str()));
    Bytes changed = ReadBytes(output_ + L"\\2024\\05\\01\\b.jpg");
    changed[changed.size() - 10] ^= 1;
    WriteBytes(output_ + L"\\2024\\05\\01\\b.jpg", changed);
    const OrganizeCounts counts = Run({root_.File(L"card")});
    EXPECT_EQ(counts.copied, 2);
    EXPECT_TRUE(FileExists(output_ + L"\\2024\\05\\01\\a.jpg"));
    EXPECT_TRUE(FileExists(output_ + L"\\2024\\05\\01\\b(1).jpg"));  // the changed one stays
}

TEST_F(OrganizeRunTest, AlbumsInsideInputFoldersAreNotOrganized)
{
    Photo(L"card\\PhotoAlbum\\thumb\\t.jpg", "2020:01:01 00:00:00");
    Photo(L"card\\photo.jpg", "2021:01:01 00:00:00", 'x');
    const OrganizeCounts counts = Run({root_.File(L"card")});
    EXPECT_EQ(counts.inputFiles, 1);
    EXPECT_FALSE(FileExists(output_ + L"\\2020"));
}

// A file that cannot be placed is that file's failure alone: it is named, with why, and the
// run goes on with the rest; the next run, the cause mended, copies only that file.
TEST_F(OrganizeRunTest, AFileThatCannotBePlacedIsNamedAndTheRestAreOrganized)
{
    Photo(L"card1\\first.jpg", "2019:07:14 09:30:00", '1');
    Photo(L"card2\\second.jpg", "2020:01:01 00:00:00", '2');
    Photo(L"card3\\third.jpg", "2019:07:15 09:30:00", '3');
    // A file where the date folder of the second photo must go.
    MakeFile(output_ + L"\\2020");
    const std::vector<std::wstring> inputs = {root_.File(L"card1"), root_.File(L"card2"), root_.File(L"card3")};
    const OrganizeResult result = RunOrganize(settings_, progress_, inputs, output_);
    ASSERT_FALSE(result.Failed()) << RunFailureText(result);
    EXPECT_EQ(result.counts.copied, 2);
    EXPECT_EQ(result.counts.notOrganized, 1);
    ASSERT_EQ(result.fileFailures.size(), 1u);
    const FileFailure& failure = result.fileFailures[0];
    EXPECT_EQ(failure.source, root_.File(L"card2\\second.jpg"));
    EXPECT_EQ(failure.destination, output_ + L"\\2020\\01\\01\\second.jpg");
    EXPECT_EQ(failure.reason, FileFailureReason::kNotAFolder);
    EXPECT_NE(LeftOutText(result.counts).find(L"コピーできなかったため、1 個のファイルを整理できませんでした。"),
              std::wstring::npos);
    EXPECT_TRUE(boxes.empty());  // the engine shows nothing
    EXPECT_TRUE(FileExists(output_ + L"\\2019\\07\\15\\third.jpg"));
    EXPECT_EQ(RecordedItems(), 2);
    const std::wstring log = Log();
    EXPECT_NE(log.find(L" : コピー元 = " + root_.File(L"card2\\second.jpg") + L"\r\n"), std::wstring::npos);
    EXPECT_NE(log.find(L"整理できなかった理由 = " + std::wstring(FileFailureReasonText(FileFailureReason::kNotAFolder))),
              std::wstring::npos);

    ASSERT_TRUE(DeleteFileW((output_ + L"\\2020").c_str()));
    const OrganizeCounts counts = Run(inputs);
    EXPECT_EQ(counts.duplicates, 2);
    EXPECT_EQ(counts.copied, 1);
    EXPECT_EQ(counts.notOrganized, 0);
    EXPECT_FALSE(FileExists(output_ + L"\\2019\\07\\14\\first(1).jpg"));
}

// Every file the run handles is in its report as it is handled: copied with its copy, already
// there with the copy that holds its bytes, not organized with why; written a line a file.
TEST_F(OrganizeRunTest, EveryFileIsInTheReportWithItsOutcome)
{
    const std::wstring first = Photo(L"card1\\IMG_0001.JPG", "2024:05:01 09:00:00", 'a');
    const std::wstring blocked = Photo(L"card1\\IMG_0002.JPG", "2020:01:01 09:00:00", 'b');
    const std::wstring named = MakeFile(root_.File(L"card1\\IMG_20230420_101112.jpg"), Bytes{'n'});
    const std::wstring twin = MakeFile(root_.File(L"card2\\copy.jpg"), ReadBytes(first));
    MakeFile(output_ + L"\\2020");  // a file where a date folder must go
    RunReportFile report;
    const std::wstring reportPath = root_.File(L"report.json");
    ASSERT_TRUE(report.Open(reportPath));
    const OrganizeResult result =
        RunOrganize(settings_, progress_, {root_.File(L"card1"), root_.File(L"card2")}, output_, 1, &report);
    ASSERT_FALSE(result.Failed());

    const Bytes bytes = ReadBytes(reportPath);
    const std::wstring text = Utf8ToWide(std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(CountOf(text, L"\n"), 4u) << text;
    const auto line = [](const std::wstring& file, const std::wstring& rest) {
        return L"{\"file\": " + JsonString(file) + L", " + rest + L"}\n";
    };
    const std::wstring copy = JsonString(output_ + L"\\2024\\05\\01\\IMG_0001.JPG");
    for (const std::wstring& expected :
         {line(first, L"\"outcome\": \"copied\", \"reason\": null, \"destination\": " + copy +
                          L", \"date_source\": \"exif\""),
          line(twin, L"\"outcome\": \"already_there\", \"reason\": null, \"destination\": " + copy +
                         L", \"date_source\": \"exif\""),
          line(blocked, L"\"outcome\": \"not_organized\", \"reason\": " +
                            JsonString(FileFailureReasonText(FileFailureReason::kNotAFolder)) + L", \"destination\": " +
                            JsonString(output_ + L"\\2020\\01\\01\\IMG_0002.JPG") + L", \"date_source\": \"exif\""),
          line(named, L"\"outcome\": \"copied\", \"reason\": null, \"destination\": " +
                          JsonString(output_ + L"\\2023\\04\\20\\IMG_20230420_101112.jpg") +
                          L", \"date_source\": \"name\"")})
        EXPECT_NE(text.find(expected), std::wstring::npos) << testing::PrintToString(expected) << "\n" << text;
}

TEST_F(OrganizeRunTest, DamagedRecordStopsTheRunBeforeAnything)
{
    Photo(L"card\\a.jpg", "2024:05:01 09:00:00");
    MakeFile(output_ + L"\\Sortavel.dat", {0, 0, 1, 0, 8});
    const OrganizeResult result = RunOrganize(settings_, progress_, {root_.File(L"card")}, output_);
    EXPECT_NE(result.status, kStatusOk);
    EXPECT_FALSE(result.copyFailed);
    EXPECT_EQ(result.counts.copied, 0);
    EXPECT_FALSE(FileExists(output_ + L"\\2024"));
    EXPECT_EQ(ReadBytes(output_ + L"\\Sortavel.dat"), (Bytes{0, 0, 1, 0, 8}));
    EXPECT_EQ(Log().find(L"入力ファイルの数"), std::wstring::npos);
}

}  // namespace
