#pragma once
// A plain top-level window for tests to put controls in or to own dialogs.

#include <windows.h>

#include <string>

class TestWindow {
public:
    TestWindow(int x, int y, int width, int height, const wchar_t* title = L"test window");
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND get() const { return window_; }

private:
    HWND window_;
};

// Runs the thread's messages for a while, so that posted messages and timers arrive.
void PumpMessages(DWORD milliseconds);
