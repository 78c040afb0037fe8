#pragma once
// A worker thread with a start handshake and a stop request.

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "base/handles.h"

class EasyThreadBase_CL {
public:
    EasyThreadBase_CL();
    // Waits for the worker without a time limit: a job must end by itself. Every derived
    // class joins in its own destructor too: once that has run, its Run and OnFinished are
    // gone, and a worker that has not reached them yet would call into nothing.
    virtual ~EasyThreadBase_CL();
    EasyThreadBase_CL(const EasyThreadBase_CL&) = delete;
    EasyThreadBase_CL& operator=(const EasyThreadBase_CL&) = delete;

    // Returns once the worker runs and has a message queue.
    virtual bool Start(std::int32_t first, std::int32_t second);
    // Asks the work to end early; does not wait.
    virtual void RequestStop();
    virtual void Join();

    bool StopRequested() const { return stopRequested_.load() != 0; }
    bool IsRunning() const { return running_.load() != 0; }
    HANDLE StopEvent() const { return stopEvent_.get(); }
    DWORD ThreadId() const { return threadId_; }

protected:
    // The work, on the worker thread.
    virtual void Run(std::int32_t first, std::int32_t second) = 0;
    // Right after the work, on the worker; stopRequested is 1 when a stop was asked for.
    virtual void OnFinished(std::int32_t stopRequested) = 0;

private:
    static unsigned __stdcall ThreadProc(void* self);

    UniqueHandle_CL thread_;
    UniqueHandle_CL stopEvent_;
    DWORD threadId_ = 0;
    UniqueHandle_CL startedEvent_;
    std::atomic<std::int32_t> stopRequested_{0};
    std::atomic<std::int32_t> running_{0};
    std::int32_t first_ = 0;
    std::int32_t second_ = 0;
};
