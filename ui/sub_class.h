#pragma once
// Subclassing of a control that the window did not create through its factory (the list
// view of folders that files are dropped on, a property sheet's own windows).

#include <windows.h>

#include <cstdint>

#include "ui/control_base.h"

class SubClass_CL {
public:
    SubClass_CL() = default;
    SubClass_CL(const SubClass_CL&) = delete;
    SubClass_CL& operator=(const SubClass_CL&) = delete;
    virtual ~SubClass_CL() = default;

    // The callback finds this object in the window's user data, the owner in Owner().
    virtual LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    void Install(HWND window, ControlCallback_CL callback, void* owner);
    void SetHandled(bool handled) { handled_ = handled ? 1 : 0; }
    bool Handled() const { return handled_ != 0; }
    WNDPROC PreviousProc() const { return previousProc_; }
    void* Owner() const { return owner_; }

private:
    WNDPROC previousProc_ = nullptr;
    ControlCallback_CL callback_ = nullptr;
    std::int32_t handled_ = 0;
    void* owner_ = nullptr;
};
