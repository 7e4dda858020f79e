// Commits sharing flushes: nobody returns before a flush that began after its write, and the
// commits that arrive while a flush runs share the next one.
#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

#include "devserver/storage/group_flush.h"

namespace vorn::devserver {
namespace {

// A flush that the test lets finish one at a time, and that notes which tickets were handed
// out when it began.
class HeldFlush {
  public:
    bool failNext = false;  // set before the flushes begin

    void operator()() {
        std::unique_lock hold(mutex_);
        ++started_;
        changed_.notify_all();
        changed_.wait(hold, [&] { return released_ >= started_; });
        if (std::exchange(failNext, false)) throw std::runtime_error("disk gone");
    }
    void WaitStarted(int n) {
        std::unique_lock hold(mutex_);
        changed_.wait(hold, [&] { return started_ >= n; });
    }
    void Release() {
        const std::lock_guard hold(mutex_);
        ++released_;
        changed_.notify_all();
    }
    int Started() {
        const std::lock_guard hold(mutex_);
        return started_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int started_ = 0;
    int released_ = 0;
};

void WaitForWaiters(const GroupFlush& flush, int n) {
    while (flush.Waiting() < n)
        std::this_thread::yield();
}

TEST(GroupFlush, CommitsThatArriveDuringAFlushShareTheNextOne) {
    HeldFlush disk;
    GroupFlush flush;
    const std::function<void()> sync = [&] { disk(); };
    std::thread first([&] { flush.WaitFlushed(flush.Committed(), sync); });
    disk.WaitStarted(1);
    // Three more commits while the first flush runs: it began before their writes, so none of
    // them may return with it.
    std::vector<std::thread> later;
    for (int i = 0; i < 3; ++i) {
        const std::uint64_t ticket = flush.Committed();
        later.emplace_back([&, ticket] { flush.WaitFlushed(ticket, sync); });
    }
    WaitForWaiters(flush, 4);
    disk.Release();
    first.join();
    disk.WaitStarted(2);
    EXPECT_EQ(flush.Waiting(), 3);  // all three wait for the second flush
    disk.Release();
    for (std::thread& t : later)
        t.join();
    EXPECT_EQ(flush.Flushes(), 2u);
    EXPECT_EQ(disk.Started(), 2);
}

TEST(GroupFlush, ACommitAlreadyCoveredDoesNotFlushAgain) {
    int flushes = 0;
    GroupFlush flush;
    const std::function<void()> sync = [&] { ++flushes; };
    const std::uint64_t a = flush.Committed(), b = flush.Committed();
    flush.WaitFlushed(b, sync);
    flush.WaitFlushed(a, sync);
    EXPECT_EQ(flushes, 1);
    flush.WaitFlushed(flush.Committed(), sync);
    EXPECT_EQ(flushes, 2);
}

TEST(GroupFlush, AFailedFlushTellsItsRunnerAndTheOthersFlushAgain) {
    HeldFlush disk;
    GroupFlush flush;
    const std::function<void()> sync = [&] { disk(); };
    disk.failNext = true;
    std::thread first(
        [&] { EXPECT_THROW(flush.WaitFlushed(flush.Committed(), sync), std::runtime_error); });
    disk.WaitStarted(1);
    const std::uint64_t ticket = flush.Committed();
    std::thread second([&] { flush.WaitFlushed(ticket, sync); });
    WaitForWaiters(flush, 2);
    disk.Release();
    first.join();
    disk.WaitStarted(2);  // the second commit is not taken as flushed: it flushes itself
    disk.Release();
    second.join();
    EXPECT_EQ(flush.Flushes(), 1u);
}

}  // namespace
}  // namespace vorn::devserver
