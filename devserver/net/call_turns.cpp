#include "devserver/net/call_turns.h"

namespace vorn::devserver {

CallTurns::CallTurns(int turns)
    : turns_(turns),
      hooks_{[](void* self) { static_cast<CallTurns*>(self)->Leave(); },
             [](void* self) { static_cast<CallTurns*>(self)->Wait(true); }, this} {}

void CallTurns::Wait(bool returning) {
    std::unique_lock hold(mutex_);
    if (running_ < turns_ && returning_.empty() && (returning || arriving_.empty())) {
        ++running_;
        return;
    }
    // Each waiter is woken on its own, when its turn comes: waking them all at each end of a
    // call would cost every one of them a trip through the scheduler.
    Waiter self;
    (returning ? returning_ : arriving_).push_back(&self);
    self.woken.wait(hold, [&] { return self.go; });
}

void CallTurns::Leave() {
    const std::lock_guard hold(mutex_);
    --running_;
    while (running_ < turns_ && (!returning_.empty() || !arriving_.empty())) {
        std::deque<Waiter*>& from = !returning_.empty() ? returning_ : arriving_;
        Waiter* next = from.front();
        from.pop_front();
        ++running_;
        next->go = true;
        next->woken.notify_one();
    }
}

int CallTurns::Running() const {
    const std::lock_guard hold(mutex_);
    return running_;
}

int CallTurns::Waiting() const {
    const std::lock_guard hold(mutex_);
    return static_cast<int>(returning_.size() + arriving_.size());
}

CallTurns::Turn::Turn(CallTurns& turns) : turns_(turns) {
    if (turns_.turns_ <= 0) return;
    turns_.Wait(false);
    SteppingAside::SetForThisThread(&turns_.hooks_);
}

CallTurns::Turn::~Turn() {
    if (turns_.turns_ <= 0) return;
    SteppingAside::SetForThisThread(nullptr);
    turns_.Leave();
}

}  // namespace vorn::devserver
