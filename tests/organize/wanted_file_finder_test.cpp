#include <gtest/gtest.h>

#include <cstdio>

#include "base/file_removal.h"
#include "base/handles.h"
#include "organize/folder_utils.h"
#include "organize/wanted_file_finder.h"
#include "tests/organize/organize_test_files.h"
#include "tests/support/temp_folder.h"

namespace {

TEST(FindFileTest, OrganizeFinderKeepsWantedKindsWithDates)
{
    TempFolder root;
    const std::wstring in = root.File(L"my.photos");
    MakeFile(in + L"\\IMG_0001.JPG", JpegWithDates("2019:07:14 09:30:00"));
    MakeFile(in + L"\\MVI_0001.MOV");
    MakeFile(in + L"\\README");
    // The program's own files and folders, at any depth of an input that was an output.
    MakeFile(in + L"\\Sortavel.dat");
    MakeFile(in + L"\\sub\\SORTAVEL.DAT");
    MakeFile(in + L"\\sub\\.kasumiro-copying");  // a copy a stopped run left half-made
    MakeFile(in + L"\\sub\\PhotoAlbum.cache\\0123456789abcdef.thumb");
    MakeFile(in + L"\\sub\\PhotoAlbum.cache\\scan.facts");
    MakeFile(in + L"\\sub\\photoalbum\\thumb\\2019\\20190714_0.jpg", JpegWithDates("2019:07:14 09:30:00"));
    OrganizeSettings settings;  // empty lists: nothing listed
    settings.PhotoList.AddItem(ExtensionEntry{1, 1, L".jpg"}, true);
    settings.ArrangePhoto = 1;
    std::vector<FileFacts> files;
    WantedFileFinder finder(&settings, &files);
    finder.Walk(in);
    ASSERT_EQ(files.size(), 1u);
    // What the listing learned stays with the file: its date, size and signature.
    EXPECT_EQ(files[0].path, in + L"\\IMG_0001.JPG");
    EXPECT_EQ(files[0].source, CaptureDateSource::kExif);
    EXPECT_EQ(files[0].date.wYear, 2019);
    EXPECT_EQ(files[0].size, FileSize(in + L"\\IMG_0001.JPG"));
    EXPECT_EQ(files[0].signature, ComputeFileSignature(in + L"\\IMG_0001.JPG"));

    settings.ArrangeEtc = 1;  // everything else too, README by its folder's dot
    files.clear();
    finder.ForgetWalkedFolders();  // a new search: the folders are walked again
    finder.Walk(in);
    EXPECT_EQ(files.size(), 3u);
}

// A folder of many files is read on several workers: the list is the same as each file read
// on its own would give, in the order the files were met, and a file that cannot be read is
// counted once.
TEST(FindFileTest, AFolderReadOnWorkersListsWhatEachFileAloneWouldGive)
{
    TempFolder root;
    const std::wstring in = root.File(L"DCIM");
    for (int i = 0; i < 40; ++i) {
        char date[32];
        std::snprintf(date, sizeof date, "2019:07:%02d 09:30:%02d", 1 + i % 28, i);
        MakeFile(in + L"\\IMG_" + std::to_wstring(1000 + i) + L".JPG", JpegWithDates(date));
    }
    const std::wstring locked = in + L"\\IMG_1020.JPG";
    const UniqueFile held(CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    OrganizeSettings settings;
    settings.PhotoList.AddItem(ExtensionEntry{1, 1, L".jpg"}, true);
    settings.ArrangePhoto = 1;
    std::vector<FileFacts> files;
    WantedFileFinder finder(&settings, &files);
    finder.Walk(in);
    EXPECT_EQ(finder.UnreadableCount(), 1);
    ASSERT_EQ(files.size(), 39u);
    std::size_t at = 0;
    for (int i = 0; i < 40; ++i) {
        const std::wstring path = in + L"\\IMG_" + std::to_wstring(1000 + i) + L".JPG";
        if (path == locked)
            continue;
        FileFacts alone;
        ASSERT_TRUE(GatherFileFacts(path, nullptr, &alone));
        const FileFacts& listed = files[at++];
        EXPECT_EQ(listed.path, path);
        EXPECT_EQ(listed.source, CaptureDateSource::kExif) << i;
        EXPECT_EQ(listed.date.wDay, alone.date.wDay) << i;
        EXPECT_EQ(listed.date.wSecond, alone.date.wSecond) << i;
        EXPECT_EQ(listed.signature, alone.signature) << i;
    }
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
