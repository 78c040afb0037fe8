#include "organize/copy_to_date_folder.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/organize/organize_test_files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_files.h"

namespace {

class CopyToDateFolderTest : public testing::Test {
protected:
    TempFolder root_;
    std::wstring output_ = root_.File(L"出力");
    static constexpr int kLayout = 8;  // YYYY\MM\DD

    // A file in an input folder of its own, so that several may share a name.
    std::wstring Source(const std::wstring& name, const Bytes& bytes, const std::wstring& card = L"in")
    {
        const std::wstring path = MakeFile(root_.File(card + L"\\" + name), bytes);
        SetLocalLastWrite(path, 2024, 7, 5, 12, 0, 0);
        return path;
    }
    std::wstring Copy(const std::wstring& source)
    {
        std::wstring destination;
        EXPECT_EQ(CopyToDateFolder(output_, source, kLayout, &destination), kStatusOk);
        return destination;
    }
};

// Three cards with a photo of the same name and day, each its own picture.
TEST_F(CopyToDateFolderTest, ClashesGetTheNextFreeCounter)
{
    const std::wstring day = output_ + L"\\2019\\07\\14\\";
    std::vector<Bytes> pictures;
    for (char card = 'a'; card <= 'c'; ++card) {
        Bytes bytes = JpegWithDates("2019:07:14 09:30:00");
        bytes.insert(bytes.end() - 2, 40, static_cast<std::uint8_t>(card));
        pictures.push_back(bytes);
        const std::wstring photo = Source(L"IMG_0001.JPG", bytes, std::wstring(L"card_") + wchar_t(card));
        EXPECT_EQ(Copy(photo), day + (card == 'a' ? L"IMG_0001.JPG" : card == 'b' ? L"IMG_0001(1).JPG" : L"IMG_0001(2).JPG"));
        // The copies are the source's bytes, and the source is as it was.
        EXPECT_EQ(ReadBytes(photo), bytes);
    }
    EXPECT_EQ(ReadBytes(day + L"IMG_0001(2).JPG"), pictures[2]);
    EXPECT_FALSE(FileExists(day + L".kasumiro-copying"));  // made under it, renamed into place
}

// A copy an earlier run made but could not record: the same bytes under the name, or under a
// counter name, are the file itself, never a reason for another twin.
TEST_F(CopyToDateFolderTest, TheSameBytesUnderTheNameAreTheCopyAlreadyMade)
{
    const std::wstring day = output_ + L"\\2024\\07\\05\\";
    const std::wstring first = Source(L"DSC_0001.JPG", {'1'}, L"card1");
    const std::wstring second = Source(L"DSC_0001.JPG", {'2'}, L"card2");
    EXPECT_EQ(Copy(first), day + L"DSC_0001.JPG");
    EXPECT_EQ(Copy(second), day + L"DSC_0001(1).JPG");
    for (const std::wstring& source : {first, second}) {
        DateFolderWriter writer(output_, kLayout);
        FileFacts facts;
        ASSERT_TRUE(GatherFileFacts(source, nullptr, &facts));
        std::wstring destination;
        bool alreadyThere = false;
        EXPECT_EQ(writer.Copy(facts, &destination, &alreadyThere), kStatusOk);
        EXPECT_TRUE(alreadyThere);
        EXPECT_EQ(destination, source == first ? day + L"DSC_0001.JPG" : day + L"DSC_0001(1).JPG");
    }
    EXPECT_FALSE(FileExists(day + L"DSC_0001(2).JPG"));
}

TEST_F(CopyToDateFolderTest, AStoppedRunsHalfMadeCopiesAreRemovedAndNeverListed)
{
    const std::wstring left = MakeFile(output_ + L"\\2024\\07\\05\\.kasumiro-copying", Bytes(100, 'h'));
    const std::wstring kept = MakeFile(output_ + L"\\2024\\07\\05\\IMG.JPG", Bytes{'k'});
    RemovePartialCopies(output_);
    EXPECT_FALSE(FileExists(left));
    EXPECT_TRUE(FileExists(kept));
    EXPECT_TRUE(IsPartialCopyName(L".KASUMIRO-COPYING"));
    EXPECT_FALSE(IsPartialCopyName(L"x.kasumiro-copying"));
}

TEST_F(CopyToDateFolderTest, CounterGoesBeforeTheLastExtension)
{
    const std::wstring day = output_ + L"\\2024\\07\\05\\";
    for (const auto& [name, clash] : {std::pair{L"archive.tar.gz", L"archive.tar(1).gz"},
                                      std::pair{L"README", L"README(1)"},
                                      std::pair{L".profile", L"(1).profile"}}) {
        EXPECT_EQ(Copy(Source(name, {'d'}, L"one")), day + name);
        EXPECT_EQ(Copy(Source(name, {'e'}, L"two")), day + clash);
    }
}

TEST_F(CopyToDateFolderTest, OutputFolderWithADotLeavesTheNameAlone)
{
    output_ = root_.File(L"my.photos");
    EXPECT_EQ(Copy(Source(L"IMG", {'i'}, L"one")), output_ + L"\\2024\\07\\05\\IMG");
    EXPECT_EQ(Copy(Source(L"IMG", {'j'}, L"two")), output_ + L"\\2024\\07\\05\\IMG(1)");
}

TEST_F(CopyToDateFolderTest, NothingIsEverOverwritten)
{
    const std::wstring existing = MakeFile(output_ + L"\\2024\\07\\05\\same.jpg", {'o', 'l', 'd'});
    const std::wstring source = Source(L"same.jpg", {'n', 'e', 'w'});
    EXPECT_EQ(Copy(source), output_ + L"\\2024\\07\\05\\same(1).jpg");
    EXPECT_EQ(ReadBytes(existing), (Bytes{'o', 'l', 'd'}));
    // A folder of that name counts as a clash too.
    CreateDirectoryW((output_ + L"\\2024\\07\\05\\folder.jpg").c_str(), nullptr);
    EXPECT_EQ(Copy(Source(L"folder.jpg", {'f'})), output_ + L"\\2024\\07\\05\\folder(1).jpg");
}

TEST_F(CopyToDateFolderTest, VanishedSourceFailsWithoutADestination)
{
    std::wstring destination = L"stale";
    EXPECT_EQ(CopyToDateFolder(output_, root_.File(L"in\\gone.jpg"), kLayout, &destination), kStatusFail);
    EXPECT_TRUE(destination.empty());
    EXPECT_EQ(GetFileAttributesW(output_.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(CopyToDateFolderTest, DateFoldersAreCreatedLevelByLevel)
{
    MakeFile(output_ + L"\\2024\\keep.txt");
    EXPECT_EQ(Copy(Source(L"clip.mov", Bytes(100, 7))), output_ + L"\\2024\\07\\05\\clip.mov");
    EXPECT_EQ(ReadBytes(output_ + L"\\2024\\keep.txt"), Bytes{'x'});
}

TEST_F(CopyToDateFolderTest, DestinationsPastTheLongestPathAreRefused)
{
    const std::wstring name = std::wstring(200, L'n') + L".jpg";
    const std::wstring source = Source(name, {'l'});
    output_ = root_.File(std::wstring(32600, L'o'));
    std::wstring destination = L"stale";
    EXPECT_EQ(CopyToDateFolder(output_, source, kLayout, &destination), static_cast<StatusCode>(0x800700CE));
    EXPECT_TRUE(destination.empty());
    EXPECT_EQ(GetFileAttributesW(output_.c_str()), INVALID_FILE_ATTRIBUTES);
}

// Copies are flushed on several threads at once; one that is gone by then is named, and
// the others are flushed all the same, their bytes untouched.
TEST_F(CopyToDateFolderTest, FlushingCopiesNamesTheOnesThatCannotBeFlushed)
{
    std::vector<std::wstring> copies;
    for (int i = 0; i < 9; ++i)
        copies.push_back(Copy(Source(L"IMG_" + std::to_wstring(i) + L".JPG", Bytes(1000 + i, 'c'))));
    copies.insert(copies.begin() + 4, root_.File(L"gone.jpg"));
    const auto failed = FlushCopiesToDisk(copies, 3);
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0].first, root_.File(L"gone.jpg"));
    EXPECT_NE(failed[0].second, kStatusOk);
    EXPECT_EQ(ReadBytes(copies[0]), Bytes(1000, 'c'));
    EXPECT_EQ(ReadBytes(copies[9]), Bytes(1008, 'c'));
}

}  // namespace
