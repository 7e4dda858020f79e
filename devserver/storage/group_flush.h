// Commits that share one flush to disk. A commit is answered only once a flush that began after
// its write has completed; the writes of several sessions that committed meanwhile ride on the
// same one, so a save waits for at most the flush in progress and the next, never for a queue
// of them.
//
// A committer takes a ticket once its write is done (Committed) and, with the writers' turn
// already handed on, waits for it (WaitFlushed). The first waiter that finds no flush running
// runs one for every ticket handed out so far; the others wait for it, and those with a later
// ticket then start the next.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

namespace vorn::devserver {

class GroupFlush {
  public:
    GroupFlush() = default;
    GroupFlush(const GroupFlush&) = delete;
    GroupFlush& operator=(const GroupFlush&) = delete;

    // A write that is done: its ticket.
    std::uint64_t Committed();
    // Returns once a flush covering `ticket` has completed. `sync` is the flush this waiter runs
    // should it be the one to: it makes every write done before it began durable, and throws
    // when it cannot. A failed flush throws to the waiter that ran it; the others try again
    // with a flush of their own.
    void WaitFlushed(std::uint64_t ticket, const std::function<void()>& sync);

    // For tests: the flushes run so far and the committers waiting now.
    std::uint64_t Flushes() const;
    int Waiting() const;

  private:
    mutable std::mutex mutex_;
    std::condition_variable done_;
    std::uint64_t committed_ = 0;
    std::uint64_t flushed_ = 0;  // every ticket up to here is durable
    std::uint64_t flushes_ = 0;
    bool flushing_ = false;
    int waiting_ = 0;
};

}  // namespace vorn::devserver
