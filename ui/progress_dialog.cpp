#include "ui/progress_dialog.h"

#include "base/log_file.h"
#include "base/trace.h"
#include "ui/dpi_scaling.h"

ProgressDialog::ProgressDialog()
{
    SetStyle(kDialogStyle);
}

ProgressDialog::~ProgressDialog()
{
    WorkerThread::Join();
}

void ProgressDialog::SetAutoStart(bool start)
{
    autoStart_ = start;
}

void ProgressDialog::SetPosition(int position)
{
    if (!bar_)
        return;
    bar_->SetPosition(position);
    lastPosition_ = position;
}

namespace {
// The pace in the caption changes at most this often: each change crosses to the window's
// thread.
constexpr std::uint64_t kPaceRefreshMs = 1000;
}  // namespace

void ProgressDialog::SetTotal(std::uint64_t total)
{
    total_ = total;
    pace_.Start(GetTickCount64(), done_);
}

void ProgressDialog::AddProgress(std::uint64_t amount)
{
    done_ += amount;
    if (!bar_)
        return;
    if (!caption_.empty() && GetTickCount64() - paceShownMs_ >= kPaceRefreshMs)
        ShowCaption();
    if (total_ == 0) {
        bar_->SetPosition(0);
        return;
    }
    const auto position = static_cast<int>(done_ * kBarRange / total_);
    // Each change crosses to the window's thread and waits for it: only real changes go.
    if (position != lastPosition_)
        SetPosition(position);
}

void ProgressDialog::Reset()
{
    done_ = 0;
    total_ = 0;
    pace_.Start(GetTickCount64(), 0);
    SetPosition(0);
}

void ProgressDialog::Trace(const std::wstring& line)
{
    WriteTraceLine(line);
}

void ProgressDialog::SetCaption(const std::wstring& caption)
{
    caption_ = caption;
    ShowCaption();
}

void ProgressDialog::ShowCaption()
{
    if (!Window())
        return;
    paceShownMs_ = GetTickCount64();
    const std::wstring pace = total_ > done_ ? pace_.Text(paceShownMs_, done_, total_) : std::wstring();
    const std::wstring text = pace.empty() ? caption_ : caption_ + L"  " + pace;
    SetWindowTextW(Window(), text.c_str());
}

bool ProgressDialog::OnInit(HWND window)
{
    SetWindowTextW(window, title_.c_str());
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_SYSMENU | WS_MINIMIZEBOX);
    SetWindowLongPtrW(window, GWL_STYLE, style);
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    if (showDelay_ == 0) {
        DpiScaling(Dpi()).MoveScaled(window, 0, 0, kDesignWidth, kDesignHeight, false);
    } else {
        MoveWindow(window, 0, 0, 0, 0, FALSE);
        SetTimer(window, kShowDelayTimer, static_cast<UINT>(showDelay_), nullptr);
    }

    cancel_ = controls_.Get<Button>(controls_.CreateButton(window, 0, 0, L"キャンセル"));
    // Half a line of air on each side of its text: its caption has no spaces around it.
    cancel_->SizeBy({ControlSizing::kTextWithAir});
    if (!showCancel_)
        ShowWindow(cancel_->Window(), SW_HIDE);
    bar_ = controls_.Get<ProgressBar>(controls_.CreateProgressBar(window, 0, 0, 0, 0));
    bar_->SetRange(0, kBarRange);
    PlaceControls();

    // A worker that cannot start would leave the dialog open for good: it closes at once, and
    // the job's result says that it never ran.
    if (autoStart_ && !Start()) {
        g_Log.Write(L"作業スレッドを開始できませんでした。");
        PostMessageW(window, WM_CLOSE, 0, 0);
    }

    CenterOverParent(Parent(), window);
    return false;  // no control takes the focus: Enter and Esc go to the dialog
}

void ProgressDialog::PlaceControls()
{
    // The bar fills the client area of the design size, the cancel button at its right end.
    const DpiScaling dpi(Dpi());
    RECT frame{};
    AdjustWindowRectForDpi(&frame, Window(), Dpi());
    const int clientWidth = dpi.Scale(kDesignWidth) - (frame.right - frame.left);
    const int clientHeight = dpi.Scale(kDesignHeight) - (frame.bottom - frame.top);
    const int barWidth = showCancel_ ? clientWidth - cancel_->Width() : clientWidth;
    cancel_->MoveTo(barWidth, 0);
    cancel_->Resize(cancel_->Width(), clientHeight, true);
    bar_->MoveTo(0, 0);
    bar_->Resize(barWidth, clientHeight, true);
}

void ProgressDialog::OnDpiChanged(UINT)
{
    controls_.ApplyDpi(Dpi());
    PlaceControls();
}

void ProgressDialog::OnShowDelayOver(HWND window)
{
    KillTimer(window, kShowDelayTimer);
    const DpiScaling dpi(Dpi());
    RECT area{0, 0, GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN)};
    if (Parent() && !IsIconic(Parent()))
        GetWindowRect(Parent(), &area);
    const int width = dpi.Scale(kDesignWidth), height = dpi.Scale(kDesignHeight);
    const POINT at = KeptWithinWorkArea(area, ((area.right - area.left) - width) / 2 + area.left,
                                        ((area.bottom - area.top) - height) / 2 + area.top, width, height);
    dpi.MoveScaled(window, at.x, at.y, kDesignWidth, kDesignHeight, true);
}

void ProgressDialog::OnTimer(UINT_PTR id)
{
    if (id == kShowDelayTimer)
        OnShowDelayOver(Window());
}

void ProgressDialog::OnCommand(int id, int, HWND)
{
    // The dialog stays open until the job, having seen the request, closes it; the button
    // goes grey to show that the request was taken.
    if (cancel_ && id == cancel_->Id()) {
        RequestStop();
        EnableWindow(cancel_->Window(), FALSE);
    }
}

void ProgressDialog::OnClose(HWND window)
{
    KillTimer(window, kShowDelayTimer);
    EndDialog(window, 0);
}

bool ProgressDialog::OnOtherMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR* result)
{
    // Enter and Esc do not end the work.
    if (message != WM_KEYDOWN || (wParam != VK_RETURN && wParam != VK_ESCAPE))
        return false;
    *result = TRUE;
    return true;
}
