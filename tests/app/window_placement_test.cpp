// Where the main window was: saved and restored only while it is on a monitor.

#include "app/window_placement.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>

#include "tests/support/temp_folder.h"
#include "ui/monitor_list.h"

namespace {

RECT PrimaryWorkArea()
{
    MonitorList screens;
    screens.Enumerate();
    return screens.Primary().info.rcWork;
}

const RECT kDefault{10, 20, 650, 660};

class WindowPlacementTest : public testing::Test {
protected:
    TempFolder folder_;
    SettingsStore ini_;
    void SetUp() override { ini_.Open(folder_.File(L"Lumidex.ini")); }
};

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

void StoreRect(const SettingsStore& ini, const RECT& rect)
{
    const std::int32_t values[4] = {rect.left, rect.top, rect.right, rect.bottom};
    ini.SetStruct(L"Window", L"WindowRect", values, sizeof values);
}

TEST_F(WindowPlacementTest, StoredRectOnAMonitorIsRestored)
{
    const RECT work = PrimaryWorkArea();
    const RECT stored{work.left + 5, work.top + 7, work.left + 405, work.top + 307};
    StoreRect(ini_, stored);
    EXPECT_TRUE(SameRect(LoadWindowRect(ini_, L"Window", L"WindowRect", kDefault), stored));
    // The struct text: 16 bytes as hex digits, then the checksum byte.
    EXPECT_EQ(ini_.GetString(L"Window", L"WindowRect", L"").size(), 34u);
}

TEST_F(WindowPlacementTest, MissingOrDamagedRectGivesTheDefault)
{
    EXPECT_TRUE(SameRect(LoadWindowRect(ini_, L"Window", L"WindowRect", kDefault), kDefault));

    const RECT work = PrimaryWorkArea();
    StoreRect(ini_, RECT{work.left + 5, work.top + 7, work.left + 405, work.top + 307});
    std::wstring text = ini_.GetString(L"Window", L"WindowRect", L"");
    ASSERT_EQ(text.size(), 34u);
    text[33] = text[33] == L'0' ? L'1' : L'0';  // wrong checksum
    ini_.SetString(L"Window", L"WindowRect", text.c_str());
    EXPECT_TRUE(SameRect(LoadWindowRect(ini_, L"Window", L"WindowRect", kDefault), kDefault));

    ini_.SetString(L"Window", L"WindowRect", L"0A00000014000000");  // too short
    EXPECT_TRUE(SameRect(LoadWindowRect(ini_, L"Window", L"WindowRect", kDefault), kDefault));
}

TEST_F(WindowPlacementTest, RectOffEveryMonitorGivesTheDefault)
{
    StoreRect(ini_, RECT{-30000, -30000, -29360, -29360});
    EXPECT_TRUE(SameRect(LoadWindowRect(ini_, L"Window", L"WindowRect", kDefault), kDefault));
    // Just past the right edge of the work area is off it too.
    const RECT work = PrimaryWorkArea();
    StoreRect(ini_, RECT{work.right, work.top, work.right + 640, work.top + 640});
    EXPECT_TRUE(SameRect(LoadWindowRect(ini_, L"Window", L"WindowRect", kDefault), kDefault));
}

class TestWindow {
public:
    TestWindow(int x, int y)
        : window_(CreateWindowExW(0, L"STATIC", L"rect test", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  x, y, 300, 200, nullptr, nullptr, nullptr, nullptr))
    {
    }
    ~TestWindow() { DestroyWindow(window_); }
    HWND get() const { return window_; }

private:
    HWND window_;
};

TEST_F(WindowPlacementTest, SavesAWindowOnAMonitor)
{
    const RECT work = PrimaryWorkArea();
    TestWindow window(work.left + 50, work.top + 60);
    ASSERT_NE(window.get(), nullptr);
    ASSERT_TRUE(SaveWindowRect(ini_, window.get(), L"Window", L"WindowRect"));
    RECT actual{};
    GetWindowRect(window.get(), &actual);
    EXPECT_TRUE(SameRect(LoadWindowRect(ini_, L"Window", L"WindowRect", kDefault), actual));
}

TEST_F(WindowPlacementTest, MinimizedOrMaximizedWindowKeepsThePreviousRect)
{
    const RECT work = PrimaryWorkArea();
    const RECT previous{work.left + 1, work.top + 2, work.left + 301, work.top + 202};
    StoreRect(ini_, previous);
    const std::wstring before = ini_.GetString(L"Window", L"WindowRect", L"");

    TestWindow window(work.left + 50, work.top + 60);
    ShowWindow(window.get(), SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(window.get()));
    EXPECT_FALSE(SaveWindowRect(ini_, window.get(), L"Window", L"WindowRect"));
    ShowWindow(window.get(), SW_MAXIMIZE);
    ASSERT_TRUE(IsZoomed(window.get()));
    EXPECT_FALSE(SaveWindowRect(ini_, window.get(), L"Window", L"WindowRect"));
    EXPECT_EQ(ini_.GetString(L"Window", L"WindowRect", L""), before);
}

TEST_F(WindowPlacementTest, WindowOffEveryMonitorIsNotSaved)
{
    TestWindow window(-20000, -20000);
    EXPECT_FALSE(SaveWindowRect(ini_, window.get(), L"Window", L"WindowRect"));
    EXPECT_EQ(ini_.GetString(L"Window", L"WindowRect", L"none"), L"none");
}

}  // namespace
