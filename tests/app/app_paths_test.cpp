#include "app/app_paths.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "app/dll_function.h"

namespace {

TEST(AppPathsTest, ExeFolderHoldsTheRunningProgram)
{
    const std::wstring folder = GetExeFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), L'\\');
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    EXPECT_EQ(folder + L"\\kasumiro_app_tests.exe", std::wstring(module));
    // What ships beside the programs is there.
    EXPECT_NE(GetFileAttributesW((folder + L"\\menu_image.bmp").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW((folder + L"\\Template\\0001").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(AppPathsTest, FolderOfPathCutsAtTheLastBackslash)
{
    EXPECT_EQ(FolderOfPath(L"C:\\Apps\\x.exe"), L"C:\\Apps");
    EXPECT_EQ(FolderOfPath(L"C:\\x.exe"), L"C:");
    EXPECT_EQ(FolderOfPath(L"x.exe"), L"");
    EXPECT_EQ(FolderOfPath(L"\\\\server\\share\\写真\\a.jpg"), L"\\\\server\\share\\写真");
}

TEST(DllFunctionTest, FindsExportsAndToleratesMissingOnes)
{
    DllFunction_CL user32(L"user32.dll");
    EXPECT_TRUE(user32.IsLoaded());
    using IsProcessDpiAwareFn = BOOL(WINAPI*)();
    EXPECT_NE(user32.Get<IsProcessDpiAwareFn>("IsProcessDPIAware"), nullptr);
    EXPECT_EQ(user32.GetFunction("NoSuchExportAnywhere"), nullptr);

    DllFunction_CL missing(L"no-such-library-kasumiro.dll");
    EXPECT_FALSE(missing.IsLoaded());
    EXPECT_EQ(missing.GetFunction("GetProcessDpiAwareness"), nullptr);
}

}  // namespace
