#include "app/settings_page.h"

#include <prsht.h>

void SettingsPage::Changed() const
{
    PropSheet_Changed(GetParent(Window()), Window());
}

bool SettingsPage::OnInit(HWND window)
{
    BuildControls(window);
    return DialogBase::OnInit(window);
}

void SettingsPage::OnDpiChanged(UINT)
{
    controls_.ApplyDpi(Dpi());
}

bool SettingsPage::OnNotify(const NMHDR& header)
{
    if (header.code != PSN_APPLY)
        return OnPageNotify(header);
    Apply();
    SetWindowLongPtrW(Window(), DWLP_MSGRESULT, PSNRET_NOERROR);
    return true;
}
