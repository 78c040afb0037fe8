#pragma once
// The main window: a modal dialog built from an in-memory template.

#include <windows.h>

#include "ui/sub_class_dialog_base.h"

class MainWindow_CL : public SubClassDialogBase_CL {
public:
    static constexpr int kIconId = 107;
    static constexpr int kMenuId = 110;

    INT_PTR HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    virtual void OnInitDialog(HWND window);
};
