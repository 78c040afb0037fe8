#pragma once
// The version page: the program's version, the way to its support site, and the switch that
// keeps the update notice away.

#include "app/settings_page.h"

class PropAppVersion_CL : public SettingsPage_CL {
public:
    CheckBox_CL* NoticeSwitch() const { return noticeOff_; }
    Button_CL* SupportButton() const { return support_; }
    Button_CL* IconButton() const { return icon_; }

protected:
    void BuildControls(HWND window) override;
    void OnCommand(WPARAM wParam, LPARAM lParam) override;
    void Apply() override;

private:
    CheckBox_CL* noticeOff_ = nullptr;
    Button_CL* support_ = nullptr;
    Button_CL* icon_ = nullptr;
};
