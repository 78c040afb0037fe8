#pragma once
// Text put on the clipboard, as Unicode text that every program can paste.

#include <windows.h>

#include <string>

// Replaces what the clipboard holds with `text`; false when the clipboard could not be had.
bool PutTextOnClipboard(HWND owner, const std::wstring& text);
