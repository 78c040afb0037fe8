#include "app/main_window.h"

#include "app/version.h"

namespace {

constexpr DWORD kResizableStyles = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr int kWindowSize = 640;

}  // namespace

INT_PTR MainWindow_CL::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(window);
        return TRUE;
    case WM_CLOSE:
        EndDialog(window, 0);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(window, 0);
            return TRUE;
        }
        return FALSE;
    default:
        return SubClassDialogBase_CL::HandleMessage(window, message, wParam, lParam);
    }
}

void MainWindow_CL::OnInitDialog(HWND window)
{
    SetWindowTextW(window, kProductName);
    SetWindowLongPtrW(window, GWL_STYLE, GetWindowLongPtrW(window, GWL_STYLE) | kResizableStyles);

    const HINSTANCE instance = GetModuleHandleW(nullptr);
    auto* icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconId), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                               LR_SHARED));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    // The window owns the menu from here: DestroyWindow frees an attached menu.
    SetMenu(window, LoadMenuW(instance, MAKEINTRESOURCEW(kMenuId)));

    const int left = (GetSystemMetrics(SM_CXFULLSCREEN) - kWindowSize) / 2;
    const int top = (GetSystemMetrics(SM_CYFULLSCREEN) - kWindowSize) / 2;
    SetWindowPos(window, nullptr, left, top, kWindowSize, kWindowSize, SWP_NOZORDER | SWP_FRAMECHANGED);
}
