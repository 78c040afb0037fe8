#include "app/main_window.h"

#include <cstring>

#include "app/version.h"

namespace {

constexpr DWORD kDialogStyle = 0x80CA0080;  // popup, caption, system menu, minimize box, modal frame
constexpr DWORD kResizableStyles = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX |
                                   WS_MAXIMIZEBOX;
constexpr int kWindowSize = 640;

}  // namespace

INT_PTR MainWindow_CL::DoModal(HINSTANCE instance)
{
    // A bare dialog header; the zero bytes behind it leave menu, class and title empty.
    alignas(DWORD) unsigned char buffer[1024] = {};
    DLGTEMPLATE header{};
    header.style = kDialogStyle;
    header.cx = 320;
    header.cy = 240;
    std::memcpy(buffer, &header, sizeof header);
    return DialogBoxIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(buffer),
                                   nullptr, &MainWindow_CL::DialogProc,
                                   reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK MainWindow_CL::DialogProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<MainWindow_CL*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        self->OnInitDialog(window);
        return TRUE;
    }
    auto* self = reinterpret_cast<MainWindow_CL*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!self)
        return FALSE;
    switch (message) {
    case WM_CLOSE:
        EndDialog(window, 0);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(window, 0);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

void MainWindow_CL::OnInitDialog(HWND window)
{
    window_ = window;
    SetWindowTextW(window, kProductName);
    SetWindowLongPtrW(window, GWL_STYLE, GetWindowLongPtrW(window, GWL_STYLE) | kResizableStyles);

    const HINSTANCE instance = GetModuleHandleW(nullptr);
    auto* icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconId), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    // The window owns the menu from here: DestroyWindow frees an attached menu.
    SetMenu(window, LoadMenuW(instance, MAKEINTRESOURCEW(kMenuId)));

    const int left = (GetSystemMetrics(SM_CXFULLSCREEN) - kWindowSize) / 2;
    const int top = (GetSystemMetrics(SM_CYFULLSCREEN) - kWindowSize) / 2;
    SetWindowPos(window, nullptr, left, top, kWindowSize, kWindowSize,
                 SWP_NOZORDER | SWP_FRAMECHANGED);
}
