#include "organize/find_file.h"

#include <gtest/gtest.h>

#include "organize/folder_utils.h"
#include "organize/my_find_file.h"
#include "tests/organize/organize_test_files.h"
#include "tests/support/temp_folder.h"

namespace {

// Records what the walk does, in order.
class RecordingFinder : public FindFile_CL {
public:
    std::vector<std::wstring> events;

protected:
    void OnEnterFolder(const std::wstring& path, const std::wstring& name) override
    {
        events.push_back(L"enter " + path + L" " + name);
    }
    void OnFile(const std::wstring& folder, const WIN32_FIND_DATAW& found) override
    {
        events.push_back(L"file " + folder + L"\\" + found.cFileName);
    }
    void OnLeaveFolder() override { events.push_back(L"leave"); }
};

bool Contains(const std::vector<std::wstring>& events, const std::wstring& needle)
{
    for (const auto& e : events)
        if (e.find(needle) != std::wstring::npos)
            return true;
    return false;
}

TEST(FindFileTest, DepthFirstAndExcludedFoldersCaseInsensitive)
{
    TempFolder root;
    const std::wstring in = root.File(L"in");
    MakeFile(in + L"\\a\\one.jpg");
    MakeFile(in + L"\\a\\b\\two.jpg");
    MakeFile(in + L"\\PHOTOALBUM\\thumb.jpg");
    MakeFile(in + L"\\three.jpg");
    RecordingFinder finder;
    finder.AddExcludedFolder(in + L"\\PhotoAlbum");
    finder.Find(in + L"\\*.*", true);
    const auto& e = finder.events;
    ASSERT_FALSE(e.empty());
    EXPECT_EQ(e.front(), L"enter " + in + L" " + in);
    EXPECT_EQ(e.back(), L"leave");
    EXPECT_FALSE(Contains(e, L"thumb.jpg"));
    // A sub-folder is walked when met: its files come between its enter and leave.
    const auto enterA = std::find(e.begin(), e.end(), L"enter " + in + L"\\a a");
    const auto two = std::find(e.begin(), e.end(), L"file " + in + L"\\a\\b\\two.jpg");
    ASSERT_NE(enterA, e.end());
    ASSERT_NE(two, e.end());
    EXPECT_LT(enterA, two);
    EXPECT_TRUE(Contains(e, L"file " + in + L"\\three.jpg"));

    RecordingFinder flat;
    flat.Find(in + L"\\*.*", false);
    EXPECT_FALSE(Contains(flat.events, L"two.jpg"));
    EXPECT_TRUE(Contains(flat.events, L"three.jpg"));

    RecordingFinder missing;
    missing.Find(root.File(L"no such folder\\*.*"), true);
    EXPECT_EQ(missing.events.size(), 2u);  // enter and leave of the base folder only
}

TEST(FindFileTest, PatternsPastThePathLimitFindNothing)
{
    RecordingFinder finder;
    finder.Find(L"C:\\" + std::wstring(300, L'a') + L"\\*.*", true);
    EXPECT_TRUE(finder.events.empty());
}

TEST(FindFileTest, OrganizeFinderKeepsWantedKindsWithDates)
{
    TempFolder root;
    const std::wstring in = root.File(L"my.photos");
    MakeFile(in + L"\\IMG_0001.JPG", JpegWithDates("2019:07:14 09:30:00"));
    MakeFile(in + L"\\MVI_0001.MOV");
    MakeFile(in + L"\\README");
    MakeFile(in + L"\\Sortavel.dat");
    MakeFile(in + L"\\sub\\.kasumiro-copying");  // a copy a stopped run left half-made
    OrganizeSettings settings;  // empty lists: nothing listed
    settings.PhotoList.AddItem(CompareExtItem{1, 1, L".jpg", L"", L""}, true);
    settings.ArrangePhoto = 1;
    std::vector<FileFacts_CL> files;
    MyFindFile_CL finder(&settings, &files);
    finder.Find(in + L"\\*.*", true);
    ASSERT_EQ(files.size(), 1u);
    // What the listing learned stays with the file: its date, size and signature.
    EXPECT_EQ(files[0].path, in + L"\\IMG_0001.JPG");
    EXPECT_EQ(files[0].source, CaptureDateSource::kExif);
    EXPECT_EQ(files[0].date.wYear, 2019);
    EXPECT_EQ(files[0].size, FileSize(in + L"\\IMG_0001.JPG"));
    EXPECT_EQ(files[0].signature, ComputeFileSignature(in + L"\\IMG_0001.JPG"));

    settings.ArrangeEtc = 1;  // everything else too, README by its folder's dot
    files.clear();
    finder.Reset();  // a new search: the folders are walked again
    finder.Find(in + L"\\*.*", true);
    EXPECT_EQ(files.size(), 4u);
}

TEST(FolderUtilsTest, EmptinessCountsFoldersAndVisibleFiles)
{
    TempFolder root;
    EXPECT_TRUE(IsFolderEmpty(root.File(L"missing"), true));
    EXPECT_TRUE(IsFolderEmpty(root.Path(), false));
    const std::wstring hidden = MakeFile(root.File(L"desktop.ini"));
    SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(IsFolderEmpty(root.Path(), true));
    EXPECT_FALSE(IsFolderEmpty(root.Path(), false));
    const std::wstring sub = root.File(L"hidden folder");
    CreateDirectoryW(sub.c_str(), nullptr);
    SetFileAttributesW(sub.c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(IsFolderEmpty(root.Path(), true));
}

TEST(FolderUtilsTest, CreateCopyAndDeleteTrees)
{
    TempFolder root;
    const std::wstring deep = root.File(L"2024\\07\\05");
    EXPECT_EQ(CreateFolderPath(deep), kStatusOk);
    EXPECT_TRUE(GetFileAttributesW(deep.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(CreateFolderPath(deep), kStatusOk);  // existing levels are fine
    EXPECT_NE(CreateFolderPath(L"\\\\"), kStatusOk);

    MakeFile(root.File(L"src\\a.txt"), {'a'});
    MakeFile(root.File(L"src\\sub\\b.txt"), {'b'});
    const std::wstring dst = root.File(L"dst");
    CreateDirectoryW(dst.c_str(), nullptr);
    EXPECT_EQ(CopyFolderTree(root.File(L"src"), dst), kStatusOk);
    EXPECT_EQ(ReadBytes(dst + L"\\sub\\b.txt"), Bytes{'b'});
    // Once more: the sub-folder exists now.
    EXPECT_EQ(CopyFolderTree(root.File(L"src"), dst), StatusFromWin32(ERROR_ALREADY_EXISTS));

    EXPECT_EQ(DeleteFolderTree(dst), kStatusOk);
    EXPECT_EQ(GetFileAttributesW(dst.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(DeleteFolderTree(dst), StatusFromWin32(ERROR_PATH_NOT_FOUND));
}

}  // namespace
