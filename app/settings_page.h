#pragma once
// What the pages of the settings sheet share: they build their controls when they are first
// shown, tell the sheet when the user changed something (which enables Apply), and commit
// their data when the sheet applies (OK or Apply). A page never shown commits nothing.

#include <windows.h>

#include "ui/control_factory.h"
#include "ui/dialog_base.h"

class SettingsPage : public DialogBase {
public:
    INT_PTR HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    virtual void BuildControls(HWND window) = 0;
    // A command from one of the page's controls.
    virtual void OnCommand(WPARAM wParam, LPARAM lParam) = 0;
    // Any other notification than the sheet's apply; false when the page does not handle it.
    virtual bool OnNotify(const NMHDR* /*header*/) { return false; }
    virtual void Apply() = 0;

    // Enables the sheet's Apply button.
    void Changed() const;

    ControlFactory controls_{0x1100};
};
