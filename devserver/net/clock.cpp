#include "devserver/net/clock.h"

namespace vorn::devserver {
namespace {

class RealClock final : public Clock {
  public:
    std::chrono::steady_clock::time_point Now() const override {
        return std::chrono::steady_clock::now();
    }
    std::chrono::system_clock::time_point WallNow() const override {
        return std::chrono::system_clock::now();
    }
};

}  // namespace

const Clock& SystemClock() {
    static const RealClock clock;
    return clock;
}

}  // namespace vorn::devserver
