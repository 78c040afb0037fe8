#include "base/paths.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "base/dll_function.h"

namespace {

TEST(PathsTest, ExeFolderHoldsTheRunningProgram)
{
    const std::wstring folder = GetExeFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), L'\\');
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    EXPECT_EQ(folder + L"\\kasumiro_base_tests.exe", std::wstring(module));
    // What ships beside the programs is there.
    EXPECT_NE(GetFileAttributesW((folder + L"\\menu_image.bmp").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW((folder + L"\\Template\\0001").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(PathsTest, FolderOfPathCutsAtTheLastBackslash)
{
    EXPECT_EQ(FolderOfPath(L"C:\\Apps\\x.exe"), L"C:\\Apps");
    EXPECT_EQ(FolderOfPath(L"C:\\x.exe"), L"C:");
    EXPECT_EQ(FolderOfPath(L"x.exe"), L"");
    EXPECT_EQ(FolderOfPath(L"\\\\server\\share\\写真\\a.jpg"), L"\\\\server\\share\\写真");
}

TEST(PathsTest, TheLongFormNamesWhatThePlainFormNames)
{
    const struct {
        const wchar_t* plain;
        const wchar_t* longForm;
    } cases[] = {
        {L"C:\\写真\\IMG_0001.JPG", L"\\\\?\\C:\\写真\\IMG_0001.JPG"},
        {L"d:\\", L"\\\\?\\d:\\"},
        {L"C:\\card\\IMG_0001.JPG. ", L"\\\\?\\C:\\card\\IMG_0001.JPG. "},  // the trailing dot and space stay
        {L"\\\\nas\\写真\\2024", L"\\\\?\\UNC\\nas\\写真\\2024"},
        {L"\\\\?\\C:\\x", L"\\\\?\\C:\\x"},
        {L"C:/card/./DCIM/../IMG_0001.JPG", L"\\\\?\\C:\\card\\IMG_0001.JPG"},
        {L"C:\\card\\\\IMG_0001.JPG", L"\\\\?\\C:\\card\\IMG_0001.JPG"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExtendedLengthPath(c.plain), c.longForm) << c.plain;
    // A relative path is taken from the current folder, as the system takes it.
    EXPECT_EQ(ExtendedLengthPath(L"x.jpg"), L"\\\\?\\" + FullPathOf(L"x.jpg"));
}

TEST(PathsTest, PathTextIsTakenApartAtTheLastBackslashAndTheLastDot)
{
    EXPECT_EQ(NameOfPath(L"C:\\写真\\IMG_0001.JPG"), L"IMG_0001.JPG");
    EXPECT_EQ(NameOfPath(L"IMG_0001.JPG"), L"IMG_0001.JPG");
    EXPECT_EQ(ExtensionOf(L"C:\\写真\\IMG_0001.tar.JPG"), L".JPG");
    EXPECT_EQ(ExtensionOf(L"C:\\写真\\README"), L"");
    // No dot in the name: the extension is a folder's tail, which no list holds.
    EXPECT_EQ(ExtensionOf(L"C:\\v1.2\\README"), L".2\\README");
    EXPECT_EQ(LowerAscii(L".JPG.Ｊｐｇ"), L".jpg.Ｊｐｇ");  // only A to Z fold
    EXPECT_EQ(WithoutTrailingBackslash(L"E:\\"), L"E:");
    EXPECT_EQ(WithoutTrailingBackslash(L"E:\\DCIM\\\\"), L"E:\\DCIM\\");  // one backslash only
    EXPECT_EQ(WithoutTrailingBackslash(L""), L"");
    EXPECT_TRUE(SamePathText(L"D:\\Photos\\写真", L"d:\\PHOTOS\\写真"));
    EXPECT_FALSE(SamePathText(L"D:\\Photos", L"D:\\Photos2"));
}

TEST(DllFunctionTest, FindsExportsAndToleratesMissingOnes)
{
    DllFunction user32(L"user32.dll");
    EXPECT_TRUE(user32.IsLoaded());
    using IsProcessDpiAwareFn = BOOL(WINAPI*)();
    EXPECT_NE(user32.Get<IsProcessDpiAwareFn>("IsProcessDPIAware"), nullptr);
    EXPECT_EQ(user32.GetFunction("NoSuchExportAnywhere"), nullptr);

    DllFunction missing(L"no-such-library-kasumiro.dll");
    EXPECT_FALSE(missing.IsLoaded());
    EXPECT_EQ(missing.GetFunction("GetProcessDpiAwareness"), nullptr);
}

}  // namespace
