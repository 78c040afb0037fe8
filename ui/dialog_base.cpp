#include "ui/dialog_base.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "base/handles.h"
#include "ui/callback_barrier.h"
#include "ui/dpi_scaling.h"
#include "ui/gui_font.h"

DialogBase::~DialogBase() = default;

const DLGTEMPLATE* DialogBase::BuildTemplate()
{
    if (!template_)
        template_ = std::make_unique<std::uint8_t[]>(kTemplateBytes);
    std::memset(template_.get(), 0, kTemplateBytes);
    // One header, no items; the zero bytes behind it leave menu, class and title empty.
    DLGTEMPLATE header{};
    header.style = style_;
    header.cx = 320;
    header.cy = 240;
    std::memcpy(template_.get(), &header, sizeof header);
    return reinterpret_cast<const DLGTEMPLATE*>(template_.get());
}

INT_PTR DialogBase::DoModal(HWND parent)
{
    const DLGTEMPLATE* dialog = BuildTemplate();
    parent_ = parent;
    return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog, parent, &DialogBase::DialogProc,
                                   reinterpret_cast<LPARAM>(this));
}

INT_PTR DialogBase::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInit(window) ? TRUE : FALSE;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return TRUE;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<const NMHDR*>(lParam)) ? TRUE : FALSE;
    case WM_TIMER:
        OnTimer(wParam);
        return TRUE;
    case WM_CLOSE:
        OnClose(window);
        return TRUE;
    case WM_DPICHANGED:
        ChangeDpi(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return TRUE;
    case WM_DPICHANGED_AFTERPARENT:
        ChangeDpi(WindowDpi(window), nullptr);
        return TRUE;
    default: {
        INT_PTR result = FALSE;
        return OnOtherMessage(message, wParam, lParam, &result) ? result : FALSE;
    }
    }
}

bool DialogBase::OnInit(HWND window)
{
    ShowWindow(window, SW_SHOW);
    return true;
}

void DialogBase::OnClose(HWND window)
{
    EndDialog(window, 0);
}

void DialogBase::Bind(HWND window, HWND handleForOut)
{
    SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(this));
    window_ = window;
    if (windowOut_)
        *windowOut_ = handleForOut;
    dpi_ = WindowDpi(window);
    font_ = GuiFont(dpi_);
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    LeaveDpiChangesToTheDialog(window);
}

void DialogBase::ChangeDpi(UINT dpi, const RECT* suggested)
{
    if (dpi == 0 || dpi == dpi_)
        return;
    const UINT old = dpi_;
    dpi_ = dpi;
    font_ = GuiFont(dpi);
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    if (suggested) {
        SetWindowPos(window_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    OnDpiChanged(old);
    InvalidateRect(window_, nullptr, TRUE);
}

INT_PTR DialogBase::Route(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool isPage)
{
    auto* self = reinterpret_cast<DialogBase*>(GetWindowLongPtrW(window, DWLP_USER));
    // Messages before WM_INITDIALOG (WM_SETFONT during creation) find no object yet.
    if (!self)
        return 0;
    // "SubClassDialogBase_CL" names a class long gone: a text the log keeps as it was.
    const INT_PTR result = CallbackBarrier(L"SubClassDialogBase_CL", INT_PTR{0}, [&] {
        return self->HandleMessage(window, message, wParam, lParam);
    });
    // A dialog's object may be gone before its last messages; a page's sheet still talks to it.
    if (message == WM_DESTROY && !isPage)
        SetWindowLongPtrW(window, DWLP_USER, 0);
    return result;
}

INT_PTR CALLBACK DialogBase::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        reinterpret_cast<DialogBase*>(lParam)->Bind(window, window);
    return Route(window, message, wParam, lParam, false);
}

INT_PTR CALLBACK DialogBase::PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        const auto* page = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
        reinterpret_cast<DialogBase*>(page->lParam)->Bind(window, GetParent(window));
    }
    return Route(window, message, wParam, lParam, true);
}

PROPSHEETPAGEW DialogBase::PageDescription(const wchar_t* title, HWND* sheet)
{
    windowOut_ = sheet;
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DLGINDIRECT | PSP_USETITLE;
    page.hInstance = GetModuleHandleW(nullptr);
    page.pResource = BuildTemplate();
    page.pszTitle = title;
    page.pfnDlgProc = &DialogBase::PageProc;
    page.lParam = reinterpret_cast<LPARAM>(this);
    return page;
}

LRESULT CALLBACK DialogBase::SheetProc(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR)
{
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(sheet, &DialogBase::SheetProc, id);
    if (message == WM_SHOWWINDOW) {
        CallbackBarrier(L"PropertySheet", 0, [&] {
            CenterOverParent(GetWindow(sheet, GW_OWNER), sheet);
            return 0;
        });
    }
    return DefSubclassProc(sheet, message, wParam, lParam);
}

int CALLBACK DialogBase::PropertySheetCallback(HWND sheet, UINT message, LPARAM)
{
    // The sheet's frame is the system's window: it is hooked, not given a procedure of ours.
    if (message == PSCB_INITIALIZED)
        SetWindowSubclass(sheet, &DialogBase::SheetProc, 0, 0);
    return 0;
}

void CenterOverParent(HWND reference, HWND window)
{
    // A child window would be placed in its parent's coordinates.
    if (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD)
        SetParent(window, nullptr);
    RECT area{0, 0, GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN)};
    if (reference && !IsIconic(reference))
        GetWindowRect(reference, &area);
    RECT client{};
    GetClientRect(window, &client);
    const int x = ((area.right - area.left) - (client.right - client.left)) / 2 + area.left;
    const int y = ((area.bottom - area.top) - (client.bottom - client.top)) / 2 + area.top;
    RECT frame{};
    GetWindowRect(window, &frame);
    const POINT kept = KeptWithinWorkArea(area, x, y, frame.right - frame.left, frame.bottom - frame.top);
    SetWindowPos(window, nullptr, kept.x, kept.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

POINT KeptWithinWorkArea(const RECT& area, int x, int y, int width, int height)
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST), &monitor))
        return POINT{x, y};
    const RECT& work = monitor.rcWork;
    // Right and bottom first, so that a window larger than the work area keeps its top left.
    x = std::max(static_cast<int>(work.left), std::min(x, static_cast<int>(work.right) - width));
    y = std::max(static_cast<int>(work.top), std::min(y, static_cast<int>(work.bottom) - height));
    return POINT{x, y};
}

namespace {

ClientMetrics MetricsOf(HWND window, RECT area, UINT dpi)
{
    ClientMetrics metrics{};
    metrics.area = area;
    metrics.width = area.right - area.left;
    metrics.height = area.bottom - area.top;
    // Measured in the font a window's device context comes with (the system font), which is
    // what the layouts of the windows are drawn up in; that font is the system DPI's.
    WindowDc dc(window);
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), L"Ｗ", 1, &size);
    metrics.charWidth = SystemToDpi(size.cx, dpi);
    metrics.charHeight = SystemToDpi(size.cy, dpi);
    return metrics;
}

}  // namespace

ClientMetrics GetDialogMetrics(HWND dialog, UINT dpi)
{
    RECT area{};
    GetClientRect(dialog, &area);
    return MetricsOf(dialog, area, dpi);
}

ClientMetrics GetPageMetrics(HWND page, UINT dpi)
{
    HWND tab = PropSheet_GetTabControl(GetParent(page));
    RECT area{};
    GetClientRect(tab, &area);
    TabCtrl_AdjustRect(tab, FALSE, &area);
    return MetricsOf(page, area, dpi);
}
