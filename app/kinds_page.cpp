#include "app/kinds_page.h"

#include <algorithm>

#include "base/settings_store.h"

namespace {

struct Kind {
    const wchar_t* label;
    const wchar_t* key;
    std::int32_t OrganizeSettings::*value;
};
const Kind kKinds[4] = {{L"写真を整理する", L"arrnge_photo", &OrganizeSettings::ArrangePhoto},
                        {L"動画を整理する", L"arrnge_movie", &OrganizeSettings::ArrangeMovie},
                        {L"音声を整理する", L"arrnge_sound", &OrganizeSettings::ArrangeSound},
                        {L"知らない拡張子のファイルも整理する", L"arrnge_etc", &OrganizeSettings::ArrangeEtc}};

const wchar_t kGroupsLabel[] = L"ライブフォトや RAW+JPEG など、組のファイルをまとめて整理する";
const wchar_t kMovieDatesLabel[] = L"動画は動画ファイルに記録された撮影日時で整理する";
const wchar_t kNameDatesLabel[] = L"撮影日時のないファイルは、ファイル名などの日付で整理する";

}  // namespace

void KindsPage::BuildControls(HWND window)
{
    const ClientMetrics m = GetPageMetrics(window, Dpi());
    auto& f = controls_;
    int y = 2 * m.charHeight;
    int widest = 0;
    for (int i = 0; i < 4; ++i) {
        kinds_[i] = f.Get<CheckBox>(f.CreateCheckBox(window, 2 * m.charWidth, y, kKinds[i].label));
        kinds_[i]->SetChecked(settings_->*kKinds[i].value == 1);
        y += kinds_[i]->Height() + m.charHeight / 2;
        widest = std::max(widest, kinds_[i]->Width());
    }
    groups_ = f.Get<CheckBox>(f.CreateCheckBox(window, 2 * m.charWidth, y, kGroupsLabel));
    groups_->SetChecked(settings_->KeepGroupsTogether == 1);
    y += groups_->Height() + m.charHeight / 2;
    widest = std::max(widest, groups_->Width());
    // Created last, so that the check boxes lie on top of it.
    const int top = m.charHeight / 2;
    const int groupWidth = std::max(widest + 3 * m.charWidth, m.width - m.charWidth);
    const int group = f.CreateGroupBox(window, L"整理するファイル", top, groupWidth, y - top);
    f.At(group)->MoveToX(m.charWidth / 2);

    const int datesTop = y + m.charHeight;
    y = datesTop + 3 * m.charHeight / 2;
    movieDates_ = f.Get<CheckBox>(f.CreateCheckBox(window, 2 * m.charWidth, y, kMovieDatesLabel));
    movieDates_->SetChecked(settings_->MovieDateFromFile == 1);
    y += movieDates_->Height() + m.charHeight / 2;
    nameDates_ = f.Get<CheckBox>(f.CreateCheckBox(window, 2 * m.charWidth, y, kNameDatesLabel));
    nameDates_->SetChecked(settings_->DateFromFileName == 1);
    y += nameDates_->Height() + m.charHeight / 2;
    const int datesWidth = std::max(movieDates_->Width(), nameDates_->Width()) + 3 * m.charWidth;
    const int dates = f.CreateGroupBox(window, L"撮影日時", datesTop, std::max(groupWidth, datesWidth), y - datesTop);
    f.At(dates)->MoveToX(m.charWidth / 2);
}

void KindsPage::OnCommand(int, int, HWND control)
{
    for (const CheckBox* box : {kinds_[0], kinds_[1], kinds_[2], kinds_[3], groups_, movieDates_, nameDates_}) {
        if (box && control == box->Window())
            Changed();
    }
}

void KindsPage::Apply()
{
    for (int i = 0; i < 4; ++i)
        settings_->*kKinds[i].value = kinds_[i]->IsChecked() ? 1 : 0;
    bool held = true;
    for (const Kind& kind : kKinds)
        held = g_SettingsStore.SetInt(kAppSettingsSection, kind.key, settings_->*kind.value) && held;
    settings_->KeepGroupsTogether = groups_->IsChecked() ? 1 : 0;
    held = g_SettingsStore.SetInt(kAppSettingsSection, L"KeepGroupsTogether", settings_->KeepGroupsTogether) && held;
    settings_->MovieDateFromFile = movieDates_->IsChecked() ? 1 : 0;
    held = g_SettingsStore.SetInt(kAppSettingsSection, L"MovieDateFromFile", settings_->MovieDateFromFile) && held;
    settings_->DateFromFileName = nameDates_->IsChecked() ? 1 : 0;
    held = g_SettingsStore.SetInt(kAppSettingsSection, L"DateFromFileName", settings_->DateFromFileName) && held;
    // The choices hold for this session all the same.
    if (!held)
        g_SettingsStore.LogUnsaved(kAppSettingsSection);
}
