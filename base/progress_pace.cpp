#include "base/progress_pace.h"

#include <cwchar>

namespace {
constexpr std::uint64_t kFirstFigureMs = 500;
}

void ProgressPace::Start(std::uint64_t nowMs, std::uint64_t done)
{
    startMs_ = nowMs;
    doneAtStart_ = done;
}

std::wstring ProgressPace::Text(std::uint64_t nowMs, std::uint64_t done, std::uint64_t total) const
{
    const std::uint64_t elapsedMs = nowMs > startMs_ ? nowMs - startMs_ : 0;
    if (done <= doneAtStart_ || elapsedMs < kFirstFigureMs)
        return std::wstring();
    const double perSecond = double(done - doneAtStart_) * 1000.0 / double(elapsedMs);
    const std::uint64_t left = total > done ? static_cast<std::uint64_t>(double(total - done) / perSecond + 0.5) : 0;
    // Minutes and seconds, after the hours when there are any.
    const auto hours = static_cast<unsigned long long>(left / 3600);
    const auto minutes = static_cast<unsigned long long>(left / 60 % 60);
    const auto seconds = static_cast<unsigned long long>(left % 60);
    wchar_t time[32];
    if (hours)
        std::swprintf(time, 32, L"%llu:%02llu:%02llu", hours, minutes, seconds);
    else
        std::swprintf(time, 32, L"%llu:%02llu", minutes, seconds);
    wchar_t text[64];
    std::swprintf(text, 64, L"毎秒 %.0f 件  残り %ls", perSecond, time);
    return text;
}
