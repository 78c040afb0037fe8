#pragma once
// The first page of the settings sheet: which kinds of files a run organizes and whether files
// that belong together are organized together, whether a movie
// is dated by the filming time it keeps in itself, and whether a file with no date inside is
// dated by the date its name carries.

#include "app/settings_page.h"
#include "organize/organize_settings.h"

class KindsPage : public SettingsPage {
public:
    explicit KindsPage(OrganizeSettings* settings) : settings_(settings) {}

    CheckBox* KindSwitch(int index) const { return kinds_[index]; }
    CheckBox* MovieDatesSwitch() const { return movieDates_; }
    CheckBox* NameDatesSwitch() const { return nameDates_; }

protected:
    void BuildControls(HWND window) override;
    void OnCommand(int id, int code, HWND control) override;
    void Apply() override;

private:
    OrganizeSettings* settings_;
    CheckBox* kinds_[4] = {};
    CheckBox* groups_ = nullptr;
    CheckBox* movieDates_ = nullptr;
    CheckBox* nameDates_ = nullptr;
};
