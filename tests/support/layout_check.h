#pragma once
// What a person would see wrong with a window: controls that overlap (but for the controls a
// group box frames), controls that stick out of the window, and texts that their own box cuts
// off in their own font. Read back from the real window on the screen.

#include <windows.h>

#include <string>
#include <vector>

// Everything wrong with what the window shows, one line each.
std::vector<std::string> LayoutFaults(HWND window);
// What keeps a keyboard or a screen reader from the window's controls, one line each: Tab and
// Shift+Tab that miss a control or go out of reading order (top to bottom, left to right
// within a row), and fields (edit boxes, lists and the like) with no label to be named by.
std::vector<std::string> KeyboardFaults(HWND window);
// The names a screen reader gives the window's fields, in tab order: each one's label.
std::vector<std::wstring> FieldNames(HWND window);
// The lines, each on a line of its own, for a test's message.
std::string Joined(const std::vector<std::string>& lines);
