#include "devserver/storage/group_flush.h"

#include <algorithm>

namespace vorn::devserver {

std::uint64_t GroupFlush::Committed() {
    const std::lock_guard hold(mutex_);
    return ++committed_;
}

void GroupFlush::WaitFlushed(std::uint64_t ticket, const std::function<void()>& sync) {
    std::unique_lock hold(mutex_);
    ++waiting_;
    struct Leave {
        int& waiting;
        ~Leave() { --waiting; }  // runs with the mutex held: declared after `hold`
    } leave{waiting_};
    while (flushed_ < ticket) {
        if (flushing_) {
            done_.wait(hold);
            continue;
        }
        // Every ticket handed out so far belongs to a write that is done: one flush for all.
        flushing_ = true;
        const std::uint64_t target = committed_;
        hold.unlock();
        try {
            sync();
        } catch (...) {
            hold.lock();
            flushing_ = false;
            done_.notify_all();
            throw;
        }
        hold.lock();
        flushing_ = false;
        flushed_ = std::max(flushed_, target);
        ++flushes_;
        done_.notify_all();
    }
}

std::uint64_t GroupFlush::Flushes() const {
    const std::lock_guard hold(mutex_);
    return flushes_;
}

int GroupFlush::Waiting() const {
    const std::lock_guard hold(mutex_);
    return waiting_;
}

}  // namespace vorn::devserver
