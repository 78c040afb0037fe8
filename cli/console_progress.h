#pragma once
// Progress of a run on the terminal: one line on standard error that updates in place,
// with a bar, the caption, the pace and an estimate of the time left. Nothing at all when standard
// error is not a console, so logs of scheduled runs stay clean.

#include <windows.h>

#include <cstdint>
#include <string>

#include "base/progress_pace.h"
#include "base/progress_sink.h"

class ConsoleProgress : public ProgressSink {
public:
    ConsoleProgress();
    ~ConsoleProgress() override;

    void SetTotal(std::uint64_t total) override;
    std::uint64_t Total() const override { return total_; }
    void AddProgress(std::uint64_t amount) override;
    void SetCaption(const std::wstring& caption) override;
    // Ctrl+C or Ctrl+Break, while a ConsoleStopHandler is in place.
    bool StopRequested() const override;
    void Reset() override;

    // Ends the line, when one was drawn.
    void Finish();

private:
    void Draw(bool force);

    bool enabled_;
    bool drawn_ = false;
    std::uint64_t total_ = 0;
    std::uint64_t done_ = 0;
    std::wstring caption_;
    ProgressPace pace_;
    ULONGLONG lastDraw_ = 0;
};
