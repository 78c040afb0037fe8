#pragma once
// How fast long work goes and how long it has left, as the progress line and the progress
// dialog show it: counted from the moment the work's total became known, so that the time
// spent finding the work (listing folders) does not count as slowness.

#include <cstdint>
#include <string>

class ProgressPace {
public:
    // The work of `total` units starts now, with `done` of them done already.
    void Start(std::uint64_t nowMs, std::uint64_t done);
    // "毎秒 35 件  残り 1:05" (hours too when there are any); empty until a unit is done after
    // the start and half a second has passed, when a figure would be a guess.
    std::wstring Text(std::uint64_t nowMs, std::uint64_t done, std::uint64_t total) const;

private:
    std::uint64_t startMs_ = 0;
    std::uint64_t doneAtStart_ = 0;
};
