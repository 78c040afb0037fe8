#include "ui/easy_thread_base.h"

#include <process.h>

#include "ui/callback_barrier.h"

EasyThreadBase_CL::EasyThreadBase_CL() : stopEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

EasyThreadBase_CL::~EasyThreadBase_CL()
{
    EasyThreadBase_CL::Join();
}

bool EasyThreadBase_CL::Start(std::int32_t first, std::int32_t second)
{
    first_ = first;
    second_ = second;
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
        _beginthreadex(nullptr, 0, &EasyThreadBase_CL::ThreadProc, this, 0, &id)));
    if (!thread_) {
        running_ = 0;
        return false;
    }
    threadId_ = id;
    WaitForSingleObject(startedEvent_.get(), INFINITE);
    return true;
}

void EasyThreadBase_CL::RequestStop()
{
    stopRequested_ = 1;
    SetEvent(stopEvent_.get());
}

void EasyThreadBase_CL::Join()
{
    if (thread_) {
        WaitForSingleObject(thread_.get(), INFINITE);
        thread_.reset();
    }
    startedEvent_.reset();
}

unsigned __stdcall EasyThreadBase_CL::ThreadProc(void* param)
{
    auto* self = static_cast<EasyThreadBase_CL*>(param);
    self->running_ = 1;
    // Make the message queue exist before the starter goes on: it may post to us.
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    SetEvent(self->startedEvent_.get());
    // Work that fails by an exception still finishes: OnFinished closes the progress dialog,
    // which would otherwise wait for the worker forever.
    CallbackBarrier(L"EasyThreadBase_CL::Run", 0, [self] {
        self->Run(self->first_, self->second_);
        return 0;
    });
    CallbackBarrier(L"EasyThreadBase_CL::OnFinished", 0, [self] {
        self->OnFinished(self->stopRequested_.load());
        return 0;
    });
    self->running_ = 0;
    return 0;
}
