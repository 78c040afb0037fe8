#include "organize/copy_workers.h"

#include <algorithm>

CopyWorkers::CopyWorkers(int workers)
    : capacity_(kQueuedPerWorker * static_cast<std::size_t>(std::max(workers, 1)))
{
    for (int i = 0; i < std::max(workers, 1); ++i)
        threads_.emplace_back([this] { Work(); });
}

CopyWorkers::~CopyWorkers()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ending_ = true;
    }
    changed_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

void CopyWorkers::Add(PlannedCopy plan)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        entries_.push_back(Entry{std::move(plan)});
    }
    changed_.notify_all();
}

bool CopyWorkers::Full() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return entries_.size() >= capacity_;
}

bool CopyWorkers::TakeOldest(bool wait, PlannedCopy* plan, StatusCode* status)
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (wait)
        changed_.wait(lock, [this] { return entries_.empty() || entries_.front().done; });
    if (entries_.empty() || !entries_.front().done)
        return false;
    *plan = std::move(entries_.front().plan);
    *status = entries_.front().status;
    entries_.pop_front();
    lock.unlock();
    changed_.notify_all();
    return true;
}

void CopyWorkers::Work()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        // The oldest copy nobody has started; entries stay put while they are worked on (a
        // deque keeps references to its elements when only its ends change).
        auto next = std::find_if(entries_.begin(), entries_.end(), [](const Entry& e) { return !e.started; });
        if (next == entries_.end()) {
            if (ending_)
                return;
            changed_.wait(lock);
            continue;
        }
        next->started = true;
        Entry& entry = *next;
        lock.unlock();
        const StatusCode status = MakePlannedCopy(entry.plan);
        lock.lock();
        entry.status = status;
        entry.done = true;
        changed_.notify_all();
    }
}
