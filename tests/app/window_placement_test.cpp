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
    EXPECT_TRUE(ini.SetStruct(L"Window", L"WindowRect", values, sizeof values));
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
    EXPECT_TRUE(ini_.SetString(L"Window", L"WindowRect", text.c_str()));
    EXPECT_TRUE(SameRect(LoadWindowRect(ini_, L"Window", L"WindowRect", kDefault), kDefault));

    EXPECT_TRUE(ini_.SetString(L"Window", L"WindowRect", L"0A00000014000000"));  // too short
    EXPECT_TRUE(SameRect(LoadWindowRect(ini_, L"Window", L"WindowRect", kDefault), kDefault));
}

// A window saved on a monitor that is gone (or partly off the one it is on) comes back whole
// on the nearest, its size kept where it fits.
TEST_F(WindowPlacementTest, RectOffEveryMonitorComesBackWholeOnTheNearest)
{
    const RECT work = PrimaryWorkArea();
    StoreRect(ini_, RECT{-30000, -30000, -29360, -29360});
    EXPECT_TRUE(SameRect(LoadWindowRect(ini_, L"Window", L"WindowRect", kDefault),
                         RECT{work.left, work.top, work.left + 640, work.top + 640}));
    // A monitor to the right that is gone: the window comes back against the right edge.
    StoreRect(ini_, RECT{work.right + 100, work.top + 50, work.right + 740, work.top + 450});
    EXPECT_TRUE(SameRect(LoadWindowRect(ini_, L"Window", L"WindowRect", kDefault),
                         RECT{work.right - 640, work.top + 50, work.right, work.top + 450}));
    // Larger than the work area: it fills it.
    StoreRect(ini_, RECT{work.left - 10, work.top - 10, work.right + 10, work.bottom + 10});
    EXPECT_TRUE(SameRect(LoadWindowRect(ini_, L"Window", L"WindowRect", kDefault), work));
    // No rectangle at all is damage.
    StoreRect(ini_, RECT{100, 100, 100, 50});
    EXPECT_TRUE(SameRect(LoadWindowRect(ini_, L"Window", L"WindowRect", kDefault), kDefault));
}

TEST(FitIntoWorkAreaTest, MovesAndShrinksOnlyWhatIsNeeded)
{
    const RECT work{1920, 0, 3200, 1000};  // a second monitor on the right
    EXPECT_TRUE(SameRect(FitIntoWorkArea(RECT{2000, 100, 2800, 700}, work), RECT{2000, 100, 2800, 700}));
    EXPECT_TRUE(SameRect(FitIntoWorkArea(RECT{1800, -50, 2600, 550}, work), RECT{1920, 0, 2720, 600}));
    EXPECT_TRUE(SameRect(FitIntoWorkArea(RECT{1000, 900, 3000, 1400}, work), RECT{1920, 500, 3200, 1000}));
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
