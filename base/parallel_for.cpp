#include "base/parallel_for.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "base/handles.h"

int DefaultWorkerCount()
{
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

void ParallelFor(std::size_t count, int workers, const std::function<void(std::size_t)>& work,
                 const std::function<void(std::size_t)>& advanced, WorkerApartment apartment)
{
    std::atomic<std::size_t> next{0};
    std::mutex mutex;
    std::condition_variable finished;
    std::size_t done = 0;
    auto worker = [&] {
        std::optional<ComInit> com;
        if (apartment == WorkerApartment::kCom)
            com.emplace();
        for (std::size_t i = next++; i < count; i = next++) {
            try {
                work(i);
            } catch (const std::exception&) {
                // Memory ran short for this item; the others go on.
            }
            const std::lock_guard<std::mutex> lock(mutex);
            ++done;
            finished.notify_one();
        }
    };
    std::vector<std::thread> pool;
    const std::size_t threads = std::min<std::size_t>(static_cast<std::size_t>(std::max(1, workers)), std::max<std::size_t>(1, count));
    for (std::size_t i = 0; i < threads; ++i)
        pool.emplace_back(worker);
    std::size_t told = 0;
    {
        std::unique_lock<std::mutex> lock(mutex);
        while (told < count) {
            finished.wait(lock, [&] { return done > told; });
            const std::size_t now = done;
            lock.unlock();
            if (advanced)
                advanced(now - told);
            told = now;
            lock.lock();
        }
    }
    for (std::thread& thread : pool)
        thread.join();
}
