// The clock that bounds broker waits. Time is in days, as the time limit arithmetic is
// written in days; tests install a clock they move by hand so no test waits for real.
#pragma once

namespace vorn {

class Clock {
  public:
    virtual ~Clock() = default;
    // Days since an arbitrary, fixed origin.
    virtual double Now() const = 0;
};

// The process's clock; a steady clock unless a test installed another.
const Clock& CurrentClock();
// Installs `clock` (not owned) as the process's clock; nullptr restores the steady clock.
void SetClock(const Clock* clock);

inline constexpr double kSecondInDays = 1.1574E-5;       // just under one second
inline constexpr double kTenthSecondInDays = 1.1574E-6;  // about a tenth of a second

}  // namespace vorn
