#include "update/update_notice.h"

#include "ui/dpi_scaling.h"

namespace {

// A popup with a caption, a system menu and a modal frame: no minimize or maximize box.
constexpr DWORD kNoticeStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

}  // namespace

UpdateNotice::UpdateNotice(std::wstring caption, std::wstring latest, std::wstring current, bool offerPage)
    : caption_(std::move(caption)), latest_(std::move(latest)), current_(std::move(current)), offerPage_(offerPage)
{
    SetStyle(kNoticeStyle);
}

std::wstring UpdateNotice::Text() const
{
    // Without a page to go to, the notice does not ask to go there.
    return L"最新のバージョン" + latest_ + L"が公開されています。" + L"\r\n" +
           (offerPage_ ? L"サイトへ移動しますか？\r\n\r\n" : L"\r\n") + L"　（現在インストールされているバージョンは" +
           current_ + L"です。）\r\n";
}

bool UpdateNotice::OnInit(HWND window)
{
    SetWindowTextW(window, caption_.c_str());
    const DpiScaling dpi(Dpi());
    dpi.MoveScaled(window, 0, 0, kDesignWidth, kDesignHeight, false);

    auto& f = controls_;
    f.CreateStatic(window, dpi.Scale(8), dpi.Scale(8), Text());
    f.UseIdForNext(kGoToPage);
    goToIndex_ = f.CreateButton(window, 0, 0, L"　サイトへ移動する　");
    f.UseIdForNext(kLater);
    f.CreateButton(window, 0, 0, L"後日通知する　");
    f.PlaceButtonPair(goToIndex_);
    if (!offerPage_)
        ShowWindow(f.At(goToIndex_)->Window(), SW_HIDE);
    // Enter does what the first button offered does.
    SendMessageW(window, DM_SETDEFID, offerPage_ ? kGoToPage : kLater, 0);
    CenterOverParent(Parent(), window);
    return true;
}

void UpdateNotice::OnDpiChanged(UINT)
{
    controls_.ApplyDpi(Dpi());
    controls_.PlaceButtonPair(goToIndex_);
}

void UpdateNotice::OnCommand(int id, int, HWND)
{
    if (id == kGoToPage && offerPage_)
        EndDialog(Window(), kWentToPage);
    else if (id == kLater)
        EndDialog(Window(), kRemindLater);
    else if (id == IDCANCEL)
        EndDialog(Window(), kClosed);
}

void UpdateNotice::OnClose(HWND window)
{
    EndDialog(window, kClosed);
}
