#include "source/source_locker.h"

#include <QWidget>

#include "broker/broker_link.h"
#include "broker/rpc_broker.h"
#include "source/message_text.h"
#include "source/source_messages.h"
#include "source/source_navigator.h"
#include "source/source_requests.h"
#include "source/timed_message.h"
#include "source/vorn_source.h"
#include "toolkit/wait_cursor.h"

namespace vorn {
namespace {

constexpr int kMinuteMs = 60000;
constexpr int kQuestionSeconds = 60;

}  // namespace

SourceLocker::SourceLocker(TvornSource& source) : s_(source), timer_(ui::MakeTimer()) {
    timer_->SetInterval(kMinuteMs);
    timer_->SetEnabled(false);
    timer_->OnTimer = [this] { Tick(); };
}

quint64 SourceLocker::CurrentLinkSerial() const {
    const TRPCBroker* broker = s_.RPCBroker();
    return broker && broker->Connected() && broker->Link() ? broker->Link()->serial : 0;
}

bool SourceLocker::HoldsLockOnThisLink() const {
    if (!s_.locked_) return false;
    if (s_.IsHierarchicalDetail()) return s_.Master()->locker_->HoldsLockOnThisLink();
    return lockSerial_ != 0 && lockSerial_ == CurrentLinkSerial();
}

bool SourceLocker::CallLock(const char* action) {
    ui::WaitCursor wait;
    const bool done = requests::ReadLockDone(s_.RequireBroker().Call(
        requests::Lock(s_.FileNumber, s_.RecordAddress(), QString::fromLatin1(action))));
    if (done && qstrcmp(action, "LOCK") == 0) lockSerial_ = CurrentLinkSerial();
    return done;
}

void SourceLocker::StartTimer() {
    minutesLeft_ = s_.LockTimeOut;
    if (s_.LockTimeOut > 0) {
        timer_->SetInterval(kMinuteMs);
        timer_->SetEnabled(true);
    }
}

bool SourceLocker::Lock() {
    if (s_.filling_ || !s_.Allows(uaWrite)) return true;
    if (s_.FileNumber.isEmpty() || s_.RecordNumber().isEmpty()) return false;
    if (s_.IsHierarchicalDetail()) {
        // The master's record is the one locked on the server.
        s_.locked_ = true;
        if (s_.Master()->LockRecord()) {
            StartTimer();
            return true;
        }
        s_.locked_ = false;
        return false;
    }
    if (CallLock("LOCK")) {
        bool heldForDetail = false;
        for (TvornSource* detail : s_.Details())
            heldForDetail = heldForDetail || (detail->IsHierarchicalDetail() && detail->Locked());
        if (!heldForDetail) StartTimer();
        s_.locked_ = true;
        return true;
    }
    if (s_.ShowMessages) say::Error(GetDialogText(56, {}, s_.RPCBroker()));
    s_.Refresh();
    return false;
}

bool SourceLocker::Reacquire() {
    if (s_.IsHierarchicalDetail()) return s_.Master()->locker_->Reacquire();
    if (CallLock("LOCK")) {
        s_.locked_ = true;
        StartTimer();
        return true;
    }
    say::Error(GetDialogText(56, {}, s_.RPCBroker()));
    return false;
}

void SourceLocker::Unlock() {
    if (!s_.locked_) return;
    timer_->SetEnabled(false);
    if (s_.FileNumber.isEmpty() || s_.RecordNumber().isEmpty()) return;
    if (s_.IsHierarchicalDetail()) {
        s_.Master()->UnlockRecord();
        s_.locked_ = false;
        return;
    }
    // A lock taken on a link that died was released with the server's session.
    if (!HoldsLockOnThisLink()) {
        s_.locked_ = false;
        return;
    }
    if (CallLock("UNLOCK"))
        s_.locked_ = false;
    else
        say::Error(GetDialogText(57, {}, s_.RPCBroker()));
}

bool SourceLocker::RecordUnchanged() {
    if (!s_.Allows(uaRead)) return true;
    const records::RecordAnswer answer =
        records::ReadRecordAnswer(s_.RequireBroker().Call(s_.navigator_->CurrentReadRequest()));
    return !answer.missing && answer.lines == s_.recordLines_;
}

void SourceLocker::Tick() {
    if (--minutesLeft_ > 0) return;
    timer_->SetEnabled(false);
    if (s_.State() != ssEdit) return;
    if (!s_.ShowMessages) {
        s_.Cancel();
        return;
    }
    const int answer = TimedMessageDlg(
        GetDialogText(53, QString::number(s_.LockTimeOut), s_.RPCBroker()),
        ui::MessageKind::Warning, ui::mbYes | ui::mbNo | ui::mbIgnore, kQuestionSeconds);
    switch (answer) {
        case ui::mrYes:
            // The control being edited finishes its edit when the focus leaves it.
            for (TvornOperationButton* button : s_.Buttons()) {
                QWidget* widget = button->Widget();
                if (widget->isVisible() && widget->isEnabled() &&
                    widget->focusPolicy() != Qt::NoFocus) {
                    widget->setFocus();
                    break;
                }
            }
            s_.Save();
            break;
        case ui::mrNo:
            s_.Cancel();
            break;
        case ui::mrNone:
            s_.Cancel();
            say::Information(GetDialogText(55, {}, s_.RPCBroker()));
            break;
        default:
            // Ignore, or the question closed without an answer: keep editing for another
            // period rather than throw the changes away.
            StartTimer();
            break;
    }
}

}  // namespace vorn
