#include "toolkit/timer.h"

#include <QTimer>

#include "toolkit/event_guard.h"

namespace vorn::ui {
namespace {

class QtTimer final : public Timer {
  public:
    QtTimer() {
        timer_.setInterval(1000);
        // A tick may reach the server; its failure is shown, not thrown into the event loop.
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (OnTimer) Guarded(OnTimer);
        });
    }
    void SetInterval(int ms) override {
        timer_.setInterval(ms);
        if (timer_.isActive()) timer_.start();
    }
    int Interval() const override { return timer_.interval(); }
    void SetEnabled(bool on) override {
        if (on && !timer_.isActive()) timer_.start();
        if (!on) timer_.stop();
    }
    bool Enabled() const override { return timer_.isActive(); }

  private:
    QTimer timer_;
};

class QtTimerFactory final : public TimerFactory {
  public:
    std::unique_ptr<Timer> Make() override { return std::make_unique<QtTimer>(); }
};

QtTimerFactory gQtTimers;
TimerFactory* gFactory = nullptr;

}  // namespace

std::unique_ptr<Timer> MakeTimer() {
    return (gFactory ? gFactory : &gQtTimers)->Make();
}
void SetTimerFactory(TimerFactory* factory) {
    gFactory = factory;
}

}  // namespace vorn::ui
