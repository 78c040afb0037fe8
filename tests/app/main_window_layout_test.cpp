// The main window as it is seen: every visible control read back from the screen, at the
// first start, at the smallest size a user can drag it to and at a large one. No two controls
// may overlap (but for the controls a group box frames), nothing may stick out of the window,
// and no text may be cut off by its own box in its own font.

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/support/screenshot.h"
#include "tests/app/scripted_main_window.h"

namespace {

struct SeenControl {
    std::wstring name;  // class and text, for the messages
    std::wstring className;
    std::wstring text;
    DWORD style = 0;
    HFONT font = nullptr;
    RECT rect{};
};

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window)
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::vector<SeenControl> VisibleControls(HWND parent)
{
    std::vector<SeenControl> controls;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child))
            continue;
        SeenControl seen;
        seen.className = ClassOf(child);
        seen.text = TextOf(child);
        seen.name = seen.className + L" \"" + seen.text + L"\"";
        seen.style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
        seen.font = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0));
        GetWindowRect(child, &seen.rect);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&seen.rect), 2);
        controls.push_back(seen);
    }
    return controls;
}

bool IsGroupBox(const SeenControl& control)
{
    return control.className == L"Button" && (control.style & BS_TYPEMASK) == BS_GROUPBOX;
}

SIZE TextSize(HFONT font, const std::wstring& text)
{
    HDC dc = GetDC(nullptr);
    const HGDIOBJ previous = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    RECT rect{0, 0, 0x8000, 0x8000};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

std::wstring Trimmed(const std::wstring& text)
{
    const wchar_t* blanks = L" \u3000";
    const size_t first = text.find_first_not_of(blanks);
    return first == std::wstring::npos ? std::wstring() : text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::string Utf8(const std::wstring& text)
{
    std::string out(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), static_cast<int>(out.size()), nullptr, nullptr);
    out.pop_back();
    return out;
}

std::string Describe(const RECT& r)
{
    std::ostringstream out;
    out << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
    return out.str();
}

bool Intersect(const RECT& a, const RECT& b)
{
    RECT both{};
    return IntersectRect(&both, &a, &b) != FALSE;
}

// A control sits in a group when it lies inside the frame and below the caption.
bool InsideGroup(const RECT& control, const SeenControl& group)
{
    const int caption = TextSize(group.font, group.text).cy;
    return control.left > group.rect.left && control.right < group.rect.right &&
           control.top >= group.rect.top + caption && control.bottom < group.rect.bottom;
}

// Everything wrong with what the window shows, one line each.
std::vector<std::string> LayoutFaults(HWND window)
{
    std::vector<std::string> faults;
    RECT client{};
    GetClientRect(window, &client);
    const std::vector<SeenControl> controls = VisibleControls(window);
    const int edge = GetSystemMetrics(SM_CXEDGE);
    for (size_t i = 0; i < controls.size(); ++i) {
        const SeenControl& a = controls[i];
        const std::string name = Utf8(a.name) + " at " + Describe(a.rect);
        RECT inside{};
        if (!IntersectRect(&inside, &a.rect, &client) || !EqualRect(&inside, &a.rect))
            faults.push_back(name + " sticks out of the client area " + Describe(client));
        for (size_t j = i + 1; j < controls.size(); ++j) {
            const SeenControl& b = controls[j];
            if (!Intersect(a.rect, b.rect))
                continue;
            const bool framed = (IsGroupBox(a) && !IsGroupBox(b) && InsideGroup(b.rect, a)) ||
                                (IsGroupBox(b) && !IsGroupBox(a) && InsideGroup(a.rect, b));
            if (!framed)
                faults.push_back(name + " overlaps " + Utf8(b.name) + " at " + Describe(b.rect));
        }

        // The text each kind of control draws, and the room it has for it.
        const SIZE text = TextSize(a.font, a.text);
        const int width = a.rect.right - a.rect.left, height = a.rect.bottom - a.rect.top;
        const DWORD type = a.style & BS_TYPEMASK;
        if (a.className == L"Static") {
            if (text.cx > width || text.cy > height)
                faults.push_back(name + " is too small for its text");
        } else if (a.className == L"Button" && type == BS_GROUPBOX) {
            if (text.cx + 2 * edge > width)
                faults.push_back(name + " cuts its caption");
        } else if (a.className == L"Button" && (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX)) {
            if (GetSystemMetrics(SM_CXMENUCHECK) + text.cx > width || text.cy > height)
                faults.push_back(name + " is too small for its text");
        } else if (a.className == L"Button") {
            // The frame, and a little air between it and the text's ink (the ideographic
            // spaces around a short caption are air already).
            const SIZE ink = TextSize(a.font, Trimmed(a.text));
            if (ink.cx + 2 * (2 * edge + 2) > width || ink.cy + 2 * edge > height)
                faults.push_back(name + " leaves its text no room");
        } else if (a.className == L"Edit" || a.className == WC_COMBOBOXEXW) {
            if (TextSize(a.font, L"Ｗ").cy + 2 * edge > height)
                faults.push_back(name + " is lower than its text");
        }
    }
    return faults;
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string all;
    for (const std::string& line : lines)
        all += "\n  " + line;
    return all;
}

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

        SetWindowPos(w.Window(), nullptr, 20, 20, 1200, 960, SWP_NOZORDER);
        large = LayoutFaults(w.Window());
        shots &= SaveScreenshot(w.Window(), L"main_window_layout_large");
    });
    EXPECT_TRUE(firstStart.empty()) << "at the first start:" << Joined(firstStart);
    EXPECT_TRUE(smallest.empty()) << "at " << minimum.cx << " x " << minimum.cy << ":" << Joined(smallest);
    EXPECT_TRUE(large.empty()) << "at 1200 x 960:" << Joined(large);
    EXPECT_TRUE(shots);
}

TEST_F(MainWindowTest, ASavedRectangleTooSmallForTheFontsGrowsWhereItIs)
{
    const std::int32_t stored[4] = {40, 30, 240, 230};  // 200 x 200, as an older version allowed
    g_Ini.SetStruct(L"Window", L"WindowRect", stored, sizeof stored);
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
