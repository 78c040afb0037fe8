#pragma once
// How long work reports its progress: the progress dialog shows it in a window, the
// console program on the terminal.

#include <cstdint>
#include <string>

class ProgressSink_CL {
public:
    virtual ~ProgressSink_CL() = default;
    // The amount of work in the job's own units; may change while the work runs.
    virtual void SetTotal(std::uint64_t total) = 0;
    virtual std::uint64_t Total() const = 0;
    virtual void AddProgress(std::uint64_t amount) = 0;
    virtual void SetCaption(const std::wstring& caption) = 0;
    virtual bool StopRequested() const = 0;
};
