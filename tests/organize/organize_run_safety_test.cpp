// A run that is stopped, meets a record it cannot use, or finds what a stopped run left
// behind: nothing is lost, nothing is copied twice, and the user is told what happened.

#include <windows.h>

#include <map>

#include "base/handles.h"
#include "base/read_counters.h"
#include "base/status_code.h"
#include "organize/organize_limits.h"
#include "organize/output_record.h"
#include "organize/copy_workers.h"
#include "organize/organize_run.h"
#include "organize/organize_settings.h"
#include "organize/output_names.h"
#include "organize/run_report.h"
#include "tests/metadata/metadata_test_data.h"
#include "tests/organize/organize_fixture.h"
#include "tests/support/windows_file_rules.h"

namespace {

// Progress whose user asks the run to stop once `stopAfter` files are done.
class StoppingProgress : public RecordingProgress {
public:
    explicit StoppingProgress(std::uint64_t stopAfter) : stopAfter_(stopAfter) {}
    bool StopRequested() const override { return done >= stopAfter_; }

private:
    std::uint64_t stopAfter_;
};

class OrganizeRunSafetyTest : public OrganizeFixture {
protected:
    void SetUp() override
    {
        OrganizeFixture::SetUp();
        settings_ = g_OrganizeSettings;
    }
    std::wstring Record() const { return RecordPathOf(output_); }
    void MakePhotos(int count)
    {
        for (int i = 0; i < count; ++i)
            Photo(L"card\\IMG_000" + std::to_wstring(i) + L".JPG", "2024:05:0" + std::to_string(i + 1) + " 09:00:00",
                  static_cast<char>('a' + i));
    }
    OrganizeResult RunWith(ProgressSink& progress)
    {
        return RunOrganize(settings_, progress, {root_.File(L"card")}, output_);
    }
    int RecordedItems() const
    {
        OutputRecord table;
        EXPECT_EQ(table.Load(Record()).outcome, RecordLoad::kLoaded);
        return table.ItemCount();
    }
    // Files under the output's date folders, work files included.
    int FilesInDateFolders() const
    {
        int count = 0;
        for (int day = 1; day <= 9; ++day) {
            const std::wstring folder = output_ + L"\\2024\\05\\0" + std::to_wstring(day);
            WIN32_FIND_DATAW found{};
            HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
            if (search == INVALID_HANDLE_VALUE)
                continue;
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    ++count;
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        return count;
    }
    OrganizeSettings settings_;
};

TEST_F(OrganizeRunSafetyTest, AStoppedRunKeepsWhatItCopiedAndTheNextRunCopiesOnlyTheRest)
{
    constexpr int kFiles = 40;
    for (int i = 0; i < kFiles; ++i)
        Photo(L"card\\IMG_" + std::to_wstring(1000 + i) + L".JPG", "2024:05:0" + std::to_string(1 + i % 9) + " 09:00:00",
              static_cast<char>(i));
    StoppingProgress stopAfterTwo(2);
    const OrganizeResult stopped = RunWith(stopAfterTwo);
    EXPECT_TRUE(stopped.stopped);
    EXPECT_FALSE(stopped.Failed());
    // The copies under way when the stop came are finished, no more.
    EXPECT_GE(stopped.counts.copied, 2);
    EXPECT_LE(stopped.counts.copied, 2 + static_cast<int>(CopyWorkers::kQueuedPerWorker) * kDefaultCopyWorkers);
    EXPECT_EQ(FilesInDateFolders(), stopped.counts.copied);  // no half-made copy among them
    EXPECT_EQ(RecordedItems(), stopped.counts.copied);
    EXPECT_FALSE(FileExists(RunningMarkerPathOf(Record())));  // a stop is an orderly end
    const std::wstring told = RunStoppedText(stopped);
    EXPECT_EQ(told.rfind(L"写真の整理を中止しました。", 0), 0u) << told;
    EXPECT_NE(told.find(L"コピーしたファイルの数 = " + std::to_wstring(stopped.counts.copied)), std::wstring::npos)
        << told;

    RecordingProgress carryOn;
    const OrganizeResult rest = RunWith(carryOn);
    EXPECT_FALSE(rest.stopped);
    EXPECT_EQ(rest.counts.duplicates, stopped.counts.copied);
    EXPECT_EQ(rest.counts.copied, kFiles - stopped.counts.copied);
    EXPECT_EQ(FilesInDateFolders(), kFiles);  // no IMG_1000(1).JPG beside the first copies
    EXPECT_EQ(RecordedItems(), kFiles);
}

TEST_F(OrganizeRunSafetyTest, AStopWhileListingLeavesTheOutputFolderUntouched)
{
    MakePhotos(3);
    StoppingProgress stopAtOnce(0);
    const OrganizeResult stopped = RunWith(stopAtOnce);
    EXPECT_TRUE(stopped.stopped);
    EXPECT_EQ(stopped.counts.copied, 0);
    EXPECT_FALSE(FileExists(output_));
}

TEST_F(OrganizeRunSafetyTest, ARecordThatIsThereButCannotBeOpenedStopsTheRunAndStaysAsItWas)
{
    MakePhotos(2);
    RecordingProgress progress;
    ASSERT_FALSE(RunWith(progress).Failed());
    const Bytes before = ReadBytes(Record());
    Photo(L"card\\IMG_NEW.JPG", "2024:05:07 09:00:00", 'z');

    // Another program holds the record and lets no one else in.
    HANDLE held = CreateFileW(Record().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const OrganizeResult result = RunWith(progress);
    CloseHandle(held);

    EXPECT_EQ(result.failedStage, OrganizeResult::kRecordLoad);
    EXPECT_EQ(result.status, StatusFromWin32(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(result.counts.copied, 0);
    EXPECT_FALSE(FileExists(output_ + L"\\2024\\05\\07"));
    EXPECT_EQ(ReadBytes(Record()), before);  // not overwritten with this run alone
    const std::wstring told = RunFailureText(result);
    EXPECT_NE(told.find(L"比較情報(Sortavel.dat)を読み込めませんでした。"), std::wstring::npos) << told;
    EXPECT_NE(told.find(L"【HRESULT】0x80070020"), std::wstring::npos) << told;
}

TEST_F(OrganizeRunSafetyTest, WhatAHardStopLeftBehindIsClearedAndNeverOrganized)
{
    MakePhotos(2);
    RecordingProgress progress;
    ASSERT_FALSE(RunWith(progress).Failed());
    // As a run killed mid-copy and mid-save leaves it.
    MakeFile(output_ + L"\\2024\\05\\01\\" + kPartialCopyName, Bytes(100, 'h'));
    MakeFile(RecordSavingPathOf(Record()), Bytes(10, 's'));
    MakeFile(RunningMarkerPathOf(Record()), Bytes{});
    // And as one would be found in an input folder that was an output before.
    MakeFile(root_.File(L"card\\") + kPartialCopyName, Bytes(50, 'h'));

    const OrganizeResult result = RunWith(progress);
    EXPECT_FALSE(result.Failed());
    EXPECT_EQ(result.counts.inputFiles, 2);
    EXPECT_FALSE(FileExists(output_ + L"\\2024\\05\\01\\" + kPartialCopyName));
    EXPECT_FALSE(FileExists(RecordSavingPathOf(Record())));
    EXPECT_FALSE(FileExists(RunningMarkerPathOf(Record())));
    EXPECT_EQ(FilesInDateFolders(), 2);
    EXPECT_EQ(RecordedItems(), 2);
    // A work file is known by how its name starts, in any case, and only by that.
    EXPECT_TRUE(IsPartialCopyName(L".KASUMIRO-COPYING"));
    EXPECT_FALSE(IsPartialCopyName(L"x.kasumiro-copying"));
}

TEST_F(OrganizeRunSafetyTest, TheRecordIsOnDiskFromTheFirstMomentOfARun)
{
    MakePhotos(3);
    // Checked by the user's progress after the first file, as a kill at that moment would
    // find the folder.
    class Probe : public RecordingProgress {
    public:
        explicit Probe(std::wstring record) : record_(std::move(record)) {}
        void AddProgress(std::uint64_t amount) override
        {
            RecordingProgress::AddProgress(amount);
            if (done == 1) {
                recordThere = FileExists(record_);
                markerThere = FileExists(RunningMarkerPathOf(record_));
            }
        }
        bool recordThere = false, markerThere = false;

    private:
        std::wstring record_;
    } probe(Record());
    ASSERT_FALSE(RunWith(probe).Failed());
    EXPECT_TRUE(probe.recordThere);
    EXPECT_TRUE(probe.markerThere);
    EXPECT_FALSE(FileExists(RunningMarkerPathOf(Record())));
}

// A copy is recorded only once it is known to be on the disk. One that cannot be flushed (here
// it is gone before the flush, as when another program takes it away) is named as not
// organized, the record does not vouch for it, and the next run copies it again.
TEST_F(OrganizeRunSafetyTest, ACopyThatCannotBeFlushedIsNotRecordedAsSafe)
{
    MakePhotos(2);
    class TakesTheFirstCopy : public RecordingProgress {
    public:
        explicit TakesTheFirstCopy(std::wstring copy) : copy_(std::move(copy)) {}
        void AddProgress(std::uint64_t amount) override
        {
            RecordingProgress::AddProgress(amount);
            if (done == 1)
                DeleteFileW(copy_.c_str());
        }

    private:
        std::wstring copy_;
    } takesIt(output_ + L"\\2024\\05\\01\\IMG_0000.JPG");
    const OrganizeResult result = RunWith(takesIt);
    ASSERT_FALSE(result.Failed()) << RunFailureText(result);
    EXPECT_EQ(result.counts.copied, 1);
    EXPECT_EQ(result.counts.notOrganized, 1);
    ASSERT_EQ(result.fileFailures.size(), 1u);
    EXPECT_EQ(result.fileFailures[0].reason, FileFailureReason::kNotFlushed);
    EXPECT_EQ(RecordedItems(), 1);

    RecordingProgress progress;
    const OrganizeResult rerun = RunWith(progress);
    EXPECT_EQ(rerun.counts.copied, 1);
    EXPECT_EQ(rerun.counts.duplicates, 1);
    EXPECT_EQ(RecordedItems(), 2);
}

// A photo a camera marked as protected (read-only), a hidden one, and one whose name differs
// from another's only in case are copied, flushed and recorded like any other; the copy of the
// protected one stays read-only, the case twin gets a counter, and a read-only work file a
// killed run left is cleared by the next run. Windows' rules for read-only files hold, as on a
// user's machine.
TEST_F(OrganizeRunSafetyTest, ProtectedHiddenAndCaseTwinPhotosAreOrganizedLikeAnyOther)
{
    const std::wstring marked = Photo(L"card1\\IMG_0001.JPG", "2024:05:01 09:00:00", 'p');
    const std::wstring hidden = Photo(L"card1\\IMG_0002.JPG", "2024:05:01 09:00:00", 'h');
    Photo(L"card2\\img_0001.jpg", "2024:05:01 09:00:00", 't');
    ASSERT_TRUE(SetFileAttributesW(marked.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    // As a run killed mid-copy of a protected photo leaves it.
    const std::wstring left = MakeFile(output_ + L"\\" + kPartialCopyName + L"1", Bytes(100, 'w'));
    ASSERT_TRUE(SetFileAttributesW(left.c_str(), FILE_ATTRIBUTE_READONLY));
    MakeFile(RunningMarkerPathOf(Record()), Bytes{});

    RecordingProgress progress;
    OrganizeResult result;
    {
        WindowsFileRules windowsRules;
        result = RunOrganize(settings_, progress, {root_.File(L"card1"), root_.File(L"card2")}, output_);
    }
    ASSERT_FALSE(result.Failed()) << RunFailureText(result);
    EXPECT_EQ(result.counts.copied, 3);
    EXPECT_EQ(result.counts.notOrganized, 0);
    EXPECT_EQ(RecordedItems(), 3);
    const std::wstring day = output_ + L"\\2024\\05\\01\\";
    EXPECT_TRUE(GetFileAttributesW((day + L"IMG_0001.JPG").c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(ReadBytes(day + L"IMG_0002.JPG"), ReadBytes(hidden));
    EXPECT_EQ(ReadBytes(day + L"img_0001(1).jpg"), ReadBytes(root_.File(L"card2\\img_0001.jpg")));
    EXPECT_FALSE(FileExists(left));
    SetFileAttributesW((day + L"IMG_0001.JPG").c_str(), FILE_ATTRIBUTE_NORMAL);  // for the clean-up
    SetFileAttributesW(marked.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A record as full as a record may be is read; a run that could take it past that is refused
// before it copies anything, so that the program never writes a record it cannot read back.
TEST_F(OrganizeRunSafetyTest, ARunThatCouldOverfillTheRecordIsRefusedBeforeAnyCopy)
{
    const std::int64_t items = organize_limits::kMaxRecordedFiles;
    Bytes record = {0, 0, 1, 0, 8, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    for (int i = 0; i < 4; ++i)
        record.push_back(static_cast<std::uint8_t>(items >> (8 * i)));
    record.resize(record.size() + static_cast<std::size_t>(items) * 14, 0);  // entries of no path
    MakeFile(Record(), record);
    OutputRecord full;
    ASSERT_EQ(full.Load(Record()).outcome, RecordLoad::kLoaded);
    EXPECT_EQ(full.ItemCount(), items);

    MakePhotos(1);
    RecordingProgress progress;
    const OrganizeResult result = RunWith(progress);
    EXPECT_EQ(result.failedStage, OrganizeResult::kRecordFull);
    EXPECT_NE(RunFailureText(result).find(L"記録できるファイルの数を超えるため"), std::wstring::npos);
    EXPECT_FALSE(FileExists(output_ + L"\\2024"));
    EXPECT_EQ(FileSize(Record()), record.size());
}

// Paths past Windows' plain limit are organized (the album's long path test runs one); only
// what no path can name is left, and counted in the notice.
TEST(OrganizeNoticeTest, WhatNoPathCanNameIsCountedInTheNotice)
{
    OrganizeCounts counts;
    counts.tooLong = 2;
    EXPECT_EQ(LeftOutText(counts),
              L"パスが長すぎるため、2 個のフォルダまたはファイルを整理できませんでした。詳しくはログを確認してください。");
}

// What the report says of each file, by the file, with the output folder's own path taken out.
class ReportByFile : public RunReportSink {
public:
    explicit ReportByFile(std::wstring output) : output_(std::move(output)) {}
    void OnFile(const FileReport& file) override
    {
        FileReport told = file;
        if (told.destination.rfind(output_, 0) == 0)
            told.destination = L"OUT" + told.destination.substr(output_.size());
        lines[told.path] = FileReportLine(told);
    }
    std::map<std::wstring, std::wstring> lines;

private:
    std::wstring output_;
};

// With one copy worker each file is weighed and copied when the pass comes to it; with more,
// copies are made several at once and the duplicate tests weighed ahead on other threads.
// Names, counts, the record and the report come out the same, whatever the files hold.
TEST_F(OrganizeRunSafetyTest, CopiesMadeSeveralAtOnceAndTestsWeighedAheadComeOutExactlyAsOneAtATime)
{
    // Three cards with the same names on the same days, each its own pictures; some pictures
    // on more than one card; and a picture already at a clash name from an earlier run.
    for (int card = 1; card <= 3; ++card) {
        for (int i = 0; i < 12; ++i) {
            const char filler = static_cast<char>(i % 4 == 0 ? 'A' + i : 'a' + card * 12 + i);
            Photo(L"card" + std::to_wstring(card) + L"\\IMG_" + std::to_wstring(100 + i) + L".JPG",
                  "2024:05:0" + std::to_string(1 + i % 3) + " 09:00:00", filler);
        }
    }
    // Look-alikes (one size, one head, other bytes at the end), one of them again on a later
    // card; a picture twice on one card, the second while the first's copy is under way; a
    // picture again with a new sidecar, which goes beside the first one's copy.
    Bytes shot = JpegWithDates("2024:05:04 09:00:00");
    shot.insert(shot.end() - 2, 40000, 's');
    for (int k = 0; k < 6; ++k) {
        shot[shot.size() - 100] = static_cast<std::uint8_t>(k);
        MakeFile(root_.File(L"card1\\SHOT_" + std::to_wstring(k) + L".JPG"), shot);
        if (k == 3)
            MakeFile(root_.File(L"card3\\SHOT_AGAIN.JPG"), shot);
    }
    const std::wstring twice = Photo(L"card1\\IMG_500.JPG", "2024:05:05 09:00:00", 'T');
    MakeFile(root_.File(L"card1\\IMG_500 - copy.JPG"), ReadBytes(twice));
    const std::wstring grouped = Photo(L"card1\\IMG_700.JPG", "2024:05:06 09:00:00", 'G');
    MakeFile(root_.File(L"card3\\IMG_700.JPG"), ReadBytes(grouped));
    MakeFile(root_.File(L"card3\\IMG_700.xmp"), Bytes(300, 'x'));
    // An earlier run's pictures, again on a card: one whose copy is as it was, one whose copy
    // was changed since (its signature still the same), one whose copy was deleted, and one
    // whose copy cannot be read during the run.
    for (int i = 1; i <= 4; ++i) {
        const std::wstring old = Photo(L"old\\OLD_" + std::to_wstring(i) + L".JPG", "2024:05:07 09:00:00",
                                       static_cast<char>('0' + i));
        MakeFile(root_.File(L"again\\OLD_" + std::to_wstring(i) + L".JPG"), ReadBytes(old));
    }
    const std::vector<std::wstring> inputs = {root_.File(L"card1"), root_.File(L"card2"), root_.File(L"card3"),
                                              root_.File(L"again")};
    const std::wstring earlier = root_.File(L"card2\\IMG_101.JPG");
    std::map<std::wstring, Bytes> trees[2];
    Bytes records[2];
    OrganizeCounts counts[2];
    std::map<std::wstring, std::wstring> reports[2];
    const int workers[2] = {1, 4};
    for (int k = 0; k < 2; ++k) {
        const std::wstring output = root_.File(L"out" + std::to_wstring(workers[k]));
        MakeFile(output + L"\\2024\\05\\02\\IMG_101(1).JPG", ReadBytes(earlier));
        RecordingProgress first;
        ASSERT_FALSE(RunOrganize(settings_, first, {root_.File(L"old")}, output, 1).Failed());
        const std::wstring day = output + L"\\2024\\05\\07";
        Bytes changed = ReadBytes(day + L"\\OLD_2.JPG");
        changed[changed.size() - 10] ^= 0xFF;
        MakeFile(day + L"\\OLD_2.JPG", changed);
        ASSERT_TRUE(DeleteFileW((day + L"\\OLD_3.JPG").c_str()));
        UniqueFile locked(CreateFileW((day + L"\\OLD_4.JPG").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(locked);

        RecordingProgress progress;
        ReportByFile report(output);
        const OrganizeResult result = RunOrganize(settings_, progress, inputs, output, workers[k], &report);
        locked.reset();
        ASSERT_FALSE(result.Failed());
        EXPECT_EQ(progress.done, 36u + 6 + 1 + 2 + 3 + 4);
        counts[k] = result.counts;
        records[k] = ReadBytes(RecordPathOf(output));
        trees[k] = FolderSnapshot(output);
        reports[k] = report.lines;
    }
    EXPECT_EQ(counts[0].copied, counts[1].copied);
    EXPECT_EQ(counts[0].duplicates, counts[1].duplicates);
    // Three pictures on every card, the earlier copy, the look-alike again, the picture twice,
    // the grouped picture again, and the earlier run's picture whose copy is as it was.
    EXPECT_EQ(counts[1].duplicates, 6 + 1 + 1 + 1 + 1 + 1);
    EXPECT_EQ(trees[0], trees[1]);      // the same names holding the same bytes
    EXPECT_EQ(records[0], records[1]);  // the record, item for item in the same order
    EXPECT_EQ(reports[0], reports[1]);  // each file's outcome, and the copy that holds its bytes
    EXPECT_TRUE(trees[1].count(L"\\2024\\05\\01\\IMG_103(2).JPG"));
    EXPECT_TRUE(trees[1].count(L"\\2024\\05\\06\\IMG_700.xmp"));
    EXPECT_TRUE(trees[1].count(L"\\2024\\05\\07\\OLD_2(1).JPG"));  // the changed copy is not these bytes
    EXPECT_TRUE(trees[1].count(L"\\2024\\05\\07\\OLD_3.JPG"));     // the deleted one is made again
    EXPECT_TRUE(trees[1].count(L"\\2024\\05\\07\\OLD_4(1).JPG"));  // unreadable: copied, never skipped
    EXPECT_NE(reports[1][root_.File(L"card3\\SHOT_AGAIN.JPG")].find(L"OUT\\\\2024\\\\05\\\\04\\\\SHOT_3.JPG"),
              std::wstring::npos)
        << reports[1][root_.File(L"card3\\SHOT_AGAIN.JPG")];
}

// The pass's own thread reads no more than the heads of the files it lists: the bytes of
// duplicates, in a first run and in a rerun, are compared on the lookahead's threads.
TEST_F(OrganizeRunSafetyTest, ThePassLeavesTheReadingOfDuplicatesToOtherThreads)
{
    constexpr int kPhotos = 4;
    constexpr std::uint64_t kBytes = 1 << 20;
    for (int i = 0; i < kPhotos; ++i) {
        Bytes photo = JpegWithDates("2024:05:0" + std::to_string(1 + i) + " 09:00:00");
        photo.insert(photo.end() - 2, kBytes, static_cast<std::uint8_t>('a' + i));
        MakeFile(root_.File(L"card\\IMG_" + std::to_wstring(i) + L".JPG"), photo);
        MakeFile(root_.File(L"card\\zz\\IMG_" + std::to_wstring(i) + L".JPG"), photo);
    }
    // The listing reads up to 64 KiB of each file for its dates.
    const std::uint64_t listingBytes = 2 * kPhotos * 64 * 1024;
    for (int run = 0; run < 2; ++run) {
        const std::uint64_t before = t_threadReadBytes;
        RecordingProgress progress;
        const OrganizeResult result = RunWith(progress);
        ASSERT_FALSE(result.Failed());
        EXPECT_EQ(result.counts.duplicates, run == 0 ? kPhotos : 2 * kPhotos);
        EXPECT_LE(t_threadReadBytes - before, listingBytes) << run;
    }
}

// The pass opens each file once to learn all it needs, reads only the head of it (a HEIF
// file by its boxes), and never opens a copy again for its signature.
TEST_F(OrganizeRunSafetyTest, EachFileIsOpenedOnceAndOnlyItsHeadIsRead)
{
    settings_.ArrangeMovie = 1;
    const Bytes heif = ReadWholeFile(RealTestFile("heif/mde_exif-at-eof.heic"));
    ASSERT_GT(heif.size(), 512u * 1024);
    MakeFile(root_.File(L"card\\IMG_1000.HEIC"), heif);
    Bytes photo = JpegWithDates("2024:05:01 09:00:00");
    photo.insert(photo.end() - 2, 3u << 20, 'p');  // a 3 MiB photo
    MakeFile(root_.File(L"card\\IMG_1001.JPG"), photo);
    MakeFile(root_.File(L"card\\MOV_1002.MOV"), Bytes(8u << 20, 'm'));
    const std::uint64_t totalBytes = heif.size() + photo.size() + (8u << 20);

    g_ReadCounters.Clear();
    RecordingProgress progress;
    OrganizeResult result = RunWith(progress);
    ASSERT_FALSE(result.Failed());
    EXPECT_EQ(result.counts.copied, 3);
    EXPECT_EQ(g_ReadCounters.opens.load(), 3u);
    // At most the 64 KiB head of each, and for the HEIF file its boxes and Exif item.
    EXPECT_LE(g_ReadCounters.bytes.load(), 3u * 64 * 1024 + 64 * 1024) << g_ReadCounters.bytes.load();

    // A rerun finds them all in the record: one open to list each, then the byte comparison
    // of each with its copy.
    g_ReadCounters.Clear();
    result = RunWith(progress);
    EXPECT_EQ(result.counts.duplicates, 3);
    EXPECT_EQ(g_ReadCounters.opens.load(), 3u + 2 * 3u);
    EXPECT_LE(g_ReadCounters.bytes.load(), 2 * totalBytes + 4u * 64 * 1024);
}

}  // namespace

// Files of one size whose heads are alike (screenshots of one screen, say) all share one
// signature. Each is read whole at most twice in a run, and in a rerun, however many of
// them there are: not once for every earlier look-alike.
TEST_F(OrganizeRunSafetyTest, LookAlikesAreReadAtMostTwiceEach)
{
    constexpr int kFiles = 300, kCopiesOfEarlier = 30;
    constexpr std::size_t kBytes = 128 * 1024;
    Bytes content = JpegWithDates("2024:05:01 09:00:00");
    content.resize(kBytes, 's');
    // They differ only in their last bytes, so that telling them apart takes reading them whole.
    auto lookAlike = [&](int n) {
        Bytes bytes = content;
        bytes[kBytes - 3] = static_cast<std::uint8_t>(n);
        bytes[kBytes - 2] = static_cast<std::uint8_t>(n >> 8);
        return bytes;
    };
    for (int i = 0; i < kFiles - kCopiesOfEarlier; ++i)
        MakeFile(root_.File(L"card\\shot" + std::to_wstring(i) + L".JPG"), lookAlike(i));
    for (int i = 0; i < kCopiesOfEarlier; ++i)
        MakeFile(root_.File(L"card\\zz_again" + std::to_wstring(i) + L".JPG"), lookAlike(i * 7));
    const std::uint64_t inputBytes = std::uint64_t{kFiles} * kBytes;
    // The listing reads up to 64 KiB of each file for its dates.
    const std::uint64_t listingBytes = std::uint64_t{kFiles} * 64 * 1024;

    g_ReadCounters.Clear();
    RecordingProgress progress;
    OrganizeResult result = RunWith(progress);
    ASSERT_FALSE(result.Failed());
    EXPECT_EQ(result.counts.copied, kFiles - kCopiesOfEarlier);
    EXPECT_EQ(result.counts.duplicates, kCopiesOfEarlier);
    EXPECT_LE(g_ReadCounters.bytes.load(), listingBytes + 2 * inputBytes) << g_ReadCounters.bytes.load();

    // The rerun finds each among kFiles - kCopiesOfEarlier look-alike copies: every input and
    // every copy read whole at most twice (hashed, then compared with its match), and a copy
    // that two inputs hold once more, for the second one's comparison.
    const std::uint64_t copyBytes = std::uint64_t{kFiles - kCopiesOfEarlier} * kBytes;
    g_ReadCounters.Clear();
    result = RunWith(progress);
    ASSERT_FALSE(result.Failed());
    EXPECT_EQ(result.counts.copied, 0);
    EXPECT_EQ(result.counts.duplicates, kFiles);
    EXPECT_LE(g_ReadCounters.bytes.load(),
              listingBytes + 2 * (inputBytes + copyBytes) + std::uint64_t{kCopiesOfEarlier} * kBytes)
        << g_ReadCounters.bytes.load();
    EXPECT_EQ(RecordedItems(), kFiles - kCopiesOfEarlier);
}
