// The server-side lock a source holds on a stored record while the user changes it, and the
// timer that warns after LockTimeOut minutes. The locker owns the lock: which record it was
// taken on and on which link. A hierarchical detail locks its master's record, which the
// server locks for any entry inside it; the lock is shared with the master (session_locks.h).
#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

#include "source/internal/session_locks.h"
#include "toolkit/timer.h"

namespace vorn {

class SourceCore;
class SourceNavigator;

class SourceLocker {
  public:
    SourceLocker(SourceCore& source, SourceNavigator& navigator);

    // True when the record is locked or needs no lock. A refusal shows message 1056 and reads
    // the record again.
    bool Lock();
    // Gives the lock back; a refusal shows message 1057 and the lock stays held.
    void Unlock();
    // Gives a held lock back without a word, as a source that goes away does.
    void ReleaseQuietly();
    // True from the lock until it is given back (on a link that died it went with the
    // server's session).
    bool Locked() const { return held_.has_value(); }
    // True when the lock is held on the link the broker uses now.
    bool HoldsLockOnThisLink() const;
    // Takes the lock again on the current link after its link died; a refusal shows 1056.
    bool Reacquire();

    int MinutesLeft() const { return minutesLeft_; }
    ui::Timer& Timer() { return *timer_; }
    // One tick of the lock timer (every minute while the lock is held).
    void Tick();
    // The edit goes on: another LockTimeOut minutes before the question.
    void RestartPeriod();

  private:
    // The record to lock for the current record on the current link; none without one.
    std::optional<LockKey> KeyNow() const;
    quint64 LinkSerial() const;
    bool Take(bool reportRefusal);
    // The lock call; a refusal is noted on the source's outcome with the server's reasons
    // unless the caller keeps quiet about it.
    bool CallLock(const LockKey& key, const QString& action, bool noteRefusal = true);
    void Ask();

    SourceCore& s_;
    SourceNavigator& navigator_;
    std::unique_ptr<ui::Timer> timer_;
    std::optional<LockKey> held_;
    int minutesLeft_ = 0;
};

}  // namespace vorn
