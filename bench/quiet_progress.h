#pragma once
// Progress that goes nowhere: a benchmark times the work alone.

#include <cstdint>
#include <string>

#include "base/progress_sink.h"

class QuietProgress : public ProgressSink {
public:
    void SetTotal(std::uint64_t total) override { total_ = total; }
    std::uint64_t Total() const override { return total_; }
    void AddProgress(std::uint64_t) override {}
    void SetCaption(const std::wstring&) override {}
    bool StopRequested() const override { return false; }
    void Reset() override { total_ = 0; }

private:
    std::uint64_t total_ = 0;
};
