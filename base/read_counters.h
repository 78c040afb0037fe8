#pragma once
// How often the program opens files to read them and how many bytes it takes, counted for
// the whole process. The organize pass is meant to open each file once and read little of
// it; tests and benchmarks hold it to that with these counts. Copies made by the system's
// copy call are not counted.

#include <atomic>
#include <cstdint>

// The bytes read by the calling thread alone, for the whole of its life: the organize pass
// leaves the reading of whole files to other threads, and its tests hold it to that.
inline thread_local std::uint64_t t_threadReadBytes = 0;

struct ReadCounters {
    std::atomic<std::uint64_t> opens{0};
    std::atomic<std::uint64_t> bytes{0};
    std::atomic<std::uint64_t> reads{0};  // read calls: a reader that goes byte by byte shows here

    void CountOpen() { opens.fetch_add(1, std::memory_order_relaxed); }
    // One read call that delivered `count` bytes.
    void CountRead(std::uint64_t count)
    {
        reads.fetch_add(1, std::memory_order_relaxed);
        bytes.fetch_add(count, std::memory_order_relaxed);
        t_threadReadBytes += count;
    }
    void Clear()
    {
        opens = 0;
        bytes = 0;
        reads = 0;
    }
};

inline ReadCounters g_ReadCounters;
