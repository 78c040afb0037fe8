#include "ui/dpi_scaling.h"

#include "base/dll_function.h"
#include "base/handles.h"

namespace {

// PROCESS_DPI_AWARENESS: 0 is PROCESS_DPI_UNAWARE.
using GetProcessDpiAwarenessFn = HRESULT(WINAPI*)(HANDLE process, int* awareness);
using IsProcessDpiAwareFn = BOOL(WINAPI*)();

bool AskProcessDpiAware()
{
    // Reached at run time: the first does not exist before Windows 8.1.
    DllFunction shcore(L"SHCore.dll");
    if (auto getAwareness = shcore.Get<GetProcessDpiAwarenessFn>("GetProcessDpiAwareness")) {
        int awareness = 0;
        return SUCCEEDED(getAwareness(nullptr, &awareness)) && awareness != 0;
    }
    DllFunction user32(L"user32.dll");
    if (auto isAware = user32.Get<IsProcessDpiAwareFn>("IsProcessDPIAware"))
        return isAware() != FALSE;
    return false;
}

}  // namespace

void DpiScaling::Init()
{
    aware_ = AskProcessDpiAware() ? 1 : 0;
    dpiX_ = dpiY_ = 96;
    if (aware_)
        return;
    WindowDc screen;
    dpiX_ = GetDeviceCaps(screen.get(), LOGPIXELSX);
    dpiY_ = GetDeviceCaps(screen.get(), LOGPIXELSY);
}

void DpiScaling::MoveScaled(HWND window, int x, int y, int width, int height, bool repaint) const
{
    MoveWindow(window, x, y, ScaleX(width), ScaleY(height), repaint);
}
