#pragma once
// Subclassing, the one way every window of ours hooks a window's messages: through the
// system's subclass chain (SetWindowSubclass), so that hooks stack and come off in any order.
// Controls made by a factory hook themselves through Control::Subclass; a window we did
// not create (a control of the system's, a property sheet's frame) takes a WindowSubclass of its
// own.

#include <windows.h>

#include <cstdint>

class WindowSubclass;

// A message callback: hears every message of the hooked window first. Setting the hook's
// handled flag keeps the message from the window's own procedure; the hook's owner is the
// object that installed it.
using ControlCallback = LRESULT (*)(WindowSubclass& hook, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

class WindowSubclass {
public:
    WindowSubclass() = default;
    WindowSubclass(const WindowSubclass&) = delete;
    WindowSubclass& operator=(const WindowSubclass&) = delete;
    // Unhooks a window that outlives its hook.
    virtual ~WindowSubclass();

    // Calls the callback; 0 without one.
    virtual LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // False when the system refuses the hook. A second Install moves the hook.
    bool Install(HWND window, ControlCallback callback, void* owner);
    void Remove();

    void SetHandled(bool handled) { handled_ = handled ? 1 : 0; }
    bool Handled() const { return handled_ != 0; }
    void* Owner() const { return owner_; }
    HWND Window() const { return window_; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                 DWORD_PTR self);

    HWND window_ = nullptr;
    ControlCallback callback_ = nullptr;
    std::int32_t handled_ = 0;
    void* owner_ = nullptr;
};
