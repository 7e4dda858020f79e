// A thread about to wait for another thread of this process (the writers' turn, the shared flush
// of the log) steps aside for as long as it waits: whoever lets calls run in turns (the server,
// net/call_turns.h) lets the next call run meanwhile, so that waiting costs nobody a turn.
#pragma once

namespace vorn::devserver {

class SteppingAside {
  public:
    // What stepping aside and coming back mean for the calling thread; null: nothing.
    struct Hooks {
        void (*aside)(void* context);
        void (*back)(void* context);
        void* context;
    };
    static void SetForThisThread(const Hooks* hooks);

    SteppingAside();
    ~SteppingAside();
    SteppingAside(const SteppingAside&) = delete;
    SteppingAside& operator=(const SteppingAside&) = delete;

  private:
    const Hooks* hooks_;
};

}  // namespace vorn::devserver
