// Folders as deep as phone backups and synced folders make them. Every path below is past the
// 260 characters Windows takes in a path's plain form, and Windows' limit is set for the run.

#include <windows.h>

#include "album/album_build.h"
#include "base/paths.h"
#include "organize/organize_run.h"
#include "organize/organize_settings.h"
#include "organize/output_names.h"
#include "organize/output_record.h"
#include "tests/album/album_test_files.h"
#include "tests/organize/organize_fixture.h"
#include "tests/support/windows_file_rules.h"

namespace {

// `levels` folders of 24 characters each below `root`.
std::wstring DeepFolder(const std::wstring& root, int levels)
{
    std::wstring path = root;
    for (int level = 1; level <= levels; ++level)
        path += L"\\スマートフォンのバックアップ写真と動画_" + std::to_wstring(level % 10);
    return path;
}

class LongPathTest : public OrganizeFixture {
protected:
    void SetUp() override
    {
        OrganizeFixture::SetUp();
        settings_ = g_OrganizeSettings;
        g_OrganizeSettings = OrganizeSettings();
        settings_.ArrangeMovie = 1;
    }
    OrganizeResult Run(const std::wstring& input)
    {
        RecordingProgress progress;
        return RunOrganize(settings_, progress, {input}, output_);
    }
    OrganizeSettings settings_;
};

TEST_F(LongPathTest, DeepInputsGoIntoADeepOutputItsRecordAndItsAlbum)
{
    const std::wstring input = DeepFolder(root_.File(L"in"), 12);
    output_ = DeepFolder(root_.Path(), 10) + L"\\整理済み";
    ASSERT_GT(input.size(), 300u);
    ASSERT_GT(output_.size(), 260u);
    const Bytes photo = PhotoJpeg(64, 48, PhotoFacts{"2024:05:01 09:03:07", {}, {}, {}, {}});
    MakeFile(input + L"\\IMG_0001.JPG", photo);
    MakeFile(input + L"\\IMG_0001.MOV", {'m', 'o', 'v'});  // the photo's companion
    MakeFile(input + L"\\もう一枚\\IMG_0001.JPG", photo);   // the same photo again
    const std::wstring leftover = output_ + L"\\" + kPartialCopyName + L"7";
    {
        WindowsFileRules windowsRules;
        OrganizeResult result = Run(input);
        ASSERT_EQ(result.status, kStatusOk);
        EXPECT_EQ(result.counts.copied, 2);
        EXPECT_EQ(result.counts.duplicates, 1);
        EXPECT_EQ(result.counts.tooLong + result.counts.unreadable + result.counts.notOrganized, 0);

        // The record names both copies and reads back whole: a rerun finds each file there.
        OutputRecord record;
        ASSERT_EQ(record.Load(RecordPathOf(output_)).outcome, RecordLoad::kLoaded);
        EXPECT_EQ(record.ItemCount(), 2);
        const OrganizeCounts rerun = Run(input).counts;
        EXPECT_EQ(rerun.duplicates, 3) << rerun.copied << " " << rerun.notOrganized;

        // A killed run's protected work file is swept by the next run.
        ASSERT_TRUE(WriteBytes(ExtendedLengthPath(leftover), {'x'}));
        SetFileAttributesW(ExtendedLengthPath(leftover).c_str(), FILE_ATTRIBUTE_READONLY);
        ASSERT_TRUE(WriteBytes(ExtendedLengthPath(RunningMarkerPathOf(RecordPathOf(output_))), {}));
        EXPECT_EQ(Run(input).status, kStatusOk);

        RecordingProgress progress;
        EXPECT_EQ(BuildPhotoAlbum(progress, output_, true, L"").status, kStatusOk);
        EXPECT_EQ(WindowsFileRules::RefusedCalls(), 0);
        EXPECT_GT(WindowsFileRules::LongFormCalls(), 0);
    }
    EXPECT_FALSE(FileExists(leftover));
    const auto album = FolderSnapshot(output_ + L"\\" + kAlbumFolderName);
    const auto cache = FolderSnapshot(output_ + L"\\" + kAlbumCacheFolderName);
    EXPECT_TRUE(album.count(L"\\index.html"));
    EXPECT_FALSE(cache.empty());
}

}  // namespace
