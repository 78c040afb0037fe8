#include "app/prop_app_setting.h"

#include <algorithm>

#include "base/inifile.h"

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

}  // namespace

void PropAppSetting_CL::BuildControls(HWND window)
{
    const ClientMetrics_CL m = GetPageMetrics(window);
    auto& f = controls_;
    int y = 2 * m.charHeight;
    int widest = 0;
    for (int i = 0; i < 4; ++i) {
        kinds_[i] = f.Get<CheckBox_CL>(f.CreateCheckBox(window, 2 * m.charWidth, y, kKinds[i].label));
        kinds_[i]->SetChecked(settings_->*kKinds[i].value == 1);
        y += kinds_[i]->Height() + m.charHeight / 2;
        widest = std::max(widest, kinds_[i]->Width());
    }
    // Created last, so that the check boxes lie on top of it.
    const int top = m.charHeight / 2;
    const int group = f.CreateGroupBox(window, L"整理するファイル", top,
                                       std::max(widest + 3 * m.charWidth, m.width - m.charWidth), y - top);
    f.At(group)->MoveToX(m.charWidth / 2);
}

void PropAppSetting_CL::OnCommand(WPARAM, LPARAM lParam)
{
    for (const CheckBox_CL* kind : kinds_) {
        if (kind && reinterpret_cast<HWND>(lParam) == kind->Window())
            Changed();
    }
}

void PropAppSetting_CL::Apply()
{
    for (int i = 0; i < 4; ++i)
        settings_->*kKinds[i].value = kinds_[i]->IsChecked() ? 1 : 0;
    for (const Kind& kind : kKinds)
        g_Ini.SetInt(L"APP_INFO", kind.key, settings_->*kind.value);
}
