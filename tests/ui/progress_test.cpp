#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <stdexcept>
#include <vector>

#include "base/log_file.h"
#include "tests/support/layout_check.h"
#include "tests/support/screenshot.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_files.h"
#include "tests/support/test_window.h"
#include "ui/progress_dialog.h"
#include "ui/dpi_scaling.h"

namespace {

// A job whose work is a test's script, run on the worker while the dialog is up.
class ScriptedJob : public ProgressDialog {
public:
    explicit ScriptedJob(std::function<void(ScriptedJob&)> script) : script_(std::move(script))
    {
        SetTitle(L"写真の整理中( 0 / 3 )");
        SetAutoStart(true);
    }
    ~ScriptedJob() override { WorkerThread::Join(); }

    std::atomic<int> finishedWith{-1};
    std::atomic<bool> tailDone{false};
    DWORD tailDelay = 0;

protected:
    void Run() override { script_(*this); }
    void OnFinished(bool stopRequested) override
    {
        finishedWith = stopRequested;
        if (Window())
            PostMessageW(Window(), WM_CLOSE, 0, 0);
        Sleep(tailDelay);
        tailDone = true;
    }

private:
    std::function<void(ScriptedJob&)> script_;
};

RECT RectOf(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

// The bar follows the work, and once the pace can be told the caption tells it with the
// time left.
TEST(ProgressTest, BarFollowsTheShareOfWorkDoneAndTheCaptionThePace)
{
    std::vector<int> positions;
    bool shot = false;
    std::wstring early, paced;
    RECT shown{};
    ScriptedJob job([&](ScriptedJob& self) {
        self.SetTotal(3);
        for (int i = 0; i < 3; ++i) {
            self.AddProgress(1);
            positions.push_back(self.Bar()->Position());
            wchar_t title[128] = {};
            if (i == 0) {
                self.SetCaption(L"写真の整理中( 1 / 3 )");
                GetWindowTextW(self.Window(), title, 128);
                early = title;
                Sleep(700);
            }
            if (i == 1) {
                self.SetCaption(L"写真の整理中( 2 / 3 )");
                GetWindowTextW(self.Window(), title, 128);
                paced = title;
                shown = RectOf(self.Window());
                shot = SaveScreenshot(self.Window(), L"progress_dialog");
            }
        }
    });
    TestWindow owner(100, 100, 640, 480, L"owner");
    EXPECT_EQ(job.DoModal(owner.get()), 0);
    EXPECT_EQ(early, L"写真の整理中( 1 / 3 )");
    // Two done in about 0.7 s: two or three a second, and the last one within a second.
    const std::wstring caption = L"写真の整理中( 2 / 3 )  ";
    EXPECT_TRUE(paced == caption + L"毎秒 3 件  残り 0:00" || paced == caption + L"毎秒 2 件  残り 0:00" ||
                paced == caption + L"毎秒 2 件  残り 0:01")
        << paced;
    EXPECT_EQ(positions, (std::vector<int>{666, 1333, 2000}));
    EXPECT_EQ(job.LastPosition(), 2000);
    EXPECT_EQ(job.finishedWith, 0);
    // Centred over an owner too small for it near the screen's edge, it stays whole on the
    // screen (at 200 % it would hang past the left edge), and its picture shows it.
    EXPECT_GE(shown.left, 0);
    EXPECT_GE(shown.top, 0);
    EXPECT_TRUE(shot);
}

TEST(ProgressTest, WithoutATotalTheBarStaysAtZero)
{
    std::vector<int> positions;
    ScriptedJob job([&](ScriptedJob& self) {
        for (int i = 0; i < 5; ++i) {
            self.AddProgress(10);
            positions.push_back(self.Bar()->Position());
        }
    });
    EXPECT_EQ(job.DoModal(nullptr), 0);
    EXPECT_EQ(positions, (std::vector<int>(5, 0)));
    EXPECT_EQ(job.Done(), 50u);
}

TEST(ProgressTest, DialogIsTheDesignSizeCentredOverItsOwner)
{
    RECT rect{}, ownerRect{};
    HWND cancel = nullptr;
    bool cancelVisible = true;
    TestWindow owner(100, 100, 800, 600, L"owner");
    ScriptedJob job([&](ScriptedJob& self) {
        Sleep(300);  // the work starts before the dialog has placed itself
        rect = RectOf(self.Window());
        cancel = self.CancelButton()->Window();
        cancelVisible = IsWindowVisible(cancel);
    });
    EXPECT_EQ(job.DoModal(owner.get()), 0);
    const DpiScaling dpi(SystemDpi());
    EXPECT_EQ(rect.right - rect.left, dpi.Scale(480));
    EXPECT_EQ(rect.bottom - rect.top, dpi.Scale(56));
    ownerRect = RectOf(owner.get());
    EXPECT_NEAR((rect.left + rect.right) / 2, (ownerRect.left + ownerRect.right) / 2, 16);
    EXPECT_FALSE(cancelVisible);  // no cancel button unless asked for
}

TEST(ProgressTest, ShowDelayKeepsTheDialogHiddenAtFirst)
{
    RECT early{}, late{};
    TestWindow owner(100, 100, 800, 600, L"owner");
    ScriptedJob job([&](ScriptedJob& self) {
        early = RectOf(self.Window());
        Sleep(1000);
        late = RectOf(self.Window());
    });
    job.SetShowDelay(500);
    EXPECT_EQ(job.DoModal(owner.get()), 0);
    EXPECT_EQ(early.right - early.left, 0);
    EXPECT_EQ(early.bottom - early.top, 0);
    const DpiScaling dpi(SystemDpi());
    EXPECT_EQ(late.right - late.left, dpi.Scale(480));
    EXPECT_EQ(late.bottom - late.top, dpi.Scale(56));
    const RECT ownerRect = RectOf(owner.get());
    EXPECT_EQ(late.left, (ownerRect.right - ownerRect.left - dpi.Scale(480)) / 2 + ownerRect.left);
    EXPECT_EQ(late.top, (ownerRect.bottom - ownerRect.top - dpi.Scale(56)) / 2 + ownerRect.top);
}

// Waits up to a second for a condition another thread makes true.
bool WaitFor(const std::function<bool()>& condition)
{
    for (int i = 0; i < 100; ++i) {
        if (condition())
            return true;
        Sleep(10);
    }
    return condition();
}

TEST(ProgressTest, CancelAsksTheJobToStopAndAJobThatIgnoresItStillEnds)
{
    bool sawStop = false, eventSet = false, stillOpen = false, greyed = false, shot = false;
    std::string faults;
    ScriptedJob job([&](ScriptedJob& self) {
        self.SetTotal(4);
        self.AddProgress(1);
        Sleep(300);  // the work starts before the dialog is shown
        shot = SaveScreenshot(self.Window(), L"progress_dialog_cancel");
        faults = Joined(LayoutFaults(self.Window()));
        PostMessageW(self.CancelButton()->Window(), BM_CLICK, 0, 0);
        sawStop = WaitFor([&] { return self.StopRequested(); });
        eventSet = WaitForSingleObject(self.StopEvent(), 0) == WAIT_OBJECT_0;
        Sleep(200);
        stillOpen = IsWindowVisible(self.Window()) != FALSE;
        greyed = !IsWindowEnabled(self.CancelButton()->Window());
    });
    job.SetShowCancel(true);
    EXPECT_EQ(job.DoModal(nullptr), 0);
    EXPECT_TRUE(sawStop);
    EXPECT_TRUE(eventSet);
    EXPECT_TRUE(stillOpen);  // only the job closes the dialog
    EXPECT_TRUE(greyed);     // the request was taken
    EXPECT_EQ(job.finishedWith, 1);
    EXPECT_TRUE(shot);
    EXPECT_EQ(faults, "");
}

// A job whose worker cannot be started, as when the system is out of threads.
class UnstartableJob : public ScriptedJob {
public:
    UnstartableJob() : ScriptedJob([](ScriptedJob&) {}) {}
    bool Start() override { return false; }
};

TEST(ProgressTest, ADialogWhoseWorkerCannotStartClosesInsteadOfWaitingForever)
{
    TempFolder folder;
    g_Log.SetPath(folder.File(L"log.txt"));
    UnstartableJob job;
    EXPECT_EQ(job.DoModal(nullptr), 0);
    g_Log.SetPath(L"");
    EXPECT_EQ(job.finishedWith, -1);  // nothing ran
    EXPECT_NE(ReadUtf16Text(folder.File(L"log.txt")).find(L"作業スレッドを開始できませんでした。"), std::wstring::npos);
}

TEST(ProgressTest, EnterAndEscapeNeitherCloseNorStop)
{
    bool stillOpen = false, stopped = true;
    ScriptedJob job([&](ScriptedJob& self) {
        for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
            PostMessageW(self.Window(), WM_KEYDOWN, key, 0);
            PostMessageW(self.Window(), WM_KEYUP, key, 0);
        }
        Sleep(300);
        stillOpen = IsWindowVisible(self.Window()) != FALSE;
        stopped = self.StopRequested();
    });
    EXPECT_EQ(job.DoModal(nullptr), 0);
    EXPECT_TRUE(stillOpen);
    EXPECT_FALSE(stopped);
    EXPECT_EQ(job.finishedWith, 0);
}

// A bare worker whose last step outlasts everything else: it reaches only a flag outside it.
class SlowToFinishJob : public WorkerThread {
public:
    explicit SlowToFinishJob(std::atomic<bool>* finished) : finished_(finished) {}
    // Its overrides must stay callable until the worker is done with them.
    ~SlowToFinishJob() override { Join(); }

protected:
    void Run() override {}
    void OnFinished(bool) override
    {
        std::atomic<bool>* finished = finished_;  // read before the owner may start to go
        Sleep(300);
        *finished = true;
    }

private:
    std::atomic<bool>* finished_;
};

TEST(ProgressTest, DestroyingAJobJoinsItsThread)
{
    std::atomic<bool> finished{false};
    auto job = std::make_unique<SlowToFinishJob>(&finished);
    ASSERT_TRUE(job->Start());
    job.reset();
    // A destructor that did not wait would leave the worker asleep, with its object gone.
    EXPECT_TRUE(finished);
}

TEST(ProgressTest, WorkThatThrowsStillFinishesAndClosesTheDialog)
{
    TempFolder folder;
    g_Log.SetPath(folder.File(L"log.txt"));
    ScriptedJob job([](ScriptedJob&) { throw std::runtime_error("the work failed"); });
    EXPECT_EQ(job.DoModal(nullptr), 0);
    EXPECT_EQ(job.finishedWith, 0);
    g_Log.SetPath(L"");
    EXPECT_NE(ReadUtf16Text(folder.File(L"log.txt")).find(L"EasyThreadBase_CL::Run: 例外のため処理を中断しました (the work failed)"),
              std::wstring::npos);
}

TEST(ProgressTest, JoinWaitsForTheWorkersLastStep)
{
    ScriptedJob job([](ScriptedJob&) {});
    job.tailDelay = 300;
    EXPECT_EQ(job.DoModal(nullptr), 0);
    job.Join();
    EXPECT_TRUE(job.tailDone);
    EXPECT_FALSE(job.IsRunning());
}

}  // namespace
