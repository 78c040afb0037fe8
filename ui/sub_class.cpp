#include "ui/sub_class.h"

LRESULT SubClass_CL::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return callback_ ? callback_(window, message, wParam, lParam) : 0;
}

void SubClass_CL::Install(HWND window, ControlCallback_CL callback, void* owner)
{
    previousProc_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
    callback_ = callback;
    owner_ = owner;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubClass_CL::CommonProc));
}

LRESULT CALLBACK SubClass_CL::CommonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<SubClass_CL*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return 0;
    self->handled_ = 0;
    const LRESULT result = self->OnMessage(window, message, wParam, lParam);
    if (message == WM_DESTROY)
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(self->previousProc_));
    if (self->handled_)
        return result;
    return CallWindowProcW(self->previousProc_, window, message, wParam, lParam);
}
