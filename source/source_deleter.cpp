#include "source/internal/source_deleter.h"

#include "broker/rpc_broker.h"
#include "broker/section_reader.h"
#include "source/del_pointer_display.h"
#include "source/internal/flag_scope.h"
#include "source/internal/source_core.h"
#include "source/internal/source_messages.h"
#include "source/internal/source_navigator.h"
#include "source/internal/source_requests.h"
#include "source/message_text.h"
#include "toolkit/internal/wait_cursor.h"

namespace vorn {
namespace {

QString Lines(const QStringList& lines) {
    QString text;
    for (const QString& line : lines)
        text += line + say::kLineBreak;
    return text;
}

}  // namespace

bool SourceDeleter::PointerCheck() {
    ui::WaitCursor wait;
    pointers_ = RpcReply();
    if (s_.Settings().FileNumber.isEmpty() || !navigator_.Address().IsStored()) return false;
    pointers_ = RequireBroker(s_).Call(
        requests::PointerCheck(s_.Settings().FileNumber, navigator_.Address().RecordAddress(),
                               limits_.DispFiles, limits_.DispRecords, limits_.DispNoXRefs));
    return requests::ReadNoPointers(pointers_);
}

QString SourceDeleter::DeleteRecord() {
    if (s_.Settings().FileNumber.isEmpty() || !navigator_.Address().IsStored()) return {};
    s_.Operations().UnlockRecord();
    ui::WaitCursor wait;
    QString deleted;
    if (!s_.Link().Hierarchical()) {
        const RpcRequest request =
            requests::RecordDelete(s_.Settings().FileNumber, navigator_.Address().RecordAddress());
        deleted = requests::ReadDeletedText(CallDeletion(request));
    } else {
        // Taken before the entry is gone.
        const QString text = navigator_.FieldValue(QStringLiteral(".01"), 5);
        const RpcRequest request =
            requests::SubFileDelete(s_.Settings().FileNumber, navigator_.Address().RecordAddress());
        if (requests::ReadFilerAccepted(CallDeletion(request))) deleted = text;
    }
    if (!deleted.isEmpty()) ++deletedCount_;
    return deleted;
}

RpcReply SourceDeleter::CallDeletion(const RpcRequest& request) {
    // Stays set when the link fails under the call: the server may or may not have deleted.
    s_.Hooks().CallOut(true);
    s_.Hooks().Refused();
    RpcReply reply = RequireBroker(s_).Call(request);
    s_.Hooks().CallOut(false);
    s_.Hooks().Refused(reply.Sections().Lines(Section::Errors));
    return reply;
}

bool SourceDeleter::PointersAllowDeletion(bool& asked) {
    const QStringList failure = requests::ReadPointerCheckFailure(pointers_);
    if (!failure.isEmpty()) {
        s_.Hooks().Refused(failure);
        // The check was not made: nothing is known about pointers, and nothing is deleted.
        if (s_.Settings().ShowMessages)
            s_.Presenter().Error(GetDialogText(47, {}, s_.RPCBroker()) + say::kLineBreak +
                                 Lines(failure));
        return false;
    }
    if (!requests::ReadDeletionAllowed(pointers_)) {
        s_.Hooks().Refused();
        if (s_.Settings().ShowMessages)
            s_.Presenter().Warning(GetDialogText(48, {}, s_.RPCBroker()) +
                                   Lines(requests::PointerReport(pointers_, 2)));
        return false;
    }
    if (s_.Settings().ShowMessages &&
        !s_.Presenter().YesOrCancel(
            Lines(requests::PointerReport(pointers_, 3)) + GetDialogText(49, {}, s_.RPCBroker()),
            30))
        return false;
    asked = true;
    return true;
}

bool SourceDeleter::Delete() {
    if (!Allows(s_, uaDelete)) return false;
    FlagScope deleting(deleting_);
    if (s_.State() != ssEdit && s_.State() != ssBrowse) {
        if (s_.Settings().ShowMessages)
            s_.Presenter().Information(GetDialogText(44, {}, s_.RPCBroker()));
        return false;
    }
    if (!s_.Hooks().Before(SourceMoment::Delete)) return false;
    // The details' changes belong to this record: they are saved or dropped before it goes.
    if (!s_.Operations().LeaveDetailRecords()) return false;
    bool asked = false;
    if (!s_.Link().Hierarchical() && !PointerCheck() && !PointersAllowDeletion(asked)) return false;
    if (!asked && s_.Settings().ShowMessages &&
        s_.Settings().ConfirmMessages.testFlag(ConfirmDelete)) {
        const QString question =
            GetDialogText(
                45, s_.Settings().FileName + QStringLiteral(": ") + navigator_.IdentifierText(),
                s_.RPCBroker()) +
            say::kLineBreak;
        if (!s_.Presenter().YesOrCancel(question)) return false;
    }
    s_.Owners().saver.ForgetChanges();
    const QString address = navigator_.Address().FullIens();
    const QString deleted = DeleteRecord();
    const bool success = !deleted.isEmpty();
    QString report;
    if (!success) {
        // The server's reason, when it gave one (a user who may not delete, another's lock).
        report = GetDialogText(47, {}, s_.RPCBroker());
        for (const QString& reason : s_.Hooks().Outcome().lines)
            report += say::kLineBreak + reason;
    } else if (s_.Settings().InformMessages.testFlag(InformDelete))
        report = GetDialogText(46, s_.Settings().FileName + QStringLiteral(": ") + deleted,
                               s_.RPCBroker()) +
                 say::kLineBreak;
    if (success) {
        // Choosing it there again would only show an empty form.
        history_.Forget(address);
        navigator_.MarkGridsStale();
        if (s_.Master()) navigator_.Browse(records::Direction::Prior);
        // Going to the prior record needs the right to browse: without it the deleted record
        // would stay on the form, offered for deletion again.
        if (!s_.Master() || navigator_.Address().FullIens() == address) navigator_.Clear();
    } else if (s_.State() == ssEdit) {
        // A refused deletion leaves the record shown as it is stored; its lock is gone.
        s_.SetState(ssBrowse);
        navigator_.GetRecord();
    }
    if (s_.Settings().ShowMessages &&
        (!success || s_.Settings().InformMessages.testFlag(InformDelete)))
        s_.Presenter().Information(report);
    s_.Hooks().After(SourceMoment::Delete, success);
    return success;
}

}  // namespace vorn
