#include "ui/high_dpi_helper.h"

#include "base/dll_function.h"
#include "base/handles.h"

namespace {

// PROCESS_DPI_AWARENESS: 0 is PROCESS_DPI_UNAWARE.
using GetProcessDpiAwarenessFn = HRESULT(WINAPI*)(HANDLE process, int* awareness);
using IsProcessDpiAwareFn = BOOL(WINAPI*)();

bool AskProcessDpiAware()
{
    // Reached at run time: the first does not exist before Windows 8.1.
    DllFunction_CL shcore(L"SHCore.dll");
    if (auto getAwareness = shcore.Get<GetProcessDpiAwarenessFn>("GetProcessDpiAwareness")) {
        int awareness = 0;
        return SUCCEEDED(getAwareness(nullptr, &awareness)) && awareness != 0;
    }
    DllFunction_CL user32(L"user32.dll");
    if (auto isAware = user32.Get<IsProcessDpiAwareFn>("IsProcessDPIAware"))
        return isAware() != FALSE;
    return false;
}

}  // namespace

void HighDpiHelper_CL::Init()
{
    aware_ = AskProcessDpiAware() ? 1 : 0;
    dpiX_ = dpiY_ = 96;
    if (aware_)
        return;
    WindowDc_CL screen;
    dpiX_ = GetDeviceCaps(screen.get(), LOGPIXELSX);
    dpiY_ = GetDeviceCaps(screen.get(), LOGPIXELSY);
}

void HighDpiHelper_CL::MoveScaled(HWND window, int x, int y, int width, int height, bool repaint) const
{
    MoveWindow(window, x, y, ScaleX(width), ScaleY(height), repaint);
}
