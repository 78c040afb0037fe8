#pragma once
// The main window: a modal dialog built from an in-memory template.

#include <windows.h>

class MainWindow_CL {
public:
    static constexpr int kIconId = 107;
    static constexpr int kMenuId = 110;

    MainWindow_CL() = default;
    virtual ~MainWindow_CL() = default;
    MainWindow_CL(const MainWindow_CL&) = delete;
    MainWindow_CL& operator=(const MainWindow_CL&) = delete;

    // Shows the window and returns when the user closes it.
    INT_PTR DoModal(HINSTANCE instance);

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog(HWND window);

    HWND window_ = nullptr;
};
