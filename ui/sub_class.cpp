#include "ui/sub_class.h"

#include "ui/subclass_proc.h"

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
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassedProc<SubClass_CL>));
}
