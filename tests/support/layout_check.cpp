#include "tests/support/layout_check.h"

#include <commctrl.h>

#include <algorithm>
#include <sstream>

#include "base/handles.h"
#include "base/text_encoding.h"
#include "ui/controls.h"

namespace {

struct SeenControl {
    HWND window = nullptr;
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
        seen.window = child;
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

// One line of text, or with `wrapWidth`, the text broken into lines as a static control
// breaks it at that width.
SIZE TextSize(HFONT font, const std::wstring& text, int wrapWidth = 0)
{
    WindowDc screen;
    SelectedObject selected(screen.get(), font ? font : GetStockObject(DEFAULT_GUI_FONT));
    RECT rect{0, 0, wrapWidth ? wrapWidth : 0x8000, 0x8000};
    DrawTextW(screen.get(), text.c_str(), static_cast<int>(text.size()), &rect,
              DT_CALCRECT | DT_NOPREFIX | (wrapWidth ? DT_WORDBREAK : DT_SINGLELINE));
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

std::wstring Trimmed(const std::wstring& text)
{
    const wchar_t* blanks = L" \u3000";
    const size_t first = text.find_first_not_of(blanks);
    return first == std::wstring::npos ? std::wstring() : text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// The texts of a list's cells that their column is too narrow for (the first hundred rows).
std::vector<std::wstring> CutCells(const SeenControl& list)
{
    std::vector<std::wstring> cut;
    const HWND header = reinterpret_cast<HWND>(SendMessageW(list.window, LVM_GETHEADER, 0, 0));
    const int columns = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    for (int column = 0; column < columns; ++column) {
        wchar_t text[260] = {};
        HDITEMW item{};
        item.mask = HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = 260;
        RECT cell{};
        SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
        SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&cell));
        const HFONT font = reinterpret_cast<HFONT>(SendMessageW(header, WM_GETFONT, 0, 0));
        // A header leaves three edges' width on each side of its caption.
        if (text[0] && TextSize(font, text).cx + 6 * GetSystemMetrics(SM_CXEDGE) > cell.right - cell.left)
            cut.push_back(text);
    }
    const int rows = std::min(100, static_cast<int>(SendMessageW(list.window, LVM_GETITEMCOUNT, 0, 0)));
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const std::wstring text = ListCellText(list.window, row, column);
            RECT cell{LVIR_LABEL, column, 0, 0};
            SendMessageW(list.window, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
            // The list leaves a few pixels of margin around a cell's text.
            if (!text.empty() && TextSize(list.font, text).cx + 4 > cell.right - cell.left)
                cut.push_back(text);
        }
    }
    return cut;
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

}  // namespace

std::vector<std::string> LayoutFaults(HWND window)
{
    std::vector<std::string> faults;
    RECT client{};
    GetClientRect(window, &client);
    const std::vector<SeenControl> controls = VisibleControls(window);
    const int edge = GetSystemMetrics(SM_CXEDGE);
    for (size_t i = 0; i < controls.size(); ++i) {
        const SeenControl& a = controls[i];
        const std::string name = ToUtf8(a.name) + " at " + Describe(a.rect);
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
                faults.push_back(name + " overlaps " + ToUtf8(b.name) + " at " + Describe(b.rect));
        }

        // The text each kind of control draws, and the room it has for it.
        const SIZE text = TextSize(a.font, a.text);
        const int width = a.rect.right - a.rect.left, height = a.rect.bottom - a.rect.top;
        const DWORD type = a.style & BS_TYPEMASK;
        if (a.className == L"Static") {
            // A static breaks its text into lines of its width: all of them must show.
            const SIZE lines = TextSize(a.font, a.text, std::max(width, 1));
            if (lines.cx > width || lines.cy > height)
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
        } else if (a.className == WC_LISTVIEWW) {
            for (const std::wstring& cell : CutCells(a))
                faults.push_back(name + " cuts off \"" + ToUtf8(cell) + "\"");
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


namespace {

// The window's children that Tab can reach: shown, enabled and tab stops, in reading order
// (top to bottom, and left to right where their rows meet).
std::vector<HWND> ReadingOrder(HWND window)
{
    std::vector<HWND> controls;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongPtrW(child, GWL_STYLE) & WS_TABSTOP) && IsWindowVisible(child) && IsWindowEnabled(child))
            controls.push_back(child);
    }
    std::stable_sort(controls.begin(), controls.end(), [](HWND a, HWND b) {
        RECT ra{}, rb{};
        GetWindowRect(a, &ra);
        GetWindowRect(b, &rb);
        const bool sameRow = ra.top < rb.bottom && rb.top < ra.bottom;
        return sameRow ? ra.left < rb.left : ra.top < rb.top;
    });
    return controls;
}

// The round Tab (or Shift+Tab) makes from the first control until it comes back.
std::vector<HWND> TabRound(HWND window, HWND first, bool backwards)
{
    std::vector<HWND> round;
    for (HWND at = first; at && round.size() < 100;) {
        round.push_back(at);
        at = GetNextDlgTabItem(window, at, backwards ? TRUE : FALSE);
        if (at == first)
            break;
    }
    return round;
}

std::string Described(const std::vector<HWND>& controls)
{
    std::ostringstream out;
    for (HWND control : controls)
        out << " [" << ToUtf8(ClassOf(control) + L" " + TextOf(control)) << "]";
    return out.str();
}

}  // namespace

namespace {

// Controls that show no caption of their own: a screen reader names them by their label.
bool IsField(HWND control)
{
    const std::wstring name = ClassOf(control);
    return name == L"Edit" || name == L"ComboBox" || name == WC_COMBOBOXEXW || name == WC_LISTVIEWW ||
           name == WC_TREEVIEWW || name == TRACKBAR_CLASSW;
}

// The label a screen reader finds for a field: the nearest static text before it in the tab
// order, shown or not, unless a control that starts a group of tab stops comes first.
std::wstring LabelOf(HWND field)
{
    for (HWND at = GetWindow(field, GW_HWNDPREV); at; at = GetWindow(at, GW_HWNDPREV)) {
        if (ClassOf(at) == L"Static")
            return TextOf(at);
        const LONG_PTR style = GetWindowLongPtrW(at, GWL_STYLE);
        if ((style & WS_GROUP) && (style & WS_TABSTOP))
            break;
    }
    return L"";
}

std::vector<HWND> VisibleFields(HWND window)
{
    std::vector<HWND> fields;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsWindowVisible(child) && IsField(child))
            fields.push_back(child);
    }
    return fields;
}

}  // namespace

std::vector<std::wstring> FieldNames(HWND window)
{
    std::vector<std::wstring> names;
    for (HWND field : VisibleFields(window))
        names.push_back(LabelOf(field));
    return names;
}

std::vector<std::string> KeyboardFaults(HWND window)
{
    std::vector<std::string> faults;
    for (HWND field : VisibleFields(window)) {
        if (LabelOf(field).empty())
            faults.push_back("a screen reader finds no name for" + Described({field}));
    }
    const std::vector<HWND> expected = ReadingOrder(window);
    if (expected.empty())
        return faults;
    const std::vector<HWND> forward = TabRound(window, GetNextDlgTabItem(window, nullptr, FALSE), false);
    if (forward != expected)
        faults.push_back("Tab goes" + Described(forward) + " where the reading order is" + Described(expected));
    std::vector<HWND> reversed = forward;
    std::reverse(reversed.begin() + 1, reversed.end());
    if (TabRound(window, forward.front(), true) != reversed)
        faults.push_back("Shift+Tab does not go back the way Tab goes");
    return faults;
}
