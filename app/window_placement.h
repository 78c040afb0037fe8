#pragma once
// Where a window was, kept in the settings, and brought back whole onto a monitor that is there.

#include <windows.h>

#include "base/settings_store.h"

// The window's screen rectangle, kept only while its top-left corner lies in the work area of
// an attached monitor; a minimized or maximized window is not saved. True when it was saved.
bool SaveWindowRect(const SettingsStore& settings, HWND window, const wchar_t* section, const wchar_t* key);
// The rectangle saved there, on the monitor it was on or, when that monitor is gone, the nearest
// one, moved (and shrunk, when larger) into its work area; defaultRect when none is saved.
RECT LoadWindowRect(const SettingsStore& settings, const wchar_t* section, const wchar_t* key, const RECT& defaultRect);
// The rectangle moved into the work area, and shrunk to it where it is larger.
RECT FitIntoWorkArea(const RECT& rect, const RECT& work);
