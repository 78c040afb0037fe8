#pragma once
// How long work reports its progress: the progress dialog shows it in a window, the
// console program on the terminal.

#include <cstdint>
#include <string>

class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    // The amount of work in the job's own units; may change while the work runs.
    virtual void SetTotal(std::uint64_t total) = 0;
    virtual std::uint64_t Total() const = 0;
    virtual void AddProgress(std::uint64_t amount) = 0;
    virtual void SetCaption(const std::wstring& caption) = 0;
    virtual bool StopRequested() const = 0;
    // Back to no work done of no total, for a job's next stage.
    virtual void Reset() = 0;
    // A diagnostic line of the work (a folder entered, say), for whoever watches the program
    // run; most sinks let it go.
    virtual void Trace(const std::wstring& /*line*/) {}
};
