#pragma once
// Elapsed time on the performance counter, and a scope's time added to a running total: how
// a run tells where its time went.

#include <windows.h>

class Stopwatch {
public:
    Stopwatch() { QueryPerformanceCounter(&start_); }
    double Seconds() const
    {
        LARGE_INTEGER now{}, frequency{};
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        return double(now.QuadPart - start_.QuadPart) / double(frequency.QuadPart);
    }

private:
    LARGE_INTEGER start_{};
};

// Adds the time from its making to its end to *total.
class TimeInto {
public:
    explicit TimeInto(double* total) : total_(total) {}
    ~TimeInto() { *total_ += watch_.Seconds(); }
    TimeInto(const TimeInto&) = delete;
    TimeInto& operator=(const TimeInto&) = delete;

private:
    double* total_;
    Stopwatch watch_;
};
