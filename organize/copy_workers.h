#pragma once
// Planned copies made on a few threads at once, their results handed back in the order the
// copies were planned. A copy is mostly waiting for the disk; with several in flight the
// disk is kept busy while the run plans the next files.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "base/status_code.h"
#include "organize/planned_copy.h"

class CopyWorkers {
public:
    // The number of copies in flight at most, per worker.
    static constexpr std::size_t kQueuedPerWorker = 4;

    // workers: at least 1.
    explicit CopyWorkers(int workers);
    // Makes every copy handed over, then ends the workers.
    ~CopyWorkers();
    CopyWorkers(const CopyWorkers&) = delete;
    CopyWorkers& operator=(const CopyWorkers&) = delete;

    // Hands a copy over. Only when not Full(): results are taken back on the caller's
    // thread, so waiting here for room would wait for ever.
    void Add(PlannedCopy plan);
    // As many copies handed over and not taken back as may be.
    bool Full() const;
    // The oldest outstanding copy's result, waiting for it when `wait`; false when there is
    // none, or it is not done and `wait` is false.
    bool TakeOldest(bool wait, PlannedCopy* plan, StatusCode* status);

private:
    struct Entry {
        PlannedCopy plan;
        StatusCode status = kStatusOk;
        bool started = false;
        bool done = false;
    };

    void Work();

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Entry> entries_;  // in the order handed over, until taken
    std::size_t capacity_;
    bool ending_ = false;
    std::vector<std::thread> threads_;
};
