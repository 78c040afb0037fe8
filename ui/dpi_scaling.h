#pragma once
// Sizes at the dots per inch of the monitor a window is on. The process declares itself
// per-monitor aware, so the system never stretches our windows: every size the layouts give
// at 96 DPI is scaled here, and fonts and text measures come at the window's own DPI.

#include <windows.h>

constexpr UINT kDesignDpi = 96;

// The DPI a window is drawn at: its monitor's under per-monitor awareness, the system's
// under system awareness, the screen's where Windows cannot tell a window's.
UINT WindowDpi(HWND window);
// The DPI the system's fonts and the screen's device context measure at.
UINT SystemDpi();

// A size the layouts give at 96 DPI, at `dpi`.
inline int ScaleToDpi(int designSize, UINT dpi)
{
    return MulDiv(designSize, static_cast<int>(dpi), static_cast<int>(kDesignDpi));
}
// A size measured at the system's DPI (in the system font, say), at `dpi`.
int SystemToDpi(int measured, UINT dpi);

// The window rectangle around a client rectangle, with the frame and caption at `dpi`.
void AdjustWindowRectForDpi(RECT* rect, HWND window, UINT dpi);

// Dialogs of ours lay themselves out anew on a change of DPI: the dialog manager is told not
// to stretch their controls on top of that.
void LeaveDpiChangesToTheDialog(HWND dialog);

class DpiScaling {
public:
    explicit DpiScaling(UINT dpi) : dpi_(dpi) {}
    static DpiScaling Of(HWND window) { return DpiScaling(WindowDpi(window)); }

    int Scale(int size) const { return ScaleToDpi(size, dpi_); }
    // Moves the window with its size scaled; the position stays as given.
    void MoveScaled(HWND window, int x, int y, int width, int height, bool repaint) const;
    UINT Dpi() const { return dpi_; }

private:
    UINT dpi_;
};
