#pragma once
// The first page of the settings sheet: which kinds of files a run organizes, and whether a
// movie is dated by the filming time it keeps in itself.

#include "app/settings_page.h"
#include "organize/organize_settings.h"

class PropAppSetting_CL : public SettingsPage_CL {
public:
    explicit PropAppSetting_CL(OrganizeSettings* settings) : settings_(settings) {}

    CheckBox_CL* KindSwitch(int index) const { return kinds_[index]; }
    CheckBox_CL* MovieDatesSwitch() const { return movieDates_; }

protected:
    void BuildControls(HWND window) override;
    void OnCommand(WPARAM wParam, LPARAM lParam) override;
    void Apply() override;

private:
    OrganizeSettings* settings_;
    CheckBox_CL* kinds_[4] = {};
    CheckBox_CL* movieDates_ = nullptr;
};
