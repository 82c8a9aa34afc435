// SPDX-License-Identifier: MIT
// Folder work on the machine's cores: each item's work runs on a small pool of worker
// threads, and the results are handed over on the calling thread in the items' own order,
// so what a command prints is the same whatever the number of threads. Only a bounded
// number of results waits at any time, so memory does not grow with the folder.
//
// The WebAssembly build has no threads (starting one aborts there): it, and a pool of one,
// run every item on the calling thread.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace morvat {

// How many workers folder work uses: $MORVAT_THREADS when it is a number from 1 on (at
// most kMaxWorkerThreads), else one per core up to kMaxWorkerThreads. Always 1 in the
// WebAssembly build.
inline constexpr unsigned kMaxWorkerThreads = 16;
unsigned WorkerThreadCount();

// How many items a worker takes at a time, and how many results may be done and not yet
// handed over, per worker (a multiple of the run).
inline constexpr std::size_t kItemsPerRun = 16;
inline constexpr std::size_t kResultsPerWorker = 4 * kItemsPerRun;

// Calls `work(i)` for every i in [0, count) on up to `threads` workers, and `deliver(i,
// result)` for each on the calling thread, i ascending. An exception from `work` or
// `deliver` stops the remaining work and is thrown here once every worker has finished.
// `work` must be safe to run on several threads at once.
template <typename Work, typename Deliver>
void ForEachInOrder(std::size_t count, unsigned threads, Work&& work, Deliver&& deliver) {
#ifdef __EMSCRIPTEN__
    threads = 1;
#endif
    if (threads > count) threads = static_cast<unsigned>(count);
    if (threads <= 1) {
        for (std::size_t i = 0; i < count; ++i) deliver(i, work(i));
        return;
    }
#ifndef __EMSCRIPTEN__
    using Result = decltype(work(std::size_t{0}));
    struct Slot {
        std::optional<Result> result;
        std::exception_ptr failure;
    };
    // Workers take runs of items, so that a folder of small cards costs a lock per run
    // rather than per card, and the caller wakes them once per run it hands over.
    const std::size_t run = kItemsPerRun;
    const std::size_t window = std::size_t{threads} * kResultsPerWorker;
    std::vector<Slot> slots(window);
    std::mutex mutex;
    std::condition_variable slotFree;  // workers wait for room in the window
    std::condition_variable slotDone;  // the caller waits for the next result in order
    std::size_t next = 0;              // the next item a worker takes
    std::size_t delivered = 0;         // items handed over so far
    bool stop = false;
    const auto worker = [&] {
        std::vector<Slot> done;
        done.reserve(run);
        for (;;) {
            std::size_t first = 0;
            std::size_t end = 0;
            {
                std::unique_lock lock(mutex);
                slotFree.wait(lock, [&] { return stop || next >= count || next < delivered + window; });
                if (stop || next >= count) return;
                first = next;
                end = std::min({first + run, count, delivered + window});
                next = end;
            }
            done.clear();
            for (std::size_t i = first; i < end; ++i) {
                Slot& slot = done.emplace_back();
                try {
                    slot.result.emplace(work(i));
                } catch (...) {
                    slot.failure = std::current_exception();
                }
            }
            bool awaited = false;
            {
                std::lock_guard lock(mutex);
                for (std::size_t i = first; i < end; ++i) {
                    slots[i % window] = std::move(done[i - first]);
                    awaited = awaited || i == delivered;
                }
            }
            if (awaited) slotDone.notify_one();
        }
    };
    std::vector<std::thread> pool;
    const auto finish = [&] {
        {
            std::lock_guard lock(mutex);
            stop = true;
        }
        slotFree.notify_all();
        for (std::thread& t : pool) t.join();
    };
    try {
        for (unsigned t = 0; t < threads; ++t) pool.emplace_back(worker);
    } catch (const std::system_error&) {
        // The system would not start another thread: the ones started do the work, and
        // with none the caller's thread does it alone.
        if (pool.empty()) {
            for (std::size_t i = 0; i < count; ++i) deliver(i, work(i));
            return;
        }
    }

    try {
        for (std::size_t i = 0; i < count; ++i) {
            Slot slot;
            bool runFreed = false;
            {
                std::unique_lock lock(mutex);
                Slot& waiting = slots[i % window];
                slotDone.wait(lock, [&] { return waiting.result || waiting.failure; });
                slot = std::move(waiting);
                waiting = Slot{};
                ++delivered;
                runFreed = delivered % run == 0;
            }
            if (runFreed) slotFree.notify_all();
            if (slot.failure) std::rethrow_exception(slot.failure);
            deliver(i, std::move(*slot.result));
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
#endif
}

}  // namespace morvat
