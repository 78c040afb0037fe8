#include "ui/sub_class.h"

#include <commctrl.h>

#include "ui/callback_barrier.h"

SubClass_CL::~SubClass_CL()
{
    Remove();
}

LRESULT SubClass_CL::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return callback_ ? callback_(*this, window, message, wParam, lParam) : 0;
}

bool SubClass_CL::Install(HWND window, ControlCallback_CL callback, void* owner)
{
    Remove();
    callback_ = callback;
    owner_ = owner;
    // The object's address tells its hook apart from any other on the same window.
    if (!SetWindowSubclass(window, &SubClass_CL::Proc, reinterpret_cast<UINT_PTR>(this),
                           reinterpret_cast<DWORD_PTR>(this)))
        return false;
    window_ = window;
    return true;
}

void SubClass_CL::Remove()
{
    if (window_)
        RemoveWindowSubclass(window_, &SubClass_CL::Proc, reinterpret_cast<UINT_PTR>(this));
    window_ = nullptr;
}

LRESULT CALLBACK SubClass_CL::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                   DWORD_PTR self)
{
    auto* hook = reinterpret_cast<SubClass_CL*>(self);
    // The last message a window gets: the hook comes off here, whatever the callback does.
    if (message == WM_NCDESTROY)
        hook->Remove();
    hook->SetHandled(false);
    const LRESULT result = CallbackBarrier(L"SubClass_CL", LRESULT{0}, [&] {
        return hook->OnMessage(window, message, wParam, lParam);
    });
    if (hook->Handled())
        return result;
    return DefSubclassProc(window, message, wParam, lParam);
}
