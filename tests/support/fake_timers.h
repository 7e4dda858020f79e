// Timers that tests fire by hand. While a FakeTimers object lives, every timer the program
// makes is a FakeTimer registered with it.
#pragma once

#include <algorithm>
#include <vector>

#include "toolkit/timer.h"

namespace vorn::test {

class FakeTimers;

class FakeTimer final : public ui::Timer {
  public:
    explicit FakeTimer(FakeTimers& owner);
    ~FakeTimer() override;
    void SetInterval(int ms) override {
        interval_ = ms;
        if (enabled_) ++starts_;
    }
    int Interval() const override { return interval_; }
    void SetEnabled(bool on) override {
        if (on && !enabled_) ++starts_;
        enabled_ = on;
    }
    bool Enabled() const override { return enabled_; }
    // Runs the timer's event as if its interval had passed; does nothing when disabled.
    void Fire() {
        if (enabled_ && OnTimer) OnTimer();
    }
    // How often the wait was (re)started.
    int Starts() const { return starts_; }

  private:
    friend class FakeTimers;
    // Cleared when the timers' owner goes first (a timer kept by the program past one test).
    FakeTimers* owner_;
    int interval_ = 1000;
    bool enabled_ = false;
    int starts_ = 0;
};

class FakeTimers final : public ui::TimerFactory {
  public:
    FakeTimers() { ui::SetTimerFactory(this); }
    ~FakeTimers() override {
        ui::SetTimerFactory(nullptr);
        for (FakeTimer* timer : live_)
            timer->owner_ = nullptr;
    }
    std::unique_ptr<ui::Timer> Make() override { return std::make_unique<FakeTimer>(*this); }
    // The timers alive now, oldest first.
    const std::vector<FakeTimer*>& Live() const { return live_; }

  private:
    friend class FakeTimer;
    std::vector<FakeTimer*> live_;
};

inline FakeTimer::FakeTimer(FakeTimers& owner) : owner_(&owner) {
    owner_->live_.push_back(this);
}
inline FakeTimer::~FakeTimer() {
    if (!owner_) return;
    auto& v = owner_->live_;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
}

}  // namespace vorn::test
