#pragma once
// Pictures of the windows the tests show, as build/screenshots/NAME.png, so that anyone can
// look at what a user sees.

#include <windows.h>

#include <string>

// Takes the window's rectangle from the screen after letting it paint (what of it is on the
// screen); false on failure, and for a window that is hidden, off the screen or shows as one
// flat colour, so that a test that saves a picture of nothing fails.
bool SaveScreenshot(HWND window, const std::wstring& name);
// The imaging library's encoder of that MIME type ("image/png"); false when it has none.
bool ImageEncoder(const wchar_t* mimeType, CLSID* clsid);
// Where the screenshots go.
std::wstring ScreenshotFolder();
