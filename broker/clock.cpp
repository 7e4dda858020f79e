#include "broker/internal/clock.h"

#include <atomic>
#include <chrono>

namespace vorn {
namespace {

class SteadyClock final : public Clock {
  public:
    double Now() const override {
        using Days = std::chrono::duration<double, std::ratio<86400>>;
        return std::chrono::duration_cast<Days>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
};

const SteadyClock kSteady;
std::atomic<const Clock*> gClock{nullptr};

}  // namespace

const Clock& CurrentClock() {
    const Clock* clock = gClock.load(std::memory_order_acquire);
    return clock ? *clock : kSteady;
}

void SetClock(const Clock* clock) {
    gClock.store(clock, std::memory_order_release);
}

}  // namespace vorn
