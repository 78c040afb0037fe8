#include "app/settings_page.h"

#include <prsht.h>

void SettingsPage::Changed() const
{
    PropSheet_Changed(GetParent(Window()), Window());
}

INT_PTR SettingsPage::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        BuildControls(window);
        ShowWindow(window, SW_SHOW);
        return 1;
    case WM_COMMAND:
        OnCommand(wParam, lParam);
        return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code == PSN_APPLY) {
            Apply();
            SetWindowLongPtrW(window, DWLP_MSGRESULT, PSNRET_NOERROR);
            return TRUE;
        }
        return OnNotify(header) ? TRUE : FALSE;
    }
    case WM_CLOSE:
        EndDialog(window, 0);
        return TRUE;
    default:
        return FALSE;
    }
}
