#pragma once
// Scaling of sizes designed at 96 dots per inch, for a process that the system does not
// scale itself.

#include <windows.h>

class DpiScaling {
public:
    DpiScaling() = default;
    // A helper with these facts, as Init would measure them.
    DpiScaling(bool dpiAware, int dpiX, int dpiY) : aware_(dpiAware), dpiX_(dpiX), dpiY_(dpiY) {}

    // Asks the system whether the process is DPI-aware and, when it is not, the screen's DPI.
    void Init();

    int ScaleX(int size) const { return aware_ ? size : MulDiv(size, dpiX_, 96); }
    int ScaleY(int size) const { return aware_ ? size : MulDiv(size, dpiY_, 96); }
    // Moves the window with its size scaled; the position stays as given.
    void MoveScaled(HWND window, int x, int y, int width, int height, bool repaint) const;

    bool IsDpiAware() const { return aware_; }

private:
    int aware_ = 0;
    int dpiX_ = 96;
    int dpiY_ = 96;
};
