#include "source/internal/source_locker.h"

#include "broker/internal/broker_link.h"
#include "broker/rpc_broker.h"
#include "source/internal/source_core.h"
#include "source/internal/source_messages.h"
#include "source/internal/source_navigator.h"
#include "source/internal/source_requests.h"
#include "source/message_text.h"
#include "source/timed_message.h"
#include "toolkit/internal/wait_cursor.h"

namespace vorn {
namespace {

constexpr int kMinuteMs = 60000;
constexpr int kQuestionSeconds = 60;

}  // namespace

SourceLocker::SourceLocker(SourceCore& source, SourceNavigator& navigator)
    : s_(source), navigator_(navigator), timer_(ui::MakeTimer()) {
    timer_->SetInterval(kMinuteMs);
    timer_->SetEnabled(false);
    timer_->OnTimer = [this] { Tick(); };
}

quint64 SourceLocker::LinkSerial() const {
    const TRPCBroker* broker = s_.RPCBroker();
    return broker && broker->Connected() && broker->Link() ? broker->Link()->serial : 0;
}

std::optional<LockKey> SourceLocker::KeyNow() const {
    if (s_.Settings().FileNumber.isEmpty() || !navigator_.Address().IsStored()) return std::nullopt;
    // A hierarchical entry lives inside its master's record: that record is the one locked.
    SourceCore* top = &s_;
    while (top->Link().Hierarchical())
        top = top->Link().MasterCore();
    if (top->Settings().FileNumber.isEmpty() || !top->Owners().navigator.Address().IsStored())
        return std::nullopt;
    return LockKey{LinkSerial(), top->Settings().FileNumber,
                   top->Owners().navigator.Address().Number()};
}

bool SourceLocker::HoldsLockOnThisLink() const {
    return held_ && held_->link != 0 && held_->link == LinkSerial();
}

bool SourceLocker::CallLock(const LockKey& key, const QString& action, bool noteRefusal) {
    ui::WaitCursor wait;
    const RpcReply reply = RequireBroker(s_).Call(requests::Lock(key.file, key.record, action));
    if (requests::ReadLockDone(reply)) return true;
    if (noteRefusal) s_.Hooks().Refused(requests::ReadLockRefusal(reply));
    return false;
}

bool SourceLocker::Take(bool reportRefusal) {
    std::optional<LockKey> key = KeyNow();
    if (!key) return false;
    if (!session_locks::Share(*key, this)) {
        const bool done = CallLock(*key, QStringLiteral("LOCK"));
        // The call may have found the link dead and made a new one: the lock is on that one.
        key->link = LinkSerial();
        if (!done) {
            // "Being modified by someone else" only when nobody said otherwise: a user who may
            // not change the file is told that instead.
            if (reportRefusal && s_.Settings().ShowMessages)
                s_.Presenter().Error(s_.Hooks().Outcome().lines.isEmpty()
                                         ? GetDialogText(56, {}, s_.RPCBroker())
                                         : s_.Hooks().Outcome().lines.join(say::kLineBreak));
            return false;
        }
        session_locks::Hold(*key, this);
    }
    held_ = key;
    RestartPeriod();
    return true;
}

bool SourceLocker::Lock() {
    if (navigator_.Filling() || !Allows(s_, uaWrite)) return true;
    // A lock belongs to its record: one kept for another record (its unlock was refused) or
    // taken on a link that died does not cover this edit.
    if (HoldsLockOnThisLink() && KeyNow() == held_) return true;
    if (held_) ReleaseQuietly();
    if (Take(true)) return true;
    if (!KeyNow()) return false;
    navigator_.Refresh();
    return false;
}

bool SourceLocker::Reacquire() {
    if (held_) ReleaseQuietly();
    if (Take(true)) return true;
    return false;
}

void SourceLocker::Unlock() {
    if (!held_) return;
    timer_->SetEnabled(false);
    const LockKey key = *held_;
    if (key.link != LinkSerial()) {
        // A lock taken on a link that died went with the server's session.
        session_locks::Leave(key, this);
        held_.reset();
        return;
    }
    if (!session_locks::Leave(key, this)) {
        held_.reset();
        return;
    }
    bool done = false;
    try {
        done = CallLock(key, QStringLiteral("UNLOCK"));
    } catch (...) {
        // The call failed with its link, and the link took the lock with it.
        held_.reset();
        throw;
    }
    if (done) {
        held_.reset();
    } else {
        session_locks::Hold(key, this);
        s_.Presenter().Error(GetDialogText(57, {}, s_.RPCBroker()));
    }
}

void SourceLocker::ReleaseQuietly() {
    if (!held_) return;
    timer_->SetEnabled(false);
    const LockKey key = *held_;
    held_.reset();
    if (!session_locks::Leave(key, this) || key.link != LinkSerial()) return;
    try {
        CallLock(key, QStringLiteral("UNLOCK"), false);
    } catch (...) {
        // Nothing to tell: the lock went with the link.
    }
}

void SourceLocker::RestartPeriod() {
    minutesLeft_ = s_.Settings().LockTimeOut;
    timer_->SetEnabled(false);
    if (held_ && s_.Settings().LockTimeOut > 0) {
        timer_->SetInterval(kMinuteMs);
        timer_->SetEnabled(true);
    }
}

void SourceLocker::Tick() {
    // While the program asks the user something the minutes stand still: a timeout must not
    // throw away the edits that the open question is about.
    if (TimedMessagesOpen() > 0) return;
    if (--minutesLeft_ > 0) return;
    timer_->SetEnabled(false);
    if (s_.State() != ssEdit) return;
    if (!s_.Settings().ShowMessages) {
        navigator_.Cancel();
        return;
    }
    Ask();
}

void SourceLocker::Ask() {
    const int answer = s_.Presenter().Show(
        GetDialogText(53, QString::number(s_.Settings().LockTimeOut), s_.RPCBroker()),
        ui::MessageKind::Warning, ui::mbYes | ui::mbNo | ui::mbIgnore, kQuestionSeconds);
    switch (answer) {
        case ui::mrYes:
            // Save finishes the edit of every changed control itself; a value it refuses keeps
            // the edit going, and the lock with it.
            if (!s_.Operations().Save() && s_.State() == ssEdit) RestartPeriod();
            break;
        case ui::mrNo:
            navigator_.Cancel();
            break;
        case ui::mrNone:
            navigator_.Cancel();
            s_.Presenter().Information(GetDialogText(55, {}, s_.RPCBroker()));
            break;
        default:
            // Ignore, or the question closed without an answer: keep editing for another
            // period rather than throw the changes away.
            RestartPeriod();
            break;
    }
}

}  // namespace vorn
