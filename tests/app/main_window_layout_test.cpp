// The main window as it is seen: every visible control read back from the screen, at the
// first start, at the smallest size a user can drag it to and at a large one. No two controls
// may overlap (but for the controls a group box frames), nothing may stick out of the window,
// and no text may be cut off by its own box in its own font.

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/app/scripted_main_window.h"
#include "tests/support/layout_check.h"
#include "tests/support/screenshot.h"
#include "ui/dpi_scaling.h"

namespace {

TEST_F(MainWindowTest, EveryControlIsWholeAtTheFirstStartTheSmallestAndALargeSize)
{
    std::vector<std::string> firstStart, smallest, large;
    SIZE minimum{};
    bool shots = true;
    Show([&](ScriptedMainWindow& w) {
        // A few rows, so that the list draws something.
        w.FolderList()->InsertRow(0, L"E:");
        w.FolderList()->InsertRow(1, L"C:\\Users\\利用者\\Pictures\\カメラ");
        firstStart = LayoutFaults(w.Window());
        shots &= SaveScreenshot(w.Window(), L"main_window_layout_first_start");

        RECT dragged{100, 80, 110, 90};
        SendMessageW(w.Window(), WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&dragged));
        minimum = SIZE{dragged.right - dragged.left, dragged.bottom - dragged.top};
        SetWindowPos(w.Window(), nullptr, dragged.left, dragged.top, minimum.cx, minimum.cy, SWP_NOZORDER);
        smallest = LayoutFaults(w.Window());
        shots &= SaveScreenshot(w.Window(), L"main_window_layout_smallest");

        // Well above the smallest, as large as the fonts make the smallest.
        SetWindowPos(w.Window(), nullptr, 20, 20, minimum.cx * 3 / 2, minimum.cy + minimum.cy / 4, SWP_NOZORDER);
        large = LayoutFaults(w.Window());
        shots &= SaveScreenshot(w.Window(), L"main_window_layout_large");
    });
    EXPECT_TRUE(firstStart.empty()) << "at the first start:" << Joined(firstStart);
    EXPECT_TRUE(smallest.empty()) << "at " << minimum.cx << " x " << minimum.cy << ":" << Joined(smallest);
    EXPECT_TRUE(large.empty()) << "at one and a half times the smallest:" << Joined(large);
    EXPECT_TRUE(shots);
}

TEST_F(MainWindowTest, ASavedRectangleTooSmallForTheFontsGrowsWhereItIs)
{
    const std::int32_t stored[4] = {40, 30, 240, 230};  // 200 x 200, as an older version allowed
    EXPECT_TRUE(g_SettingsStore.SetStruct(L"Window", L"WindowRect", stored, sizeof stored));
    RECT rect{};
    std::vector<std::string> faults;
    Show([&](ScriptedMainWindow& w) {
        GetWindowRect(w.Window(), &rect);
        faults = LayoutFaults(w.Window());
    });
    EXPECT_EQ(rect.left, 40);
    EXPECT_EQ(rect.top, 30);
    EXPECT_GT(rect.right - rect.left, 200);
    EXPECT_GT(rect.bottom - rect.top, 200);
    EXPECT_TRUE(faults.empty()) << Joined(faults);
}

LONG FontHeight(HWND control)
{
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return std::abs(font.lfHeight);
}

// Dragged to a monitor of twice the DPI and back, as Windows tells it: the window takes the
// rectangle Windows suggests, its fonts follow, and every control is whole at either DPI.
TEST_F(MainWindowTest, OnAMonitorOfTwiceTheDpiTheWindowTakesTheSuggestedSizeAndItsTextsGrow)
{
    std::vector<std::string> doubled, back;
    RECT before{}, suggested{}, taken{}, returned{};
    LONG fontBefore = 0, fontDoubled = 0, fontBack = 0;
    bool shot = false;
    Show([&](ScriptedMainWindow& w) {
        const HWND field = GetNextDlgTabItem(w.Window(), nullptr, FALSE);
        const UINT dpi = WindowDpi(w.Window());
        GetWindowRect(w.Window(), &before);
        fontBefore = FontHeight(field);
        suggested = RECT{20, 20, 20 + 2 * (before.right - before.left), 20 + 2 * (before.bottom - before.top)};
        SendMessageW(w.Window(), WM_DPICHANGED, MAKEWPARAM(2 * dpi, 2 * dpi), reinterpret_cast<LPARAM>(&suggested));
        GetWindowRect(w.Window(), &taken);
        fontDoubled = FontHeight(field);
        doubled = LayoutFaults(w.Window());
        shot = SaveScreenshot(w.Window(), L"main_window_at_twice_the_dpi");

        SendMessageW(w.Window(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&before));
        GetWindowRect(w.Window(), &returned);
        fontBack = FontHeight(field);
        back = LayoutFaults(w.Window());
    });
    EXPECT_TRUE(EqualRect(&taken, &suggested));
    EXPECT_TRUE(EqualRect(&returned, &before));
    EXPECT_NEAR(fontDoubled, 2 * fontBefore, 1);
    EXPECT_EQ(fontBack, fontBefore);
    EXPECT_TRUE(doubled.empty()) << "at twice the DPI:" << Joined(doubled);
    EXPECT_TRUE(back.empty()) << "back at the first DPI:" << Joined(back);
    EXPECT_TRUE(shot);
}

// Caption buttons are glyphs of the symbol font; without it they read "0 1 r".
TEST(CaptionFontTest, TheCaptionButtonGlyphsHaveTheirFont)
{
    LOGFONTW wanted{};
    wanted.lfHeight = -16;
    wanted.lfCharSet = SYMBOL_CHARSET;
    wcscpy(wanted.lfFaceName, L"Marlett");
    HFONT font = CreateFontIndirectW(&wanted);
    ASSERT_NE(font, nullptr);
    HDC dc = GetDC(nullptr);
    const HGDIOBJ previous = SelectObject(dc, font);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    EXPECT_STREQ(face, L"Marlett");
}

}  // namespace
