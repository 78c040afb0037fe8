#include "app/version_page.h"

#include <algorithm>

#include "base/settings_store.h"
#include "base/paths.h"
#include "base/version.h"
#include "ui/dpi_scaling.h"
#include "ui/ui_seams.h"

namespace {

constexpr int kIconId = 107;
constexpr int kIconSize = 48;
constexpr wchar_t kVersionSection[] = L"VERSION";

}  // namespace

void VersionPage::BuildControls(HWND window)
{
    SetWindowTextW(window, L"バージョン表示");
    const ClientMetrics m = GetPageMetrics(window, Dpi());
    const int cw = m.charWidth, ch = m.charHeight;
    const int left = cw / 2, inner = left + cw;
    auto& f = controls_;

    // Version information: the program's icon, which also leads to the support site, and the version.
    int y = ch / 2 + ch + ch / 2;
    icon_ = f.Get<Button>(f.CreateButton(window, inner, y, L""));
    SetWindowLongPtrW(icon_->Window(), GWL_STYLE, GetWindowLongPtrW(icon_->Window(), GWL_STYLE) | BS_ICON | BS_FLAT);
    icon_->SetSizing({});
    const int iconBox = ScaleToDpi(kIconSize + 8, Dpi());
    icon_->Resize(iconBox, iconBox, true);
    ShowIcon();
    const int textX = inner + icon_->Width() + cw;
    const int version = f.CreateStatic(window, textX, y, std::wstring(L"Version : ") + kProductVersion);
    const int blank = f.CreateStatic(window, textX, 0, L"　");
    const int toSite = f.CreateStatic(window, textX, 0, L"サポートサイトへ");
    f.StackVertically({version, blank, toSite}, y);
    support_ = f.Get<Button>(f.CreateButton(window, textX, 0, L"　　サポートサイトへ　　"));
    support_->MoveTo(textX, f.At(toSite)->ClientRectInParent().bottom + ch / 2);
    const int infoBottom = std::max(icon_->ClientRectInParent().bottom, support_->ClientRectInParent().bottom) + ch;

    // The update notice.
    y = infoBottom + ch;
    noticeOff_ = f.Get<CheckBox>(f.CreateCheckBox(window, inner, y + ch + ch / 2, L"バージョンアップの通知をしない"));
    noticeOff_->SetChecked(g_SettingsStore.GetInt(kVersionSection, L"notify", 0) != 0);
    const int noticeBottom = noticeOff_->ClientRectInParent().bottom + ch;

    // Created last, so that what they frame lies on top of them.
    const int width = m.width - cw;
    f.At(f.CreateGroupBox(window, L"バージョンアップの通知", y, width, noticeBottom - y))->MoveToX(left);
    const int top = ch / 2;
    f.At(f.CreateGroupBox(window, L"バージョン情報", top, width, infoBottom - top))->MoveToX(left);
}

void VersionPage::ShowIcon()
{
    // Drawn from the icon's own image of that size, not stretched from the 96-DPI one.
    const int size = ScaleToDpi(kIconSize, Dpi());
    auto* picture = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconId), IMAGE_ICON, size, size, LR_SHARED));
    SendMessageW(icon_->Window(), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(picture));
}

void VersionPage::OnDpiChanged(UINT oldDpi)
{
    SettingsPage::OnDpiChanged(oldDpi);
    ShowIcon();
}

void VersionPage::OnCommand(int, int, HWND from)
{
    if (noticeOff_ && from == noticeOff_->Window()) {
        Changed();
    } else if ((support_ && from == support_->Window()) || (icon_ && from == icon_->Window())) {
        if (!IsDeveloperMachine())
            ShellOpen(Window(), kSupportSiteAddress);
    }
}

void VersionPage::Apply()
{
    if (!g_SettingsStore.SetInt(kVersionSection, L"notify", noticeOff_->IsChecked() ? 1 : 0))
        g_SettingsStore.LogUnsaved(kVersionSection);
}
