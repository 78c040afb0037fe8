#pragma once
// The notice of a newer version: the version and the running one, a button that goes to the
// version's page (only when there is a page to go to) and one that reminds the user later.

#include <windows.h>

#include <string>

#include "ui/control_factory.h"
#include "ui/dialog_base.h"

class UpdateNotice : public DialogBase {
public:
    static constexpr int kDesignWidth = 360;
    static constexpr int kDesignHeight = 160;
    enum Command { kGoToPage = 4096, kLater = 4098 };
    // What DoModal ends with.
    enum Result { kClosed = 0, kWentToPage = 1, kRemindLater = 2 };

    UpdateNotice(std::wstring caption, std::wstring latest, std::wstring current, bool offerPage);

    // The notice's text, as the user reads it.
    std::wstring Text() const;

private:
    bool OnInit(HWND window) override;
    void OnCommand(int id, int code, HWND control) override;
    void OnClose(HWND window) override;
    void OnDpiChanged(UINT oldDpi) override;

    ControlFactory controls_{0x1100};  // clear of the buttons' fixed IDs
    std::wstring caption_;
    std::wstring latest_;
    std::wstring current_;
    bool offerPage_;
    int goToIndex_ = 0;  // and 「後日通知する」 after it
};
