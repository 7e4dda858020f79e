// The server's clocks, injectable so that tests move time by hand: the steady clock bounds
// waits (message and idle time-outs), the wall clock gives dates and log times.
#pragma once

#include <atomic>
#include <chrono>

namespace vorn::devserver {

class Clock {
  public:
    virtual ~Clock() = default;
    virtual std::chrono::steady_clock::time_point Now() const = 0;
    virtual std::chrono::system_clock::time_point WallNow() const = 0;
};

// The real clocks.
const Clock& SystemClock();

// A clock that only moves when told to; both faces move together.
class ManualClock final : public Clock {
  public:
    std::chrono::steady_clock::time_point Now() const override {
        return std::chrono::steady_clock::time_point(std::chrono::nanoseconds(offset_.load()));
    }
    std::chrono::system_clock::time_point WallNow() const override {
        return wallStart_ + std::chrono::nanoseconds(offset_.load());
    }
    void Advance(std::chrono::nanoseconds by) { offset_ += by.count(); }
    // Sets the wall time the clock starts from (the steady face is unaffected).
    void SetWallStart(std::chrono::system_clock::time_point t) { wallStart_ = t; }

  private:
    std::atomic<long long> offset_{1'000'000'000'000LL};
    std::chrono::system_clock::time_point wallStart_ =
        std::chrono::system_clock::time_point(std::chrono::seconds(1'796'558'400));  // 2026-12-06
};

}  // namespace vorn::devserver
