#pragma once
// The version page: the program's version, the way to its support site, and the switch that
// keeps the update notice away.

#include "app/settings_page.h"

class VersionPage : public SettingsPage {
public:
    CheckBox* NoticeSwitch() const { return noticeOff_; }
    Button* SupportButton() const { return support_; }
    Button* IconButton() const { return icon_; }

protected:
    void BuildControls(HWND window) override;
    void OnCommand(int id, int code, HWND control) override;
    void Apply() override;
    void OnDpiChanged(UINT oldDpi) override;

private:
    void ShowIcon();

    CheckBox* noticeOff_ = nullptr;
    Button* support_ = nullptr;
    Button* icon_ = nullptr;
};
