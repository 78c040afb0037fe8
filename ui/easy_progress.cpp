#include "ui/easy_progress.h"

#include "base/logfile.h"
#include "base/trace.h"
#include "ui/high_dpi_helper.h"

EasyProgress_CL::EasyProgress_CL()
{
    SetStyle(kDialogStyle);
}

EasyProgress_CL::~EasyProgress_CL()
{
    EasyThreadBase_CL::Join();
}

void EasyProgress_CL::SetAutoStart(bool start, std::int32_t first, std::int32_t second)
{
    autoStart_ = start ? 1 : 0;
    startFirst_ = first;
    startSecond_ = second;
}

void EasyProgress_CL::SetPosition(int position)
{
    if (!bar_)
        return;
    bar_->SetPosition(position);
    lastPosition_ = position;
}

void EasyProgress_CL::AddProgress(std::uint64_t amount)
{
    done_ += amount;
    if (!bar_)
        return;
    if (total_ == 0) {
        bar_->SetPosition(0);
        return;
    }
    const auto position = static_cast<int>(done_ * kBarRange / total_);
    // Each change crosses to the window's thread and waits for it: only real changes go.
    if (position != lastPosition_)
        SetPosition(position);
}

void EasyProgress_CL::Reset()
{
    done_ = 0;
    total_ = 0;
    SetPosition(0);
}

void EasyProgress_CL::Trace(const std::wstring& line)
{
    WriteTraceLine(line);
}

void EasyProgress_CL::SetCaption(const std::wstring& caption)
{
    if (Window())
        SetWindowTextW(Window(), caption.c_str());
}

void EasyProgress_CL::OnInitDialog(HWND window)
{
    SetWindowTextW(window, title_.c_str());
    HighDpiHelper_CL dpi;
    dpi.Init();
    if (showDelay_ == 0) {
        dpi.MoveScaled(window, 0, 0, kDesignWidth, kDesignHeight, false);
    } else {
        MoveWindow(window, 0, 0, 0, 0, FALSE);
        SetTimer(window, kShowDelayTimer, static_cast<UINT>(showDelay_), nullptr);
    }
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_SYSMENU | WS_MINIMIZEBOX);
    SetWindowLongPtrW(window, GWL_STYLE, style);
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);

    // The client size of the design size, unscaled.
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(style), FALSE, 0);
    const int clientWidth = kDesignWidth - (frame.right - frame.left);
    const int clientHeight = kDesignHeight - (frame.bottom - frame.top);

    cancel_ = controls_.Get<Button_CL>(controls_.CreateButton(window, 48, 0, L"キャンセル"));
    int barWidth = clientWidth;
    if (showCancel_)
        barWidth -= cancel_->Width();
    else
        ShowWindow(cancel_->Window(), SW_HIDE);
    cancel_->MoveTo(barWidth, 0);
    cancel_->Resize(cancel_->Width(), clientHeight, true);

    bar_ = controls_.Get<ProgressBar_CL>(controls_.CreateProgressBar(window, 0, 0, barWidth, clientHeight));
    bar_->SetRange(0, kBarRange);

    // A worker that cannot start would leave the dialog open for good: it closes at once, and
    // the job's result says that it never ran.
    if (autoStart_ && !Start(startFirst_, startSecond_)) {
        g_Log.Write(L"作業スレッドを開始できませんでした。");
        PostMessageW(window, WM_CLOSE, 0, 0);
    }

    CenterOverParent(Parent(), window);
    RECT placed{};
    GetWindowRect(window, &placed);
    if (placed.top < 0)
        SetWindowPos(window, nullptr, placed.left, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void EasyProgress_CL::OnShowDelayOver(HWND window)
{
    KillTimer(window, kShowDelayTimer);
    HighDpiHelper_CL dpi;
    dpi.Init();
    RECT area{0, 0, GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN)};
    if (Parent() && !IsIconic(Parent()))
        GetWindowRect(Parent(), &area);
    const int x = ((area.right - area.left) - kDesignWidth) / 2 + area.left;
    const int y = ((area.bottom - area.top) - kDesignHeight) / 2 + area.top;
    dpi.MoveScaled(window, x, y, kDesignWidth, kDesignHeight, true);
}

INT_PTR EasyProgress_CL::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(window);
        return 0;
    case WM_TIMER:
        if (wParam == kShowDelayTimer)
            OnShowDelayOver(window);
        return 0;
    case WM_COMMAND:
        // The dialog stays open until the job, having seen the request, closes it; the
        // button goes grey to show that the request was taken.
        if (cancel_ && LOWORD(wParam) == cancel_->Id()) {
            RequestStop();
            EnableWindow(cancel_->Window(), FALSE);
        }
        return 0;
    case WM_CLOSE:
        KillTimer(window, kShowDelayTimer);
        EndDialog(window, 0);
        return 1;
    case WM_KEYDOWN:
        return (wParam == VK_RETURN || wParam == VK_ESCAPE) ? 1 : 0;
    default:
        return 0;
    }
}
