// The one folder walk and the removals built on it, on real trees with real links made by the
// host: loops of one and of three, links that lead out of the tree, the walked folder given
// through a link, and links the compatibility layer does not show as links at all.

#include "base/folder_walk.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/file_removal.h"
#include "tests/support/host_files.h"
#include "tests/support/temp_folder.h"
#include "tests/organize/organize_test_files.h"

namespace {

// Records what the walk does, in order.
class RecordingWalker : public FolderWalker {
public:
    std::vector<std::wstring> events;

    std::size_t Count(const std::wstring& event) const { return std::count(events.begin(), events.end(), event); }
    std::size_t Position(const std::wstring& event) const
    {
        return static_cast<std::size_t>(std::find(events.begin(), events.end(), event) - events.begin());
    }

protected:
    void OnEnterFolder(const std::wstring& path) override { events.push_back(L"enter " + path); }
    void OnLeaveFolder(const std::wstring& path) override { events.push_back(L"leave " + path); }
    void OnFile(const std::wstring& folder, const WIN32_FIND_DATAW& found) override
    {
        events.push_back(L"file " + folder + L"\\" + found.cFileName);
    }
    void OnLink(const std::wstring& path, const WIN32_FIND_DATAW&) override { events.push_back(L"link " + path); }
    void OnFolderWalkedAlready(const std::wstring& path) override { events.push_back(L"again " + path); }
};

class FolderWalkTest : public testing::Test {
protected:
    TempFolder root_;
    std::wstring tree_ = root_.File(L"tree");
    std::wstring outside_ = root_.File(L"outside");

    std::wstring In(const std::wstring& relative) const { return tree_ + L"\\" + relative; }
    void Link(const std::wstring& link, const std::wstring& target) { ASSERT_TRUE(MakeHostLink(link, target)) << link; }
    std::size_t FilesSeen(const RecordingWalker& walker) const
    {
        return static_cast<std::size_t>(std::count_if(walker.events.begin(), walker.events.end(),
                                                      [](const std::wstring& e) { return e.rfind(L"file ", 0) == 0; }));
    }
};

TEST_F(FolderWalkTest, EveryFileOnceDepthFirstAndNoLinkBelowTheTopFollowed)
{
    MakeFile(In(L"a\\one.jpg"));
    MakeFile(In(L"a\\b\\two.jpg"));
    MakeFile(In(L"three.jpg"));
    MakeFile(outside_ + L"\\secret.jpg");
    Link(In(L"a\\b\\up"), L"..");  // a loop of one: back to its own parent
    for (const wchar_t* name : {L"x", L"y", L"z"})
        MakeFile(In(std::wstring(name) + L"\\" + name + L".jpg"));
    Link(In(L"x\\toY"), In(L"y"));  // a loop of three
    Link(In(L"y\\toZ"), In(L"z"));
    Link(In(L"z\\toX"), In(L"x"));
    Link(In(L"out"), outside_);  // out of the tree
    Link(In(L"PhotoAlbum.cache"), outside_);  // out of it, under a name of our own

    RecordingWalker walker;
    walker.Walk(tree_);
    const auto& e = walker.events;
    EXPECT_EQ(e.front(), L"enter " + tree_);
    EXPECT_EQ(e.back(), L"leave " + tree_);
    for (const wchar_t* file : {L"a\\one.jpg", L"a\\b\\two.jpg", L"three.jpg", L"x\\x.jpg", L"y\\y.jpg", L"z\\z.jpg"})
        EXPECT_EQ(walker.Count(L"file " + In(file)), 1u) << file;
    EXPECT_EQ(FilesSeen(walker), 6u);
    for (const wchar_t* link : {L"a\\b\\up", L"x\\toY", L"y\\toZ", L"z\\toX", L"out", L"PhotoAlbum.cache"})
        EXPECT_EQ(walker.Count(L"link " + In(link)), 1u) << link;
    // A sub-folder is walked when it is met: its files come between its enter and its leave.
    EXPECT_LT(walker.Position(L"enter " + In(L"a\\b")), walker.Position(L"file " + In(L"a\\b\\two.jpg")));
    EXPECT_LT(walker.Position(L"file " + In(L"a\\b\\two.jpg")), walker.Position(L"leave " + In(L"a\\b")));

    // The folder a walk is given is taken wherever it leads; what one walker has walked, it
    // never walks again, by whatever path it comes.
    const std::wstring named = root_.File(L"named link");
    Link(named, tree_);
    RecordingWalker again;
    again.Walk(named);
    again.Walk(tree_);
    again.Walk(In(L"a"));
    EXPECT_EQ(again.Count(L"file " + named + L"\\three.jpg"), 1u);
    EXPECT_EQ(FilesSeen(again), 6u);
    EXPECT_EQ(again.Count(L"again " + tree_), 1u);
    EXPECT_EQ(again.Count(L"again " + In(L"a")), 1u);
    again.ForgetWalkedFolders();
    again.Walk(In(L"a"));
    EXPECT_EQ(FilesSeen(again), 8u);
}

TEST_F(FolderWalkTest, APathPastTheLongestTheSystemTakesIsToldNotCut)
{
    class TooLong : public RecordingWalker {
    protected:
        void OnPathTooLong(const std::wstring& path) override { events.push_back(L"too long " + path); }
    } walker;
    const std::wstring folder = L"C:\\" + std::wstring(32767, L'a');
    walker.Walk(folder);
    EXPECT_EQ(walker.events, (std::vector<std::wstring>{L"enter " + folder, L"too long " + folder, L"leave " + folder}));
}

// Removals never reach what a link leads to. Where the platform can remove a link as itself,
// the link goes; where it cannot (our tests' compatibility layer follows a link on removal,
// to an empty folder or a file outside), the link is refused and stays.
TEST_F(FolderWalkTest, ClearingRemovesLinksNeverWhatTheyLead)
{
    const Bytes thesis{'t', 'h', 'e', 's', 'i', 's'};
    MakeFile(outside_ + L"\\thesis.docx", thesis);
    MakeFile(outside_ + L"\\notes.txt", {'n'});
    const std::wstring emptyOutside = root_.File(L"empty outside");
    ASSERT_TRUE(CreateDirectoryW(emptyOutside.c_str(), nullptr));
    MakeFile(In(L"keep\\kept.jpg"));
    MakeFile(In(L"keep\\gone.jpg"));
    MakeFile(In(L"sub\\deeper\\gone.txt"));
    Link(In(L"sub\\to outside"), outside_);
    Link(In(L"to empty"), emptyOutside);
    // The layer shows a link to a file as the file itself: only where it leads tells.
    Link(In(L"sub\\notes.txt"), outside_ + L"\\notes.txt");

    std::wstring failedPath;
    const StatusCode cleared = ClearFolderTree(
        tree_, [](const std::wstring& path, const WIN32_FIND_DATAW&) { return path.ends_with(L"kept.jpg"); }, &failedPath);
    EXPECT_TRUE(cleared == kStatusOk || cleared == kStatusLeadsElsewhere) << HexStatus(cleared);
    if (cleared != kStatusOk) {
        EXPECT_NE(failedPath.find(tree_ + L"\\"), std::wstring::npos) << failedPath;
    }
    EXPECT_EQ(ReadBytes(outside_ + L"\\thesis.docx"), thesis);
    EXPECT_EQ(ReadBytes(outside_ + L"\\notes.txt"), Bytes{'n'});
    EXPECT_NE(GetFileAttributesW(emptyOutside.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(FileExists(In(L"keep\\kept.jpg")));
    EXPECT_FALSE(FileExists(In(L"keep\\gone.jpg")));

    // The walked folder itself as a link is removed as one, never emptied.
    const std::wstring linkedTree = root_.File(L"linked tree");
    Link(linkedTree, outside_);
    const StatusCode deleted = DeleteFolderTree(linkedTree);
    EXPECT_TRUE(deleted == kStatusOk || deleted == kStatusLeadsElsewhere) << HexStatus(deleted);
    EXPECT_EQ(ReadBytes(outside_ + L"\\thesis.docx"), thesis);
    EXPECT_EQ(RemoveEntry(In(L"sub\\notes.txt")), kStatusLeadsElsewhere);
    EXPECT_EQ(ReadBytes(outside_ + L"\\notes.txt"), Bytes{'n'});
    for (const wchar_t* link : {L"sub\\to outside", L"to empty", L"sub\\notes.txt"})
        RemoveHostLink(In(link));
    RemoveHostLink(linkedTree);
}

TEST_F(FolderWalkTest, RemovalsTakeFilesAndEmptyFoldersAndRefuseTheRest)
{
    const std::wstring file = MakeFile(In(L"plain.txt"));
    const std::wstring readOnly = MakeFile(In(L"read-only.txt"));
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    MakeFile(In(L"full\\x.txt"));
    ASSERT_TRUE(CreateDirectoryW(In(L"empty").c_str(), nullptr));

    EXPECT_EQ(RemoveEntry(file), kStatusOk);
    EXPECT_FALSE(FileExists(file));
    EXPECT_EQ(RemoveEntry(In(L"empty")), kStatusOk);
    EXPECT_EQ(GetFileAttributesW(In(L"empty").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(RemoveEntry(In(L"full")), StatusFromWin32(ERROR_DIR_NOT_EMPTY));
    EXPECT_EQ(RemoveEntry(readOnly), StatusFromWin32(ERROR_ACCESS_DENIED));  // read-only is not cleared
    EXPECT_EQ(RemoveEntry(In(L"absent.txt")), StatusFromWin32(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(RemoveEntryIfThere(In(L"absent.txt")), kStatusOk);

    std::wstring failedPath;
    EXPECT_EQ(ClearFolderTree(tree_, nullptr, &failedPath), StatusFromWin32(ERROR_ACCESS_DENIED));
    EXPECT_EQ(failedPath, readOnly);
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(DeleteFolderTree(tree_), kStatusOk);
    EXPECT_EQ(GetFileAttributesW(tree_.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(DeleteFolderTree(tree_), StatusFromWin32(ERROR_PATH_NOT_FOUND));
}

}  // namespace
