#pragma once
// Where a window was, kept in the settings: restored only onto a monitor that is still there.

#include <windows.h>

#include "base/settings_store.h"

// The window's screen rectangle, kept only while its top-left corner lies in the work area of
// an attached monitor; a minimized or maximized window is not saved.
bool SaveWindowRect(const SettingsStore& settings, HWND window, const wchar_t* section, const wchar_t* key);
// The rectangle saved there, or defaultRect when there is none or its corner is on no monitor.
RECT LoadWindowRect(const SettingsStore& settings, const wchar_t* section, const wchar_t* key, const RECT& defaultRect);
