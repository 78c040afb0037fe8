// Files that belong together are organized together: one day, one counter, sidecars with
// their picture, and a companion put back beside its picture's copy.

#include "organize/file_groups.h"

#include <windows.h>

#include <set>

#include "organize/organize_run.h"
#include "organize/organize_settings.h"
#include "tests/organize/organize_fixture.h"

namespace {

class FileGroupsTest : public OrganizeFixture {
protected:
    void SetUp() override
    {
        OrganizeFixture::SetUp();
        settings_ = g_OrganizeSettings;
        settings_.ArrangeMovie = 1;
    }
    // A file of its own bytes that tells its day by its last write alone: 2025-01-`day`.
    std::wstring Plain(const std::wstring& relative, char filler, WORD day = 15)
    {
        const std::wstring path = MakeFile(root_.File(relative), Bytes(500, static_cast<std::uint8_t>(filler)));
        SetLocalLastWrite(path, 2025, 1, day, 12, 0, 0);
        return path;
    }
    OrganizeResult Run(const std::vector<std::wstring>& cards)
    {
        std::vector<std::wstring> inputs;
        for (const std::wstring& card : cards)
            inputs.push_back(root_.File(card));
        RecordingProgress progress;
        const OrganizeResult result = RunOrganize(settings_, progress, inputs, output_);
        EXPECT_FALSE(result.Failed());
        return result;
    }
    // The files below the output folder (or one of its date folders), by their paths below it.
    std::set<std::wstring> Names(const std::wstring& day = L"") const
    {
        std::set<std::wstring> names;
        for (const auto& [path, bytes] : FolderSnapshot(day.empty() ? output_ : output_ + L"\\" + day))
            names.insert(path.substr(1));
        return names;
    }
    OrganizeSettings settings_;
};

// A Live Photo whose number came back: the new pair takes the first counter free for both,
// dated by the picture (the movie says nothing of its day); RAW+JPEG with a clash on the JPEG
// alone moves as one; sidecars after the base name and after the whole name go along, with
// their counters after the shared base name.
TEST_F(FileGroupsTest, AGroupTakesOneDayAndOneCounterForAllItsMembers)
{
    MakeFile(root_.File(L"old\\IMG_1234.HEIC"), HeifWithDate("2023:04:20 10:00:00"));
    Plain(L"old\\IMG_1234.MOV", 'o');
    ASSERT_EQ(Run({L"old"}).counts.copied, 2);
    EXPECT_EQ(Names(L"2023\\04\\20"), (std::set<std::wstring>{L"IMG_1234.HEIC", L"IMG_1234.MOV"}));
    MakeFile(output_ + L"\\2023\\04\\20\\IMG_1234(1).MOV", Bytes{'u'});  // someone's own file

    MakeFile(root_.File(L"new\\IMG_1234.HEIC"), HeifWithDate("2023:04:20 18:00:00"));
    Plain(L"new\\IMG_1234.MOV", 'n');
    Photo(L"new\\IMG_0001.JPG", "2023:04:20 11:00:00", 'j');
    Plain(L"new\\IMG_0001.CR2", 'r');
    Plain(L"new\\IMG_0001.xmp", 'x');
    Plain(L"new\\IMG_0001.CR2.xmp", 'y');
    Plain(L"new\\IMG_E1234.HEIC", 'e', 9);  // an edited render is a file of its own
    MakeFile(output_ + L"\\2023\\04\\20\\IMG_0001.JPG", Bytes{'c'});
    const OrganizeResult result = Run({L"new"});
    EXPECT_EQ(result.counts.copied, 7);
    EXPECT_EQ(Names(L"2023\\04\\20"),
              (std::set<std::wstring>{L"IMG_1234.HEIC", L"IMG_1234.MOV", L"IMG_1234(1).MOV", L"IMG_1234(2).HEIC",
                                      L"IMG_1234(2).MOV", L"IMG_0001.JPG", L"IMG_0001(1).JPG", L"IMG_0001(1).CR2",
                                      L"IMG_0001(1).xmp", L"IMG_0001(1).CR2.xmp"}));
    EXPECT_TRUE(FileExists(output_ + L"\\2025\\01\\09\\IMG_E1234.HEIC"));
    EXPECT_NE(Log().find(L"組のファイルをまとめて整理します = " + root_.File(L"new\\IMG_0001") + L" (4 個)"),
              std::wstring::npos);

    // The console's info names the group.
    const std::vector<std::wstring> group = GroupOfFile(root_.File(L"new\\IMG_0001.CR2.xmp"), settings_);
    EXPECT_EQ(std::set<std::wstring>(group.begin(), group.end()),
              (std::set<std::wstring>{L"IMG_0001.CR2", L"IMG_0001.JPG", L"IMG_0001.CR2.xmp", L"IMG_0001.xmp"}));
    EXPECT_TRUE(GroupOfFile(root_.File(L"new\\IMG_E1234.HEIC"), settings_).empty());
}

// A sidecar whose picture the output folder holds already goes beside that copy, under the
// name that matches it; a sidecar alone stays as a file of no wanted kind; files of one name
// in two input folders are no group; with the switch off every file goes its own way.
TEST_F(FileGroupsTest, CompanionsJoinTheirPictureAndOnlyAFolderMakesAGroup)
{
    MakeFile(output_ + L"\\2023\\05\\01\\IMG_0002.JPG", Bytes{'c'});
    const std::wstring picture = Photo(L"first\\IMG_0002.JPG", "2023:05:01 09:00:00", 'p');
    ASSERT_EQ(Run({L"first"}).counts.copied, 1);
    MakeFile(root_.File(L"second\\IMG_0002.JPG"), ReadBytes(picture));
    Plain(L"second\\IMG_0002.xmp", 'x');
    Plain(L"second\\ALONE.xmp", 'a');
    MakeFile(root_.File(L"second\\IMG_0003.HEIC"), HeifWithDate("2023:05:02 09:00:00"));
    Plain(L"third\\IMG_0003.MOV", 'm', 20);
    const OrganizeResult result = Run({L"second", L"third"});
    EXPECT_EQ(result.counts.duplicates, 1);
    EXPECT_EQ(result.counts.copied, 3);
    EXPECT_EQ(Names(L"2023\\05\\01"),
              (std::set<std::wstring>{L"IMG_0002.JPG", L"IMG_0002(1).JPG", L"IMG_0002(1).xmp"}));
    EXPECT_TRUE(FileExists(output_ + L"\\2023\\05\\02\\IMG_0003.HEIC"));
    EXPECT_TRUE(FileExists(output_ + L"\\2025\\01\\20\\IMG_0003.MOV"));
    for (const std::wstring& name : Names())
        EXPECT_EQ(name.find(L"ALONE"), std::wstring::npos) << testing::PrintToString(name);

    settings_.KeepGroupsTogether = 0;
    Photo(L"fourth\\IMG_0005.JPG", "2023:05:03 09:00:00", 'f');
    Plain(L"fourth\\IMG_0005.MOV", 'g', 21);
    Plain(L"fourth\\IMG_0005.xmp", 'h');
    EXPECT_EQ(Run({L"fourth"}).counts.copied, 2);
    EXPECT_EQ(Names(L"2023\\05\\03"), (std::set<std::wstring>{L"IMG_0005.JPG"}));
    EXPECT_TRUE(FileExists(output_ + L"\\2025\\01\\21\\IMG_0005.MOV"));
}

}  // namespace
