// Kasumiro.exe started as a user starts it, with Documents pointed at a fresh folder.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "base/settings_store.h"
#include "tests/support/child_process.h"
#include "tests/support/documents_folder.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_files.h"
#include "base/handles.h"

namespace {

// Generous: the first window of a fresh Wine prefix waits for its font setup.
constexpr DWORD kStartTimeoutMs = 120000;

class StartupTest : public testing::Test {
protected:
    TempFolder documents_;
    ScopedDocumentsFolder redirect_{documents_.Path()};
    std::wstring dataFolder_ = documents_.File(L"Lumidex");
    std::wstring iniPath_ = dataFolder_ + L"\\Lumidex.ini";
    std::wstring logPath_ = dataFolder_ + L"\\log.txt";
    const std::wstring program_ = QuotedProgram(L"Kasumiro.exe");

    // Starts Kasumiro and waits for its window.
    HWND StartAndWaitForWindow(ChildProcess& child)
    {
        if (!child.Start(program_))
            return nullptr;
        return child.WaitForWindow(L"Kasumiro", kStartTimeoutMs);
    }

    static void CloseAndExpectExitCode0(ChildProcess& child, HWND window)
    {
        PostMessageW(window, WM_CLOSE, 0, 0);
        ASSERT_TRUE(child.WaitForExit(kStartTimeoutMs));
        EXPECT_EQ(child.ExitCode(), 0u);
    }

    std::uint32_t StoredSeed() const
    {
        SettingsStore ini;
        ini.Open(iniPath_);
        return static_cast<std::uint32_t>(ini.GetInt(L"APP_INFO", L"rand_seed", 0));
    }
};

TEST_F(StartupTest, FirstStartCreatesTheDataFolderSettingsAndLog)
{
    ChildProcess app;
    HWND window = StartAndWaitForWindow(app);
    ASSERT_NE(window, nullptr) << "no Kasumiro window appeared";

    const DWORD attributes = GetFileAttributesW(dataFolder_.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);

    const Bytes ini = ReadBytes(iniPath_);
    ASSERT_GE(ini.size(), 2u);
    EXPECT_EQ(ini[0], 0xFF);
    EXPECT_EQ(ini[1], 0xFE);
    const std::wstring settings = ReadUtf16Text(iniPath_);
    EXPECT_NE(settings.find(L"[APP_INFO]"), std::wstring::npos) << settings;
    EXPECT_NE(settings.find(L"rand_seed="), std::wstring::npos) << settings;

    const std::wstring log = ReadUtf16Text(logPath_);
    EXPECT_EQ(CountOf(log, L" : Inifile新規作成 = " + iniPath_ + L"\r\n"), 1u) << log;
    EXPECT_EQ(CountOf(log, L" : \r\n★★★★★ アプリ起動 ★★★★★\r\n"), 1u) << log;
    EXPECT_EQ(CountOf(log, L" : DataFolderPath = \"" + dataFolder_ + L"\"\r\n"), 1u) << log;
    EXPECT_LT(log.find(L"Inifile新規作成"), log.find(L"アプリ起動"));

    CloseAndExpectExitCode0(app, window);
}

TEST_F(StartupTest, SecondInstanceLogsAndLeavesQuietly)
{
    ChildProcess first;
    HWND window = StartAndWaitForWindow(first);
    ASSERT_NE(window, nullptr);

    ChildProcess second;
    ASSERT_TRUE(second.Start(program_));
    ASSERT_TRUE(second.WaitForExit(kStartTimeoutMs)) << "the second instance kept running";
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_FALSE(second.HasVisibleWindow());

    const std::wstring log = ReadUtf16Text(logPath_);
    EXPECT_EQ(CountOf(log, L"★★★★★ アプリ起動 ★★★★★"), 2u) << log;
    EXPECT_EQ(CountOf(log, L"DataFolderPath = "), 2u) << log;
    EXPECT_EQ(CountOf(log, L" : 多重起動チェックで既に起動中でした。\r\n"), 1u) << log;
    // The settings file was created once, by the first instance.
    EXPECT_EQ(CountOf(log, L"Inifile新規作成"), 1u) << log;

    EXPECT_TRUE(IsWindow(window)) << "the first instance's window went away";
    CloseAndExpectExitCode0(first, window);
}

TEST_F(StartupTest, EachStartAdvancesTheStoredSeedByItsTickCount)
{
    CreateDirectoryW(dataFolder_.c_str(), nullptr);
    {
        SettingsStore ini;
        ini.Open(iniPath_);
        EXPECT_TRUE(ini.SetInt(L"APP_INFO", L"rand_seed", 1000));
    }
    std::uint32_t previous = 1000;
    for (int start = 0; start < 2; ++start) {
        ChildProcess app;
        const DWORD before = GetTickCount();
        HWND window = StartAndWaitForWindow(app);
        const DWORD after = GetTickCount();
        ASSERT_NE(window, nullptr);
        const std::uint32_t seed = StoredSeed();
        // seed = previous seed + the tick count at that start (both wrap at 32 bits).
        const std::uint32_t tick = seed - previous;
        EXPECT_GE(tick, before);
        EXPECT_LE(tick, after);
        previous = seed;
        CloseAndExpectExitCode0(app, window);
    }
}

}  // namespace
