#pragma once
// A worker thread with a start handshake and a stop request.

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "base/handles.h"

class WorkerThread {
public:
    WorkerThread();
    // Waits for the worker without a time limit: a job must end by itself. Every derived
    // class joins in its own destructor too: once that has run, its Run and OnFinished are
    // gone, and a worker that has not reached them yet would call into nothing.
    virtual ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Returns once the worker runs and has a message queue.
    virtual bool Start();
    // Asks the work to end early; does not wait.
    virtual void RequestStop();
    virtual void Join();

    bool StopRequested() const { return stopRequested_.load() != 0; }
    bool IsRunning() const { return running_.load() != 0; }
    HANDLE StopEvent() const { return stopEvent_.get(); }
    DWORD ThreadId() const { return threadId_; }

protected:
    // The work, on the worker thread.
    virtual void Run() = 0;
    // Right after the work, on the worker; stopRequested: a stop was asked for.
    virtual void OnFinished(bool stopRequested) = 0;

private:
    static unsigned __stdcall ThreadProc(void* self);

    UniqueHandle thread_;
    UniqueHandle stopEvent_;
    DWORD threadId_ = 0;
    UniqueHandle startedEvent_;
    std::atomic<std::int32_t> stopRequested_{0};
    std::atomic<std::int32_t> running_{0};
};
