#include "source/source_saver.h"

#include "broker/rpc_broker.h"
#include "source/filer_request.h"
#include "source/flag_scope.h"
#include "source/message_text.h"
#include "source/record_requests.h"
#include "source/source_locker.h"
#include "source/source_messages.h"
#include "source/source_navigator.h"
#include "source/timed_message.h"
#include "source/vorn_source.h"
#include "toolkit/wait_cursor.h"

namespace vorn {
namespace {

QString DisplayNameOf(const TvornBoundControl& control) {
    const QString name = control.FMDisplayName().left(50);
    return name.isEmpty() ? QStringLiteral("<<<none defined>>") : name;
}

}  // namespace

bool SourceSaver::ValidateField(const QString& fieldIn, const QString& valueIn) {
    FlagScope validating(s_.validating_);
    QString field = fieldIn;
    QString value = valueIn;
    bool allowValidate = true;
    if (s_.BeforeValidateField) s_.BeforeValidateField(&s_, allowValidate, field, value);
    bool result = true;
    QString internal;
    QString external;
    if (!allowValidate) {
        external = value;
    } else {
        const records::ValidatorAnswer answer =
            records::ReadValidatorAnswer(s_.RequireBroker().Call(
                records::ValidatorRequest(s_.FileNumber, s_.FullIens(), field, value)));
        s_.recordErrors_ += answer.errors;
        result = answer.valid;
        internal = answer.internal;
        external = answer.external;
    }
    if (s_.AfterValidateField) s_.AfterValidateField(&s_, result, field, internal, external);
    s_.validationAnswer_ = {internal, external};
    return result;
}

bool SourceSaver::SetFieldValue(const QString& field, const QString& value) {
    if (field.isEmpty()) return false;
    QList<TvornBoundControl*> showing;
    for (TvornBoundControl* control : s_.Controls())
        if (control->FMField() == field) showing.append(control);
    if (!ValidateField(field, value)) {
        if (s_.ShowMessages) {
            const QString name = showing.isEmpty() ? field : showing.first()->FMDisplayName();
            say::Error(GetDialogText(32, value + u'^' + name, s_.RPCBroker()));
        }
        return false;
    }
    const QString internal = s_.validationAnswer_.value(0);
    const QString external = s_.validationAnswer_.value(1);
    // An empty form becomes a new record before the controls take the value: a control is
    // only counted as changed in a record being edited, and the value must be filed.
    if (s_.state_ == ssBrowse || s_.state_ == ssEmpty) s_.BeginEdit();
    if (showing.isEmpty()) {
        s_.BeginEdit();
        s_.extraFilerLines_.append({s_.FileNumber, field, s_.RecordAddress(), internal});
        return true;
    }
    for (TvornBoundControl* control : showing) {
        {
            // Taken as a read value: the control's own change handling must not undo it.
            FlagScope filling(s_.filling_);
            control->FillFromRecord(internal, external);
        }
        s_.AddChangedControl(control);
        s_.BeginEdit();
    }
    return true;
}

void SourceSaver::CommitActiveControl() {
    // Only a record being changed has an edit to finish.
    if (committing_ || (s_.state_ != ssNew && s_.state_ != ssEdit)) return;
    TvornBoundControl* control = s_.currentControl_;
    if (!control) return;
    FlagScope committing(committing_);
    control->CommitEdit();
}

bool SourceSaver::RequiredFieldsPresent() {
    s_.missingFields_.clear();
    for (TvornBoundControl* control : s_.Controls())
        if (control->FMRequired() && !control->HasValue())
            s_.missingFields_.append({control, DisplayNameOf(*control)});
    if (s_.missingFields_.isEmpty()) return true;
    say::Error(GetDialogText(51, s_.missingFields_.first().displayName, s_.RPCBroker()));
    return false;
}

QString SourceSaver::MissingAfterFiling(bool newRecord) {
    QStringList names;
    for (TvornBoundControl* control : newRecord ? s_.Controls() : s_.ChangedControls())
        if (!control->IsFilled()) names.append(DisplayNameOf(*control));
    if (names.isEmpty()) return {};
    return QStringLiteral("Kentistä: ") + names.join(QStringLiteral(", ")) + u'.';
}

QString SourceSaver::ChangeQuestion() {
    for (TvornBoundControl* control : s_.ChangedControls()) {
        if (control->FMField() != QLatin1String(".01")) continue;
        const QString parameters = control->ChangeQuestion(s_.FileName);
        if (!parameters.isNull()) return GetDialogText(34, parameters, s_.RPCBroker()) + u'?';
    }
    return GetDialogText(37, s_.FileName, s_.RPCBroker()) + say::kLineBreak +
           s_.navigator_->IdentifierText() + u'?';
}

bool SourceSaver::File() {
    const TvornSourceState state = s_.state_;
    if ((state == ssEdit && !s_.Allows(uaWrite)) || (state == ssNew && !s_.Allows(uaInsert))) {
        s_.ForgetChanges();
        return true;
    }
    if (!s_.HasChanges() || state == ssBrowse) return true;
    ui::WaitCursor wait;
    s_.recordErrors_.clear();
    filer::Filing filing;
    filing.add = state == ssNew;
    filing.file = s_.FileNumber;
    filing.record = s_.RecordAddress();
    for (TvornBoundControl* control : s_.ChangedControls()) {
        if (control->IsDisplayOnly()) continue;
        filing.fields.append({control->FMField(), control->InternalValue(),
                              control->HoldsWordProcessing(), control->Lines()});
    }
    filing.extra = s_.extraFilerLines_;
    filing.wishedNumbers = s_.wishedNumbers_;
    const filer::FilerAnswer answer =
        filer::ReadFilerAnswer(s_.RequireBroker().Call(filer::FilerRequest(filing)));
    s_.recordErrors_ = answer.errors;
    if (!answer.Succeeded()) return false;
    QString record = s_.RecordNumber();
    if (record.startsWith(u'+')) record = answer.NumberFor(record);
    s_.iens_ = record + u',';
    s_.firstActivation_ = true;
    s_.ForgetChanges();
    return true;
}

bool SourceSaver::Save() {
    if (!s_.Active() || !s_.Allows(uaWrite)) return false;
    bool allowSave = true;
    if (s_.BeforeSave) s_.BeforeSave(&s_, allowSave);
    if (!allowSave) return false;
    if (s_.ShowMessages && s_.ConfirmMessages.testFlag(ConfirmChange) &&
        !say::YesOrCancel(ChangeQuestion()))
        return false;
    FlagScope saving(s_.saving_);
    if (s_.IsLogicalDetail()) s_.PutMasterLink();
    CommitActiveControl();
    if (!RequiredFieldsPresent()) return false;
    // A lock that went with a lost connection is taken again before anything is filed.
    if (s_.state_ == ssEdit && !s_.locker_->HoldsLockOnThisLink() && !s_.locker_->Reacquire())
        return false;
    const bool newRecord = s_.state_ == ssNew;
    const bool saved = File();
    const QString missing = MissingAfterFiling(newRecord);
    if (!missing.isEmpty()) {
        say::Error(missing);
        return false;
    }
    QString report;
    if (saved) {
        s_.GetRecord();
        if (s_.InformMessages.testFlag(InformChange))
            report = GetDialogText(
                         39, s_.FileName + QStringLiteral(": ") + s_.navigator_->IdentifierText(),
                         s_.RPCBroker()) +
                     say::kLineBreak;
        s_.UpdateHistory();
        s_.UnlockRecord();
    } else {
        // The edits stay on the form, and so does the lock that protects them: releasing it
        // would let another user change the record before the next try overwrites it.
        report = GetDialogText(40, {}, s_.RPCBroker());
    }
    if (s_.ShowMessages && (!saved || s_.InformMessages.testFlag(InformChange)))
        say::Information(report);
    if (s_.AfterSave) s_.AfterSave(&s_, saved);
    return saved;
}

bool SourceSaver::SaveAs() {
    if (!s_.Active() || !s_.Allows(uaInsert)) return false;
    bool allowSaveAs = true;
    if (s_.BeforeSaveAs) s_.BeforeSaveAs(&s_, allowSaveAs);
    if (!allowSaveAs) return false;
    if (s_.ShowMessages && s_.ConfirmMessages.testFlag(ConfirmInsert)) {
        QString parameters = s_.FileName + QStringLiteral(": ");
        for (TvornBoundControl* control : s_.Controls())
            if (control->ShowsTypedText() && control->FMField() == QLatin1String(".01"))
                parameters += control->ShownText();
        if (!say::YesOrCancel(GetDialogText(41, parameters, s_.RPCBroker()) + say::kLineBreak))
            return false;
    }
    FlagScope saving(s_.saving_);
    if (s_.state_ != ssNew) {
        // A stored record saved as a copy: the values on the form become a new record.
        s_.missingFields_.clear();
        s_.wishedNumbers_.clear();
        s_.UnlockRecord();
        s_.iens_ = QStringLiteral("+1,");
        s_.SetState(ssNew);
    }
    TvornSource* master = s_.Master();
    if (master && s_.TypeIfSubFile == TvornSubFileType::Logical && s_.LinkPending() &&
        !master->RecordNumber().isEmpty())
        s_.extraFilerLines_.append(
            {s_.FileNumber, s_.LinkField, s_.RecordAddress(), master->RecordNumber()});
    CommitActiveControl();
    // Every field on the form is filed; of several controls on one field (radio buttons) the
    // one that holds the value stands for it.
    QStringList changedFields;
    for (TvornBoundControl* control : s_.ChangedControls())
        changedFields.append(control->FMField());
    const QList<TvornBoundControl*> controls = s_.Controls();
    for (TvornBoundControl* control : controls) {
        const QString field = control->FMField();
        if (control->IsDisplayOnly() || changedFields.contains(field)) continue;
        TvornBoundControl* holder = control;
        for (TvornBoundControl* other : controls)
            if (other->FMField() == field && !other->IsDisplayOnly() && other->HasValue()) {
                holder = other;
                break;
            }
        s_.AddChangedControl(holder);
        changedFields.append(field);
    }
    if (!RequiredFieldsPresent()) return false;
    const bool saved = !s_.HasChanges() || File();
    QString report;
    if (saved) {
        s_.GetRecord();
        if (s_.InformMessages.testFlag(InformInsert))
            report = GetDialogText(
                         42, s_.FileName + QStringLiteral(": ") + s_.navigator_->IdentifierText(),
                         s_.RPCBroker()) +
                     say::kLineBreak;
        s_.UpdateHistory();
    } else {
        report = GetDialogText(43, {}, s_.RPCBroker());
    }
    if (s_.ShowMessages && (!saved || s_.InformMessages.testFlag(InformInsert)))
        say::Information(report);
    if (s_.AfterSaveAs) s_.AfterSaveAs(&s_, saved);
    return saved;
}

bool SourceSaver::CheckSaveChanges() {
    CommitActiveControl();
    if (!s_.HasChanges()) return true;
    if (!s_.ShowMessages) {
        s_.Cancel();
        return true;
    }
    const bool newRecord = s_.state_ == ssNew;
    const QString question = newRecord
                                 ? GetDialogText(41, s_.FileName, s_.RPCBroker())
                                 : GetDialogText(58, {}, s_.RPCBroker()) + u' ' + s_.FileName +
                                       QStringLiteral(": ") + s_.navigator_->IdentifierText() +
                                       u'?' + say::kLineBreak;
    switch (TimedMessageDlg(question, ui::MessageKind::Confirmation,
                            ui::mbYes | ui::mbNo | ui::mbCancel)) {
        case ui::mrYes:
            return newRecord ? SaveAs() : Save();
        case ui::mrNo:
            s_.Cancel();
            return true;
        default:
            return false;
    }
}

}  // namespace vorn
