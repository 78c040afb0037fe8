#include "organize/copy_to_date_folder.h"

#include <gtest/gtest.h>

#include "tests/organize/organize_test_files.h"
#include "tests/support/temp_folder.h"

namespace {

class CopyToDateFolderTest : public testing::Test {
protected:
    TempFolder root_;
    std::wstring output_ = root_.File(L"出力");
    static constexpr int kLayout = 8;  // YYYY\MM\DD

    std::wstring Source(const std::wstring& name, const Bytes& bytes)
    {
        const std::wstring path = MakeFile(root_.File(L"in\\" + name), bytes);
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

TEST_F(CopyToDateFolderTest, ClashesGetTheNextFreeCounter)
{
    const std::wstring day = output_ + L"\\2019\\07\\14\\";
    const std::wstring photo = Source(L"IMG_0001.JPG", JpegWithDates("2019:07:14 09:30:00"));
    EXPECT_EQ(Copy(photo), day + L"IMG_0001.JPG");
    EXPECT_EQ(Copy(photo), day + L"IMG_0001(1).JPG");
    EXPECT_EQ(Copy(photo), day + L"IMG_0001(2).JPG");
    // The copies are the source's bytes, and the source is as it was.
    EXPECT_EQ(ReadBytes(day + L"IMG_0001(2).JPG"), JpegWithDates("2019:07:14 09:30:00"));
    EXPECT_EQ(ReadBytes(photo), JpegWithDates("2019:07:14 09:30:00"));
}

TEST_F(CopyToDateFolderTest, CounterGoesBeforeTheLastExtension)
{
    const std::wstring day = output_ + L"\\2024\\07\\05\\";
    for (const auto& [name, clash] : {std::pair{L"archive.tar.gz", L"archive.tar(1).gz"},
                                      std::pair{L"README", L"README(1)"},
                                      std::pair{L".profile", L"(1).profile"}}) {
        const std::wstring source = Source(name, {'d'});
        EXPECT_EQ(Copy(source), day + name);
        EXPECT_EQ(Copy(source), day + clash);
    }
}

TEST_F(CopyToDateFolderTest, OutputFolderWithADotLeavesTheNameAlone)
{
    output_ = root_.File(L"my.photos");
    const std::wstring source = Source(L"IMG", {'i'});
    EXPECT_EQ(Copy(source), output_ + L"\\2024\\07\\05\\IMG");
    EXPECT_EQ(Copy(source), output_ + L"\\2024\\07\\05\\IMG(1)");
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

TEST_F(CopyToDateFolderTest, DestinationsPastThePathLimitAreRefused)
{
    const std::wstring name = std::wstring(200, L'n') + L".jpg";
    const std::wstring source = Source(name, {'l'});
    output_ = root_.File(std::wstring(40, L'o'));
    std::wstring destination = L"stale";
    EXPECT_EQ(CopyToDateFolder(output_, source, kLayout, &destination), static_cast<StatusCode>(0x800700CE));
    EXPECT_TRUE(destination.empty());
    EXPECT_EQ(GetFileAttributesW(output_.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
