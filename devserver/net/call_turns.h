// Calls run in turns: no more at once than there are turns (the machine's cores), each in the
// order it arrived. With a thread for each session, the calls of 32 sessions on 2 cores would
// otherwise all run at once, each waiting on the others' time slices, and a call that came
// first could end last. A call that waits for another thread steps aside meanwhile
// (storage/stepping_aside.h) and takes its place in the queue again when its wait is over.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>

#include "devserver/storage/stepping_aside.h"

namespace vorn::devserver {

class CallTurns {
  public:
    // At most `turns` calls at once; 0 lets every call run as it comes.
    explicit CallTurns(int turns);
    CallTurns(const CallTurns&) = delete;
    CallTurns& operator=(const CallTurns&) = delete;

    // The calling thread's turn, from its construction (which waits for it) to its end.
    class Turn {
      public:
        explicit Turn(CallTurns& turns);
        ~Turn();
        Turn(const Turn&) = delete;
        Turn& operator=(const Turn&) = delete;

      private:
        CallTurns& turns_;
    };

    // Calls running now, and calls waiting for a turn.
    int Running() const;
    int Waiting() const;

  private:
    // Waits for a turn: a call back from stepping aside (`returning`) ahead of the calls that
    // have not had one yet, each kind in the order it came.
    void Wait(bool returning);
    void Leave();

    struct Waiter {
        std::condition_variable woken;
        bool go = false;
    };

    const int turns_;
    const SteppingAside::Hooks hooks_;
    mutable std::mutex mutex_;
    int running_ = 0;
    std::deque<Waiter*> returning_;
    std::deque<Waiter*> arriving_;
};

}  // namespace vorn::devserver
