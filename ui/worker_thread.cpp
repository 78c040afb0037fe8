#include "ui/worker_thread.h"

#include <process.h>

#include "ui/callback_barrier.h"

WorkerThread::WorkerThread() : stopEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

WorkerThread::~WorkerThread()
{
    WorkerThread::Join();
}

bool WorkerThread::Start()
{
    running_ = 1;
    stopRequested_ = 0;
    ResetEvent(stopEvent_.get());
    if (!startedEvent_)
        startedEvent_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    // The worker signals the event as it starts: without one, no worker may start.
    if (!startedEvent_) {
        running_ = 0;
        return false;
    }
    unsigned id = 0;
    thread_.reset(reinterpret_cast<HANDLE>(
        _beginthreadex(nullptr, 0, &WorkerThread::ThreadProc, this, 0, &id)));
    if (!thread_) {
        running_ = 0;
        return false;
    }
    threadId_ = id;
    WaitForSingleObject(startedEvent_.get(), INFINITE);
    return true;
}

void WorkerThread::RequestStop()
{
    stopRequested_ = 1;
    SetEvent(stopEvent_.get());
}

void WorkerThread::Join()
{
    if (thread_) {
        WaitForSingleObject(thread_.get(), INFINITE);
        thread_.reset();
    }
    startedEvent_.reset();
}

unsigned __stdcall WorkerThread::ThreadProc(void* param)
{
    auto* self = static_cast<WorkerThread*>(param);
    self->running_ = 1;
    // Make the message queue exist before the starter goes on: it may post to us.
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    SetEvent(self->startedEvent_.get());
    // Work that fails by an exception still finishes: OnFinished closes the progress dialog,
    // which would otherwise wait for the worker forever.
    // "EasyThreadBase_CL::Run" and "::OnFinished" name a class long gone: texts the log keeps
    // as they were, so that a log line reads as it always did.
    CallbackBarrier(L"EasyThreadBase_CL::Run", 0, [self] {
        self->Run();
        return 0;
    });
    CallbackBarrier(L"EasyThreadBase_CL::OnFinished", 0, [self] {
        self->OnFinished(self->stopRequested_.load() != 0);
        return 0;
    });
    self->running_ = 0;
    return 0;
}
