#pragma once
// The progress dialog of long work: a bar, optionally a cancel button, the work's title as
// caption (with its pace and time left once they can be told), and the work itself on a worker thread. A job derives from it and supplies Run
// and OnFinished (which closes the dialog by posting WM_CLOSE).

#include <cstdint>
#include <string>

#include "ui/control_factory.h"
#include "ui/worker_thread.h"
#include "base/progress_pace.h"
#include "base/progress_sink.h"
#include "ui/dialog_base.h"

class ProgressDialog : public DialogBase, public WorkerThread, public ProgressSink {
public:
    static constexpr int kDesignWidth = 480;
    static constexpr int kDesignHeight = 56;
    static constexpr int kBarRange = 2000;
    static constexpr UINT_PTR kShowDelayTimer = 0x11221234;

    ProgressDialog();
    ~ProgressDialog() override;
    virtual void SetPosition(int position);
    void Join() override { WorkerThread::Join(); }

    // Progress, from the worker.
    void SetTotal(std::uint64_t total) override;
    void AddProgress(std::uint64_t amount) override;
    void SetCaption(const std::wstring& caption) override;
    bool StopRequested() const override { return WorkerThread::StopRequested(); }
    void Reset() override;
    // To the standard output, for whoever started the program from a console.
    void Trace(const std::wstring& line) override;

    void SetTitle(const std::wstring& title) { title_ = title; }
    void SetShowCancel(bool show) { showCancel_ = show ? 1 : 0; }
    void SetAutoStart(bool start);
    void SetShowDelay(int milliseconds) { showDelay_ = milliseconds; }

    std::uint64_t Total() const override { return total_; }
    std::uint64_t Done() const { return done_; }
    int LastPosition() const { return lastPosition_; }
    ProgressBar* Bar() const { return bar_; }
    Button* CancelButton() const { return cancel_; }

protected:
    bool OnInit(HWND window) override;
    void OnTimer(UINT_PTR id) override;
    void OnCommand(int id, int code, HWND control) override;
    void OnClose(HWND window) override;
    bool OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

private:
    void OnShowDelayOver(HWND window);
    void OnDpiChanged(UINT oldDpi) override;
    void PlaceControls();
    // The caption the work gave, and after it the pace while there is one to tell.
    void ShowCaption();

    ControlFactory controls_{0x1100};
    ProgressBar* bar_ = nullptr;
    Button* cancel_ = nullptr;
    std::wstring title_;
    std::int32_t showCancel_ = 0;
    bool autoStart_ = false;
    std::uint64_t total_ = 0;
    std::uint64_t done_ = 0;
    std::int32_t lastPosition_ = 0;
    std::int32_t showDelay_ = 0;
    std::wstring caption_;
    ProgressPace pace_;
    std::uint64_t paceShownMs_ = 0;
};
