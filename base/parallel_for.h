#pragma once
// Work spread over a pool of threads: items taken in order by whichever worker is free, and
// the caller told on its own thread as items are done. The album makes its thumbnails and reads
// its files through it, and an organize run flushes its copies.

#include <cstddef>
#include <functional>

// As many workers as the machine has cores.
int DefaultWorkerCount();

// Whether each worker has a COM apartment of its own: the imaging library reaches its codecs
// through COM on some systems. Work that needs none does not load COM for it.
enum class WorkerApartment { kNone, kCom };

// Runs work(i) for every i below count on up to `workers` threads, and returns when all are
// done. advanced(n), when given, is called on the calling thread with the number of items
// finished since its last call. An item whose work throws counts as done; its work must leave
// its result in a sound state before anything can throw.
void ParallelFor(std::size_t count, int workers, const std::function<void(std::size_t)>& work,
                 const std::function<void(std::size_t)>& advanced = {},
                 WorkerApartment apartment = WorkerApartment::kNone);
