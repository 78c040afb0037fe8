#pragma once
// The common procedure of a subclassed window: the object in the window's user data hears
// every message first; unless it sets its handled flag, the window's own procedure does too.
// On WM_DESTROY the window gets its own procedure back.

#include <windows.h>

template <typename Subclassed>
LRESULT CALLBACK SubclassedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<Subclassed*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return 0;
    self->SetHandled(false);
    const LRESULT result = self->OnMessage(window, message, wParam, lParam);
    const WNDPROC previous = self->PreviousProc();
    // Restored before the window goes; the window's own procedure still sees WM_DESTROY
    // (unless it was handled) so that it frees what it holds.
    if (message == WM_DESTROY)
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    if (self->Handled())
        return result;
    return CallWindowProcW(previous, window, message, wParam, lParam);
}
