#pragma once
// Explorer opened on the folder of a file, with the file selected.

#include <windows.h>

#include <string>

// Selects `path` in its folder in Explorer; a file that is gone gets the nearest folder of
// its path that is still there. False when Explorer could not be started.
bool ShowFileInFolder(HWND owner, const std::wstring& path);
