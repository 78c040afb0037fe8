#pragma once
// Pictures of the windows the tests show, as build/screenshots/NAME.png, so that anyone can
// look at what a user sees.

#include <windows.h>

#include <string>

// GDI+ for the time it lives.
class ScopedGdiplus {
public:
    ScopedGdiplus();
    ~ScopedGdiplus();
    ScopedGdiplus(const ScopedGdiplus&) = delete;
    ScopedGdiplus& operator=(const ScopedGdiplus&) = delete;

private:
    ULONG_PTR token_ = 0;
};

// Takes the window's rectangle from the screen after letting it paint; false on failure.
bool SaveScreenshot(HWND window, const std::wstring& name);
// Where the screenshots go.
std::wstring ScreenshotFolder();
