#pragma once
// Pictures of the windows the tests show, as build/screenshots/NAME.png, so that anyone can
// look at what a user sees.

#include <windows.h>

#include <string>

// Takes the window's rectangle from the screen after letting it paint; false on failure.
bool SaveScreenshot(HWND window, const std::wstring& name);
// Where the screenshots go.
std::wstring ScreenshotFolder();
