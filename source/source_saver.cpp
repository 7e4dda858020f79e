#include "source/internal/source_saver.h"

#include "broker/broker_error.h"
#include "broker/rpc_broker.h"
#include "source/filer_request.h"
#include "source/internal/flag_scope.h"
#include "source/internal/source_core.h"
#include "source/internal/source_history.h"
#include "source/internal/source_locker.h"
#include "source/internal/source_messages.h"
#include "source/internal/source_navigator.h"
#include "source/message_text.h"
#include "source/record_requests.h"
#include "source/timed_message.h"
#include "toolkit/internal/wait_cursor.h"

namespace vorn {
namespace {

QString DisplayNameOf(const TvornBoundControl& control) {
    const QString name = control.FMDisplayName().left(50);
    return name.isEmpty() ? QStringLiteral("<<<none defined>>") : name;
}

}  // namespace

ValidatedValue SourceSaver::ValidateField(const QString& fieldIn, const QString& valueIn) {
    FlagScope validating(validating_);
    QString field = fieldIn;
    QString value = valueIn;
    bool allowValidate = true;
    s_.Hooks().BeforeValidate(allowValidate, field, value);
    ValidatedValue answer;
    if (!allowValidate) {
        answer.valid = true;
        answer.external = value;
    } else {
        answer = records::ReadValidatorAnswer(RequireBroker(s_).Call(records::ValidatorRequest(
            s_.Settings().FileNumber, navigator_.Address().FullIens(), field, value)));
    }
    s_.Hooks().AfterValidate(answer.valid, field, answer.internal, answer.external);
    if (!answer.valid) s_.Hooks().Refused(answer.errors);
    return answer;
}

bool SourceSaver::SetFieldValue(const QString& field, const QString& value) {
    if (field.isEmpty()) return false;
    // A value that could never be filed is not queued: every later move would ask to save
    // it, and no save could.
    const bool stored = s_.State() == ssBrowse || s_.State() == ssEdit;
    if (!Allows(s_, stored ? uaWrite : uaInsert)) return false;
    QList<TvornBoundControl*> showing;
    for (TvornBoundControl* control : s_.Registry().Controls())
        if (control->FMField() == field) showing.append(control);
    const ValidatedValue answer = ValidateField(field, value);
    if (!answer.valid) {
        if (s_.Settings().ShowMessages) {
            const QString name = showing.isEmpty() ? field : showing.first()->FMDisplayName();
            s_.Presenter().Error(GetDialogText(32, value + u'^' + name, s_.RPCBroker()));
        }
        return false;
    }
    const QString& internal = answer.internal;
    const QString& external = answer.external;
    // The edit starts before the controls take the value: a record held by another user
    // takes nothing, and an empty form becomes the new record the value belongs to.
    if (!s_.Operations().BeginEdit()) return false;
    if (showing.isEmpty()) {
        edit_.AddExtra(
            {s_.Settings().FileNumber, field, navigator_.Address().RecordAddress(), internal});
        return true;
    }
    for (TvornBoundControl* control : showing) {
        navigator_.ShowValue(*control, internal, external);
        AddChanged(control);
    }
    return true;
}

void SourceSaver::AddChanged(TvornBoundControl* control) {
    if (!s_.Active()) return;
    const bool accepts = (s_.State() == ssNew && Allows(s_, uaInsert)) ||
                         (s_.State() == ssEdit && Allows(s_, uaWrite));
    if (accepts) edit_.Add(control);
}

bool SourceSaver::CommitActiveControl() {
    // Only a record being changed has an edit to finish.
    if (committing_ || (s_.State() != ssNew && s_.State() != ssEdit)) return true;
    TvornBoundControl* control = s_.Registry().CurrentControl();
    if (!control) return true;
    FlagScope committing(committing_);
    return control->SettleValue();
}

bool SourceSaver::CommitChanges() {
    if (!CommitActiveControl()) return false;
    FlagScope committing(committing_);
    for (TvornBoundControl* control : edit_.Changed())
        if (control != s_.Registry().CurrentControl() && !control->SettleValue()) return false;
    return true;
}

bool SourceSaver::RequiredFieldsPresent(bool newRecord) {
    missing_.clear();
    for (TvornBoundControl* control : s_.Registry().Controls())
        if (control->FMRequired() && !control->HasValue())
            missing_.append({control, DisplayNameOf(*control)});
    if (!missing_.isEmpty()) {
        s_.Presenter().Error(GetDialogText(51, missing_.first().displayName, s_.RPCBroker()));
        return false;
    }
    // A control may know better than its value whether its field is filled; asked before the
    // filing, so that nothing is filed that the save then disowns.
    QStringList names;
    for (TvornBoundControl* control : newRecord ? s_.Registry().Controls() : edit_.Changed())
        if (!control->IsFilled()) names.append(DisplayNameOf(*control));
    if (names.isEmpty()) return true;
    s_.Presenter().Error(GetDialogText(38, {}, s_.RPCBroker()) + names.join(QStringLiteral(", ")) +
                         u'.');
    return false;
}

QString SourceSaver::ChangeQuestion() {
    for (TvornBoundControl* control : edit_.Changed()) {
        if (control->FMField() != QLatin1String(".01")) continue;
        const QString parameters = control->ChangeQuestion(s_.Settings().FileName);
        if (!parameters.isNull()) return GetDialogText(34, parameters, s_.RPCBroker()) + u'?';
    }
    return GetDialogText(37, s_.Settings().FileName, s_.RPCBroker()) + say::kLineBreak +
           navigator_.IdentifierText() + u'?';
}

QString SourceSaver::RefusalReport(int id) const {
    QString report = GetDialogText(id, {}, s_.RPCBroker());
    for (const QString& reason : s_.Hooks().Outcome().lines)
        report += say::kLineBreak + reason;
    return report;
}

bool SourceSaver::LockStillHeld() {
    if (s_.State() != ssEdit || locker_.HoldsLockOnThisLink()) return true;
    // The lock went with a link that died. Another user may have changed the record since:
    // filing now would overwrite their save.
    if (!locker_.Reacquire()) return false;
    if (navigator_.RecordUnchanged()) return true;
    if (s_.Settings().ShowMessages)
        s_.Presenter().Information(GetDialogText(50, {}, s_.RPCBroker()), 60);
    navigator_.Cancel();
    return false;
}

bool SourceSaver::File() {
    // The reasons reported are this filing's alone.
    s_.Hooks().Refused();
    const TvornSourceState state = s_.State();
    // Nothing is filed for a user without the right, nor without changes; the edits stay.
    if ((state == ssEdit && !Allows(s_, uaWrite)) || (state == ssNew && !Allows(s_, uaInsert)))
        return false;
    if (!edit_.HasChanges() || (state != ssEdit && state != ssNew)) return false;
    if (edit_.Record().HasRecord() &&
        edit_.Record().FullIens() != navigator_.Address().FullIens()) {
        s_.Hooks().Refused({QStringLiteral("The changes were made to record ") +
                            edit_.Record().FullIens() + QStringLiteral(", not to ") +
                            navigator_.Address().FullIens() + u'.'});
        return false;
    }
    ui::WaitCursor wait;
    filer::Filing filing;
    filing.add = state == ssNew;
    filing.file = s_.Settings().FileNumber;
    filing.record = navigator_.Address().RecordAddress();
    for (TvornBoundControl* control : edit_.Changed()) {
        if (control->IsDisplayOnly()) continue;
        filing.fields.append({control->FMField(), control->InternalValue(),
                              control->HoldsWordProcessing(), control->Lines()});
    }
    filing.extra = edit_.Extra();
    filing.wishedNumbers = edit_.Wished();
    const RpcRequest request = filer::FilerRequest(filing);
    TRPCBroker& broker = RequireBroker(s_);
    RpcReply reply;
    try {
        reply = broker.Call(request);
    } catch (const EBrokerError&) {
        // Only a call that went out can have been filed without an answer coming back.
        s_.Hooks().CallOut(broker.LastCallSent());
        throw;
    }
    const filer::FilerAnswer answer = filer::ReadFilerAnswer(reply);
    if (!answer.Succeeded()) {
        s_.Hooks().Refused(answer.errors);
        return false;
    }
    QString record = navigator_.Address().Number();
    if (record.startsWith(u'+')) record = answer.NumberFor(record);
    edit_.Forget();
    EndFiledEdit();
    navigator_.ReadFiled(record);
    return true;
}

void SourceSaver::EndFiledEdit() {
    // Whatever the read-back meets (a link that dies just now), the edit is over and its
    // lock is not kept.
    try {
        s_.Operations().UnlockRecord();
    } catch (...) {
        locker_.ReleaseQuietly();
        throw;
    }
}

bool SourceSaver::Save() {
    if (!s_.Active() || !Allows(s_, uaWrite)) return false;
    if (!s_.Hooks().Before(SourceMoment::Save)) return false;
    if (!edit_.HasChanges()) return false;
    if (s_.Settings().ShowMessages && s_.Settings().ConfirmMessages.testFlag(ConfirmChange) &&
        !s_.Presenter().YesOrCancel(ChangeQuestion()))
        return false;
    FlagScope saving(saving_);
    if (s_.Link().Logical()) s_.Link().PutMasterLink();
    const bool newRecord = s_.State() == ssNew;
    if (!CommitChanges() || !edit_.HasChanges() || !RequiredFieldsPresent(newRecord) ||
        !LockStillHeld())
        return false;
    const bool filed = File();
    QString report;
    if (filed) {
        const QString identifiers = navigator_.IdentifierText();
        if (s_.Settings().InformMessages.testFlag(InformChange))
            report = GetDialogText(39, s_.Settings().FileName + QStringLiteral(": ") + identifiers,
                                   s_.RPCBroker()) +
                     say::kLineBreak;
        history_.Update(identifiers);
    } else {
        // The edits stay on the form, and so does the lock that protects them: releasing it
        // would let another user change the record before the next try overwrites it.
        if (s_.State() == ssEdit) locker_.RestartPeriod();
        report = RefusalReport(40);
    }
    if (s_.Settings().ShowMessages &&
        (!filed || s_.Settings().InformMessages.testFlag(InformChange)))
        s_.Presenter().Information(report);
    s_.Hooks().After(SourceMoment::Save, filed);
    return filed;
}

bool SourceSaver::SaveAs() {
    if (!s_.Active() || !Allows(s_, uaInsert)) return false;
    if (!s_.Hooks().Before(SourceMoment::SaveAs)) return false;
    if (s_.Settings().ShowMessages && s_.Settings().ConfirmMessages.testFlag(ConfirmInsert)) {
        QString parameters = s_.Settings().FileName + QStringLiteral(": ");
        for (TvornBoundControl* control : s_.Registry().Controls())
            if (control->ShowsTypedText() && control->FMField() == QLatin1String(".01"))
                parameters += control->ShownText();
        if (!s_.Presenter().YesOrCancel(GetDialogText(41, parameters, s_.RPCBroker()) +
                                        say::kLineBreak))
            return false;
    }
    FlagScope saving(saving_);
    if (s_.State() != ssNew) {
        // A stored record saved as a copy: the values on the form become a new record, which
        // the details follow; their own changes belong to the stored record and go first.
        if (!s_.Operations().LeaveDetailRecords()) return false;
        missing_.clear();
        edit_.ForgetWished();
        s_.Operations().UnlockRecord();
        s_.SetState(ssNew);
        edit_.HoldAsCopy();
        // Until the copy is filed there is no record for the details to stand under: they
        // wait, as under a new record, instead of filing under the record that was copied.
        for (SourceCore* detail : s_.DetailCores())
            if (detail->Active()) detail->Operations().LoseMaster();
    }
    SourceCore* master = s_.Link().MasterCore();
    if (s_.Link().Logical() && s_.Link().LinkPending() &&
        !master->Owners().navigator.Address().Number().isEmpty())
        edit_.AddExtra({s_.Settings().FileNumber, s_.Settings().LinkField,
                        navigator_.Address().RecordAddress(),
                        master->Owners().navigator.Address().Number()});
    if (!CommitChanges()) return false;
    // Every field on the form is filed; of several controls on one field (radio buttons) the
    // one that holds the value stands for it.
    QStringList changedFields;
    for (TvornBoundControl* control : edit_.Changed())
        changedFields.append(control->FMField());
    const QList<TvornBoundControl*> controls = s_.Registry().Controls();
    for (TvornBoundControl* control : controls) {
        const QString field = control->FMField();
        if (control->IsDisplayOnly() || changedFields.contains(field)) continue;
        TvornBoundControl* holder = control;
        for (TvornBoundControl* other : controls)
            if (other->FMField() == field && !other->IsDisplayOnly() && other->HasValue()) {
                holder = other;
                break;
            }
        AddChanged(holder);
        changedFields.append(field);
    }
    if (!RequiredFieldsPresent(true)) return false;
    const bool filed = File();
    QString report;
    if (filed) {
        const QString identifiers = navigator_.IdentifierText();
        if (s_.Settings().InformMessages.testFlag(InformInsert))
            report = GetDialogText(42, s_.Settings().FileName + QStringLiteral(": ") + identifiers,
                                   s_.RPCBroker()) +
                     say::kLineBreak;
        history_.Update(identifiers);
    } else {
        report = RefusalReport(43);
    }
    if (s_.Settings().ShowMessages &&
        (!filed || s_.Settings().InformMessages.testFlag(InformInsert)))
        s_.Presenter().Information(report);
    s_.Hooks().After(SourceMoment::SaveAs, filed);
    return filed;
}

bool SourceSaver::CheckSaveChanges() {
    // The question is about what the form shows; the save that Yes starts checks every
    // changed value itself, so nothing is checked (or refused twice) before asking.
    if (!edit_.HasChanges()) return true;
    if (!s_.Settings().ShowMessages) {
        navigator_.Cancel();
        return true;
    }
    const bool newRecord = s_.State() == ssNew;
    const QString question = newRecord ? GetDialogText(41, s_.Settings().FileName, s_.RPCBroker())
                                       : GetDialogText(58, {}, s_.RPCBroker()) + u' ' +
                                             s_.Settings().FileName + QStringLiteral(": ") +
                                             navigator_.IdentifierText() + u'?' + say::kLineBreak;
    const int answer = s_.Presenter().Show(question, ui::MessageKind::Confirmation,
                                           ui::mbYes | ui::mbNo | ui::mbCancel);
    // A save that found nothing left to file (a lock timeout under the question may have
    // cancelled it) lets the caller go on; one that failed keeps the user here.
    if (answer == ui::mrYes) return (newRecord ? SaveAs() : Save()) || !edit_.HasChanges();
    for (TvornBoundControl* control : s_.Registry().Controls())
        control->EndLookup();
    if (answer != ui::mrNo) return false;
    navigator_.Cancel();
    return true;
}

}  // namespace vorn
