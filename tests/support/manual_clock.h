// A clock that tests move by hand, and a ticker thread that moves it while the test thread is
// blocked in a call, so that time limits expire without waiting for them.
#pragma once

#include <atomic>
#include <chrono>
#include <thread>

#include "broker/internal/clock.h"

namespace vorn::test {

class ManualClock final : public Clock {
  public:
    double Now() const override { return days_.load(); }
    void AdvanceSeconds(double seconds) { days_ += seconds / 86400.0; }

  private:
    std::atomic<double> days_{1000.0};
};

// Installs a ManualClock as the process's clock for the lifetime of the object.
class ClockOverride {
  public:
    ClockOverride() { SetClock(&clock_); }
    ~ClockOverride() { SetClock(nullptr); }
    ManualClock& clock() { return clock_; }

  private:
    ManualClock clock_;
};

// Moves a clock forward by `step` seconds every few milliseconds until destroyed.
class ClockTicker {
  public:
    ClockTicker(ManualClock& clock, double step) : clock_(clock), step_(step) {
        thread_ = std::thread([this] {
            while (!stop_.load()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                clock_.AdvanceSeconds(step_);
            }
        });
    }
    ~ClockTicker() {
        stop_ = true;
        thread_.join();
    }

  private:
    ManualClock& clock_;
    double step_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace vorn::test
