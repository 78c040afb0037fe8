#include "ui/window_subclass.h"

#include <commctrl.h>

#include "ui/callback_barrier.h"

WindowSubclass::~WindowSubclass()
{
    Remove();
}

LRESULT WindowSubclass::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return callback_ ? callback_(*this, window, message, wParam, lParam) : 0;
}

bool WindowSubclass::Install(HWND window, ControlCallback callback, void* owner)
{
    Remove();
    callback_ = callback;
    owner_ = owner;
    // The object's address tells its hook apart from any other on the same window.
    if (!SetWindowSubclass(window, &WindowSubclass::Proc, reinterpret_cast<UINT_PTR>(this),
                           reinterpret_cast<DWORD_PTR>(this)))
        return false;
    window_ = window;
    return true;
}

void WindowSubclass::Remove()
{
    if (window_)
        RemoveWindowSubclass(window_, &WindowSubclass::Proc, reinterpret_cast<UINT_PTR>(this));
    window_ = nullptr;
}

LRESULT CALLBACK WindowSubclass::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR self)
{
    auto* hook = reinterpret_cast<WindowSubclass*>(self);
    // The last message a window gets: the hook comes off here, whatever the callback does.
    if (message == WM_NCDESTROY)
        hook->Remove();
    hook->SetHandled(false);
    // "SubClass_CL" names a class long gone: a text the log keeps as it was.
    const LRESULT result = CallbackBarrier(L"SubClass_CL", LRESULT{0}, [&] {
        return hook->OnMessage(window, message, wParam, lParam);
    });
    if (hook->Handled())
        return result;
    return DefSubclassProc(window, message, wParam, lParam);
}
