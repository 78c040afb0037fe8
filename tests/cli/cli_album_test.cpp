// kasumiro-cli album against output folders that others can write to: the album's cache
// swapped for a link, a file or a folder of someone else's files, links that loop or lead out
// of the output folder, and a file the album cannot write. Nothing outside the output folder
// is read, written or deleted, and every failure is told.

#include <gtest/gtest.h>
#include <windows.h>

#include "tests/metadata/metadata_test_data.h"
#include "tests/organize/organize_test_files.h"
#include "tests/support/child_process.h"
#include "tests/support/host_files.h"
#include "tests/support/temp_folder.h"

namespace {

class CliAlbumTest : public testing::Test {
protected:
    TempFolder root_;
    std::wstring output_ = root_.File(L"整理済み");
    std::wstring elsewhere_ = root_.File(L"ほかの人のフォルダ");
    std::wstring cache_ = output_ + L"\\PhotoAlbum.cache";
    std::wstring month_ = output_ + L"\\PhotoAlbum\\2011\\201105.html";

    void SetUp() override
    {
        // An output folder as a run leaves it: a real camera picture in its date folder.
        MakeFile(output_ + L"\\2011\\05\\IMG_0001.JPG", ReadWholeFile(RealTestFile("jpeg/mde_HTC_Desire.jpg")));
        MakeFile(elsewhere_ + L"\\thesis.docx", Bytes{'t', 'h', 'e', 's', 'i', 's'});
        MakeFile(elsewhere_ + L"\\notes.txt", Bytes{'n', 'o', 't', 'e', 's'});
        // Named as the cache names its entries: still not the album's to remove.
        MakeFile(elsewhere_ + L"\\0123456789abcdef.thumb", Bytes{'m', 'i', 'n', 'e'});
        MakeFile(elsewhere_ + L"\\IMG_9999.JPG", ReadWholeFile(RealTestFile("jpeg/mde_HTC_Desire.jpg")));
        elsewhereBefore_ = FolderSnapshot(elsewhere_);
    }
    RunResult Album()
    {
        return RunAndCapture(QuotedProgram(L"kasumiro-cli.exe") + L" album --output \"" + output_ + L"\"");
    }
    std::string Page(const std::wstring& path) const
    {
        const Bytes bytes = ReadBytes(path);
        return std::string(bytes.begin(), bytes.end());
    }
    // Whether the folder holds files of the cache's own making.
    static bool HoldsEntries(const std::wstring& folder)
    {
        for (const auto& [name, bytes] : FolderSnapshot(folder)) {
            if (name.ends_with(L".thumb") && name != L"\\0123456789abcdef.thumb")
                return true;
        }
        return false;
    }

    std::map<std::wstring, Bytes> elsewhereBefore_;
};

TEST_F(CliAlbumTest, ACacheThatIsALinkAFileOrSomeoneElsesFolderLosesThemNothing)
{
    ASSERT_TRUE(MakeHostLink(cache_, elsewhere_));
    RunResult run = Album();
    ASSERT_TRUE(run.finished) << run.startError;
    EXPECT_EQ(run.exitCode, 0u) << Utf8ToWide(run.err);
    EXPECT_EQ(FolderSnapshot(elsewhere_), elsewhereBefore_);  // not one file gone, changed or added
    EXPECT_NE(Page(month_).find("src='../thumb/2011/20110506_0.jpg'"), std::string::npos) << Page(month_);
    EXPECT_TRUE(FileExists(output_ + L"\\PhotoAlbum\\thumb\\2011\\20110506_0.jpg"));
    RemoveHostLink(cache_);

    // A file under the cache's name is removed, and the cache made anew as a hidden folder.
    MakeFile(cache_, Bytes{'x'});
    run = Album();
    EXPECT_EQ(run.exitCode, 0u) << Utf8ToWide(run.err);
    const DWORD attributes = GetFileAttributesW(cache_.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(HoldsEntries(cache_));
    EXPECT_TRUE(FileExists(cache_ + L"\\scan.facts"));

    // What someone put into the cache folder stays: its clean-up removes only its own kind of
    // names that this build did not use.
    MakeFile(cache_ + L"\\notes.txt", Bytes{'n'});
    MakeFile(cache_ + L"\\mine\\0123456789abcdef.thumb", Bytes{'m'});
    MakeFile(cache_ + L"\\fedcba9876543210.thumb", Bytes{'s', 't', 'a', 'l', 'e'});
    run = Album();
    EXPECT_EQ(run.exitCode, 0u) << Utf8ToWide(run.err);
    EXPECT_EQ(ReadBytes(cache_ + L"\\notes.txt"), Bytes{'n'});
    EXPECT_EQ(ReadBytes(cache_ + L"\\mine\\0123456789abcdef.thumb"), Bytes{'m'});
    EXPECT_FALSE(FileExists(cache_ + L"\\fedcba9876543210.thumb"));
    EXPECT_TRUE(HoldsEntries(cache_));
}

TEST_F(CliAlbumTest, LinksThatLoopOrLeadOutAreNotInTheAlbum)
{
    ASSERT_TRUE(MakeHostLink(output_ + L"\\2011\\05\\loop", output_));
    ASSERT_TRUE(MakeHostLink(output_ + L"\\2011\\loop", L".."));
    ASSERT_TRUE(MakeHostLink(output_ + L"\\away", elsewhere_));
    const RunResult run = Album();
    ASSERT_TRUE(run.finished) << run.startError;
    EXPECT_EQ(run.exitCode, 0u) << Utf8ToWide(run.err);
    const std::string page = Page(month_);
    EXPECT_EQ(CountOf(Utf8ToWide(page), L"/IMG_0001.JPG"), 1u) << page;
    EXPECT_EQ(page.find("IMG_9999"), std::string::npos);
    const std::wstring index = Utf8ToWide(Page(output_ + L"\\PhotoAlbum\\index.html"));
    EXPECT_EQ(CountOf(index, L"(1)"), 1u) << index;  // one month of one file
    EXPECT_EQ(CountOf(index, L"年</div>"), 1u);
    EXPECT_EQ(FolderSnapshot(elsewhere_), elsewhereBefore_);
    for (const wchar_t* link : {L"\\2011\\05\\loop", L"\\2011\\loop", L"\\away"})
        RemoveHostLink(output_ + link);
}

TEST_F(CliAlbumTest, AWriteThatFailsFailsTheBuildByNameAndLeavesNoIndex)
{
    // A folder where the album keeps a list file: the list cannot be written.
    const std::wstring blocked = cache_ + L"\\thumbnails.list";
    MakeFile(blocked + L"\\in the way.txt");
    const RunResult run = Album();
    ASSERT_TRUE(run.finished) << run.startError;
    EXPECT_EQ(run.exitCode, 1u);
    const std::wstring err = Utf8ToWide(run.err);
    EXPECT_NE(err.find(L"写真一覧HTMLを作成できませんでした。"), std::wstring::npos) << err;
    EXPECT_NE(err.find(L"【ファイル】" + blocked + L"\r\n【HRESULT】0x8007"), std::wstring::npos) << err;
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(FileExists(output_ + L"\\PhotoAlbum\\index.html"));

    // Once the way is clear, the album is built.
    DeleteTree(blocked);
    EXPECT_EQ(Album().exitCode, 0u);
    EXPECT_TRUE(FileExists(output_ + L"\\PhotoAlbum\\index.html"));
}

}  // namespace
