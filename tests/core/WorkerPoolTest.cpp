// SPDX-License-Identifier: MIT
// The worker pool of folder work: results come back in the items' order whatever the
// threads do, only a bounded number waits, failures stop the work and reach the caller,
// and the thread count follows $MORVAT_THREADS.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "files/WorkerPool.h"

namespace morvat {
namespace {

// Sets an environment variable for as long as it lives.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value != nullptr) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(WorkerPoolTest, ResultsArriveInOrderWithBoundedWorkInFlight) {
    for (const unsigned threads : {1u, 2u, 5u}) {
        SCOPED_TRACE(threads);
        constexpr std::size_t kCount = 600;
        std::atomic<std::size_t> started{0};
        std::atomic<std::size_t> mostAhead{0};
        std::atomic<std::size_t> delivered{0};
        std::vector<std::size_t> order;
        ForEachInOrder(
            kCount, threads,
            [&](std::size_t i) {
                // Early items take longest, so later ones finish first and must wait.
                if (i % 50 < 3) std::this_thread::sleep_for(std::chrono::milliseconds(2));
                const std::size_t ahead = ++started - delivered;
                std::size_t seen = mostAhead.load();
                while (ahead > seen && !mostAhead.compare_exchange_weak(seen, ahead)) {
                }
                return std::to_string(i);
            },
            [&](std::size_t i, std::string result) {
                EXPECT_EQ(result, std::to_string(i));
                order.push_back(i);
                ++delivered;
            });
        ASSERT_EQ(order.size(), kCount);
        for (std::size_t i = 0; i < kCount; ++i) ASSERT_EQ(order[i], i);
        // An item is only started while the window holds room for its result.
        EXPECT_LE(mostAhead.load(), threads * kResultsPerWorker + threads);
    }
}

TEST(WorkerPoolTest, NothingToDoCallsNothing) {
    bool called = false;
    ForEachInOrder(
        0, 4, [&](std::size_t) { return called = true; }, [&](std::size_t, bool) { called = true; });
    EXPECT_FALSE(called);
}

TEST(WorkerPoolTest, FailureStopsTheWorkAndReachesTheCaller) {
    for (const unsigned threads : {1u, 3u}) {
        SCOPED_TRACE(threads);
        std::atomic<std::size_t> worked{0};
        std::vector<std::size_t> delivered;
        EXPECT_THROW(ForEachInOrder(
                         100000, threads,
                         [&](std::size_t i) {
                             ++worked;
                             if (i == 40) throw std::runtime_error("card 40");
                             return i;
                         },
                         [&](std::size_t i, std::size_t) { delivered.push_back(i); }),
                     std::runtime_error);
        // Everything before the failure was handed over, nothing after it.
        ASSERT_EQ(delivered.size(), 40u);
        EXPECT_EQ(delivered.back(), 39u);
        EXPECT_LT(worked.load(), 1000u);
    }
    // A failure of the caller's own part stops the workers too.
    std::atomic<std::size_t> worked{0};
    EXPECT_THROW(ForEachInOrder(
                     100000, 3, [&](std::size_t i) { return ++worked, i; },
                     [&](std::size_t i, std::size_t) {
                         if (i == 10) throw std::runtime_error("output failed");
                     }),
                 std::runtime_error);
    EXPECT_LT(worked.load(), 1000u);
}

TEST(WorkerPoolTest, ThreadCountFollowsTheEnvironmentWithinItsBounds) {
    {
        ScopedEnv env("MORVAT_THREADS", nullptr);
        const unsigned cores = std::thread::hardware_concurrency();
        EXPECT_EQ(WorkerThreadCount(),
                  cores == 0 ? 1u : std::min(cores, kMaxWorkerThreads));
    }
    const unsigned unforced = WorkerThreadCount();
    const struct {
        const char* value;
        unsigned threads;
    } cases[] = {
        {"1", 1}, {"3", 3}, {"016", 16}, {"999", kMaxWorkerThreads}, {"0", unforced},
        {"-2", unforced}, {"two", unforced}, {"", unforced}, {"2x", unforced},
        {"99999999999999999999", unforced},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        ScopedEnv env("MORVAT_THREADS", c.value);
        EXPECT_EQ(WorkerThreadCount(), c.threads);
    }
}

}  // namespace
}  // namespace morvat
