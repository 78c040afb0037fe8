#pragma once
// What the pages of the settings sheet share: they build their controls when they are first
// shown, tell the sheet when the user changed something (which enables Apply), and commit
// their data when the sheet applies (OK or Apply). A page never shown commits nothing.

#include <windows.h>

#include "ui/control_factory.h"
#include "ui/dialog_base.h"

class SettingsPage : public DialogBase {
protected:
    virtual void BuildControls(HWND window) = 0;
    // The sheet's apply (OK or Apply).
    virtual void Apply() = 0;
    // Any other notification than the sheet's apply; false when the page does not handle it.
    virtual bool OnPageNotify(const NMHDR& /*header*/) { return false; }

    bool OnInit(HWND window) override;
    bool OnNotify(const NMHDR& header) override;
    // The sheet went to a monitor of another DPI: the page's controls follow to scale.
    void OnDpiChanged(UINT oldDpi) override;

    // Enables the sheet's Apply button.
    void Changed() const;

    ControlFactory controls_{0x1100};
};
