// The server-side lock a source holds on a stored record while the user changes it, the timer
// that warns after LockTimeOut minutes, and the check that the record did not change on the
// server before the edit began.
#pragma once

#include <QtGlobal>
#include <memory>

#include "toolkit/timer.h"

namespace vorn {

class TvornSource;

class SourceLocker {
  public:
    explicit SourceLocker(TvornSource& source);

    bool Lock();
    void Unlock();
    bool RecordUnchanged();
    int MinutesLeft() const { return minutesLeft_; }
    ui::Timer& Timer() { return *timer_; }
    // One tick of the lock timer (every minute while the lock is held).
    void Tick();

    // True when the lock was taken on the link the broker uses now. A lock taken on a link
    // that died went with the server's session.
    bool HoldsLockOnThisLink() const;
    // Takes the lock again on the current link, without the re-read of a refused lock; a
    // refusal is reported with message 1056.
    bool Reacquire();

  private:
    bool CallLock(const char* action);
    void StartTimer();
    quint64 CurrentLinkSerial() const;

    TvornSource& s_;
    std::unique_ptr<ui::Timer> timer_;
    int minutesLeft_ = 0;
    quint64 lockSerial_ = 0;
};

}  // namespace vorn
