#include "ui/dpi_scaling.h"

#include "base/dll_function.h"
#include "base/handles.h"

namespace {

// Each is reached at run time: none exists before Windows 10 (1607 for most).
using GetDpiForWindowFn = UINT(WINAPI*)(HWND window);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT* rect, DWORD style, BOOL menu, DWORD exStyle, UINT dpi);
using SetDialogDpiChangeBehaviorFn = BOOL(WINAPI*)(HWND dialog, int mask, int values);

// DDC_DISABLE_ALL: the dialog manager neither resizes the dialog nor touches its controls.
constexpr int kDialogDpiChangeDisableAll = 1;

const DllFunction& User32()
{
    static const DllFunction user32(L"user32.dll");
    return user32;
}

}  // namespace

UINT SystemDpi()
{
    WindowDc screen;
    const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

UINT WindowDpi(HWND window)
{
    static const auto getDpi = User32().Get<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpi && window) {
        if (const UINT dpi = getDpi(window))
            return dpi;
    }
    return SystemDpi();
}

int SystemToDpi(int measured, UINT dpi)
{
    return MulDiv(measured, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

void AdjustWindowRectForDpi(RECT* rect, HWND window, UINT dpi)
{
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    const BOOL menu = (style & WS_CHILD) == 0 && GetMenu(window) != nullptr;
    static const auto adjust = User32().Get<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
    if (!adjust || !adjust(rect, style, menu, exStyle, dpi))
        AdjustWindowRectEx(rect, style, menu, exStyle);
}

void LeaveDpiChangesToTheDialog(HWND dialog)
{
    static const auto forDialog = User32().Get<SetDialogDpiChangeBehaviorFn>("SetDialogDpiChangeBehavior");
    if (forDialog)
        forDialog(dialog, kDialogDpiChangeDisableAll, kDialogDpiChangeDisableAll);
}

void DpiScaling::MoveScaled(HWND window, int x, int y, int width, int height, bool repaint) const
{
    MoveWindow(window, x, y, Scale(width), Scale(height), repaint);
}
