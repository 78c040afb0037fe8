#pragma once
// The first page of the settings sheet: which kinds of files a run organizes, and whether a
// movie is dated by the filming time it keeps in itself.

#include "app/settings_page.h"
#include "organize/organize_settings.h"

class KindsPage : public SettingsPage {
public:
    explicit KindsPage(OrganizeSettings* settings) : settings_(settings) {}

    CheckBox* KindSwitch(int index) const { return kinds_[index]; }
    CheckBox* MovieDatesSwitch() const { return movieDates_; }

protected:
    void BuildControls(HWND window) override;
    void OnCommand(int id, int code, HWND control) override;
    void Apply() override;

private:
    OrganizeSettings* settings_;
    CheckBox* kinds_[4] = {};
    CheckBox* movieDates_ = nullptr;
};
