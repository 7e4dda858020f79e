// A window-toolkit timer with an interval, an enabled flag and an event, made through a
// factory so that tests can fire timers by hand instead of waiting for them.
#pragma once

#include <QObject>
#include <functional>
#include <memory>

#pragma GCC visibility push(default)
namespace vorn::ui {

class Timer {
  public:
    virtual ~Timer() = default;
    // Changing the interval of a running timer starts its wait again.
    virtual void SetInterval(int ms) = 0;
    virtual int Interval() const = 0;
    virtual void SetEnabled(bool on) = 0;
    virtual bool Enabled() const = 0;

    std::function<void()> OnTimer;
};

class TimerFactory {
  public:
    virtual ~TimerFactory() = default;
    virtual std::unique_ptr<Timer> Make() = 0;
};

// A new timer, disabled, with an interval of 1000 ms.
std::unique_ptr<Timer> MakeTimer();
// Installs `factory` (not owned); nullptr restores the window toolkit's timers.
void SetTimerFactory(TimerFactory* factory);

}  // namespace vorn::ui

#pragma GCC visibility pop
