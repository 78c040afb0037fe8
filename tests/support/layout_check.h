#pragma once
// What a person would see wrong with a window: controls that overlap (but for the controls a
// group box frames), controls that stick out of the window, and texts that their own box cuts
// off in their own font. Read back from the real window on the screen.

#include <windows.h>

#include <string>
#include <vector>

// Everything wrong with what the window shows, one line each.
std::vector<std::string> LayoutFaults(HWND window);
// Tab and Shift+Tab that miss a control or go out of reading order (top to bottom, left to
// right within a row), one line each.
std::vector<std::string> TabOrderFaults(HWND window);
// The lines, each on a line of its own, for a test's message.
std::string Joined(const std::vector<std::string>& lines);
