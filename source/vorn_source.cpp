#include "source/vorn_source.h"

#include <QWidget>

#include "broker/rpc_broker.h"
#include "source/internal/enabling_rules.h"
#include "source/internal/master_link.h"
#include "source/internal/source_core.h"
#include "source/internal/source_deleter.h"
#include "source/internal/source_history.h"
#include "source/internal/source_locker.h"
#include "source/internal/source_messages.h"
#include "source/internal/source_navigator.h"
#include "source/internal/source_registry.h"
#include "source/internal/source_requests.h"
#include "source/internal/source_saver.h"
#include "source/internal/state_transitions.h"
#include "source/message_text.h"
#include "source/server_queries.h"
#include "source/source_presenter.h"

namespace vorn {

TvornSource::TvornSource(QObject* owner)
    : QObject(owner),
      delPointerDisplay_(new TvornDelPointerDisplay(this)),
      registry_(std::make_unique<SourceRegistry>()),
      core_(MakeCore(*this)),
      navigator_(std::make_unique<SourceNavigator>(SourceCore::Of(*this))),
      locker_(std::make_unique<SourceLocker>(SourceCore::Of(*this), *navigator_)),
      history_(std::make_unique<SourceHistory>(SourceCore::Of(*this), *navigator_)),
      saver_(
          std::make_unique<SourceSaver>(SourceCore::Of(*this), *navigator_, *locker_, *history_)),
      deleter_(std::make_unique<SourceDeleter>(SourceCore::Of(*this), *navigator_, *history_,
                                               *delPointerDisplay_)),
      masterLink_(std::make_unique<MasterLink>(SourceCore::Of(*this), *navigator_)) {
    delPointerDisplay_->setObjectName(QStringLiteral("DelPointerDisplay"));
}

TvornSource::~TvornSource() {
    locker_->ReleaseQuietly();
    if (master_) master_->RemoveDetail(this);
    for (const QPointer<TvornSource>& detail : details_)
        if (detail) detail->master_ = nullptr;
}

// --- properties ---

void TvornSource::SetActive(bool on) {
    if (on && broker_)
        Open();
    else
        Close();
}

QObject* TvornSource::MasterSource() const {
    return master_.data();
}

void TvornSource::SetMasterSource(QObject* master) {
    if (master == this) {
        Presenter().Error(QStringLiteral("Component can't be both master and detail!"));
        if (master_) master_->RemoveDetail(this);
        master_ = nullptr;
        return;
    }
    auto* source = qobject_cast<TvornSource*>(master);
    if (master && !source) {
        Presenter().Error(QStringLiteral("Component is not valid TvornSource component!"));
        return;
    }
    if (master_ && master_ != source) master_->RemoveDetail(this);
    master_ = source;
    if (!loaded_) return;
    if (source) source->AddDetail(this);
    masterLink_->Attached(source && TypeIfSubFile == TvornSubFileType::Logical);
}

void TvornSource::SetUserAccess(TvornUserAccess access) {
    userAccess_ = access;
    NarrowAccess();
    RefreshButtons();
    RefreshControls();
}

void TvornSource::NarrowAccess() {
    if (!effectiveAccess_.testFlag(uaRead)) userAccess_ &= ~TvornUserAccess(uaRead | uaBrowse);
    if (!effectiveAccess_.testFlag(uaWrite)) userAccess_ &= ~TvornUserAccess(uaWrite);
    if (!effectiveAccess_.testFlag(uaInsert)) userAccess_ &= ~TvornUserAccess(uaInsert);
    if (!effectiveAccess_.testFlag(uaDelete)) userAccess_ &= ~TvornUserAccess(uaDelete);
}

void TvornSource::Loaded() {
    loaded_ = true;
    if (master_) {
        master_->AddDetail(this);
        masterLink_->Attached(TypeIfSubFile == TvornSubFileType::Logical);
    }
}

void TvornSource::AddDetail(TvornSource* detail) {
    for (const QPointer<TvornSource>& d : details_)
        if (d == detail) return;
    details_.append(detail);
}

void TvornSource::RemoveDetail(TvornSource* detail) {
    details_.removeIf([detail](const QPointer<TvornSource>& d) { return !d || d == detail; });
}

QList<TvornSource*> TvornSource::Details() const {
    QList<TvornSource*> live;
    for (const QPointer<TvornSource>& d : details_)
        if (d) live.append(d.data());
    return live;
}

// --- activation ---

void TvornSource::Open() {
    if (FileNumber.isEmpty()) {
        Presenter().Error(objectName() + QStringLiteral("'s filenumber not defined!"));
        return;
    }
    if (!broker_) {
        Presenter().Error(objectName() + QStringLiteral(" not linked to RPC Broker-component!"));
        return;
    }
    if (active_) return;
    active_ = true;
    navigator_->MarkGridsStale();
    const TvornUserAccess formAccess = userAccess_;
    try {
        history_->Reset();
        if (FMAccessUsed) CheckFileAccess();
        SetState(ssEmpty);
        for (TvornBoundControl* control : registry_->Controls()) {
            QWidget* widget = control->Widget();
            if (control->ShowHint() && widget->toolTip().isEmpty())
                widget->setToolTip(FieldHelp(control->FMField(), QStringLiteral("H")));
        }
        if (userData_.isEmpty()) FetchUserData();
        navigator_->ForgetEnds();
        // Without a master the link set-up lists the bound grids itself.
        if (!masterLink_->Setup()) {
            navigator_->EmptyControls();
            DisableControlsAndButtons();
            return;
        }
    } catch (...) {
        // An activation cut short by the server is not an activation: the next Open starts
        // over instead of finding the source active.
        active_ = false;
        SetState(ssInactive);
        effectiveAccess_ = kAllAccess;
        userAccess_ = formAccess;
        throw;
    }
    if (!master_) navigator_->GridsListed();
}

void TvornSource::CheckFileAccess() {
    const requests::FileAccessAnswer answer =
        requests::ReadFileAccess(RequireBroker().Call(requests::FileAccess(FileNumber)));
    if (!answer.answered) {
        effectiveAccess_ &= ~TvornUserAccess(uaRead | uaWrite | uaInsert | uaDelete);
    } else {
        if (!answer.userData.isEmpty()) userData_ = answer.userData;
        if (!answer.read) effectiveAccess_ &= ~TvornUserAccess(uaRead | uaBrowse);
        if (!answer.write) effectiveAccess_ &= ~TvornUserAccess(uaWrite);
        if (!answer.del) effectiveAccess_ &= ~TvornUserAccess(uaDelete);
        if (!answer.laygo) effectiveAccess_ &= ~TvornUserAccess(uaInsert);
    }
    userAccess_ &= effectiveAccess_;
}

void TvornSource::FetchUserData() {
    userData_ = requests::ReadUserData(RequireBroker().Call(requests::UserData()));
}

void TvornSource::Close() {
    UnlockRecord();
    active_ = false;
    SetState(ssInactive);
    saver_->ForgetChanges();
    navigator_->ForgetEnds();
    for (TvornBoundControl* control : registry_->Controls()) {
        control->Widget()->setEnabled(false);
        control->SourceClosed();
    }
    for (TvornSource* detail : Details())
        detail->Close();
}

void TvornSource::SetState(TvornSourceState newState) {
    if (navigator_->Filling() || newState == state_) return;
    if (!transitions::Allowed(state_, newState)) return;
    state_ = newState;
    const transitions::Entry entry = transitions::OnEntry(newState);
    switch (entry.address) {
        case transitions::AddressOnEntry::Keep:
            break;
        case transitions::AddressOnEntry::Forget:
            navigator_->ForgetRecord();
            break;
        case transitions::AddressOnEntry::StartNew:
            navigator_->StartNew();
            break;
    }
    switch (entry.edit) {
        case transitions::EditOnEntry::Begin:
            saver_->BeginEdit(navigator_->Address());
            break;
        case transitions::EditOnEntry::End:
            saver_->EndEdit();
            break;
        case transitions::EditOnEntry::ForgetAndEnd:
            saver_->ForgetChanges();
            saver_->EndEdit();
            break;
    }
    RefreshButtons();
    RefreshControls();
}

SourcePresenter& TvornSource::Presenter() const {
    return presenter_ ? *presenter_ : DefaultSourcePresenter();
}

bool TvornSource::BeginEdit() {
    if (state_ == ssBrowse) {
        if (!LockRecord()) return false;
        // The record is checked only now that nobody else can change it.
        if (!navigator_->RecordUnchanged()) {
            if (ShowMessages) Presenter().Information(GetDialogText(50, {}, broker_.data()), 60);
            UnlockRecord();
            GetRecord();
            return false;
        }
        SetState(ssEdit);
    } else if (state_ == ssEmpty) {
        SetState(ssNew);
    }
    return state_ == ssNew || state_ == ssEdit;
}

bool TvornSource::LeaveDetailRecords() {
    for (TvornSource* detail : Details())
        if (detail->Active() && !detail->LeaveRecord()) return false;
    return true;
}

bool TvornSource::LeaveRecord() {
    return Run(SourceOperation::LeaveRecord, [&] {
        if (!LeaveDetailRecords() || !CheckSaveChanges()) return false;
        if (state_ == ssEdit && !saver_->HasChanges()) {
            UnlockRecord();
            SetState(ssBrowse);
        }
        return true;
    });
}

void TvornSource::NoteRefusal(const QStringList& lines) {
    outcome_.kind = SourceOutcome::Refused;
    outcome_.lines = lines;
}

template <typename F>
bool TvornSource::Run(SourceOperation operation, F&& body) {
    if (running_ != SourceOperation::None) return body();
    running_ = operation;
    outcome_ = SourceOutcome{operation, SourceOutcome::Cancelled, {}, {}, false};
    bool done = false;
    try {
        done = body();
    } catch (const std::exception& error) {
        running_ = SourceOperation::None;
        outcome_.kind = SourceOutcome::Failed;
        outcome_.error = QString::fromUtf8(error.what());
        emit OutcomeReached(outcome_);
        throw;
    } catch (...) {
        running_ = SourceOperation::None;
        outcome_.kind = SourceOutcome::Failed;
        emit OutcomeReached(outcome_);
        throw;
    }
    running_ = SourceOperation::None;
    if (done) outcome_ = SourceOutcome{operation, SourceOutcome::Done, {}, {}, false};
    emit OutcomeReached(outcome_);
    return done;
}

void TvornSource::LoseMaster() {
    for (TvornSource* detail : Details())
        if (detail->Active()) detail->LoseMaster();
    saver_->ForgetChanges();
    UnlockRecord();
    navigator_->EmptyForm();
    navigator_->ForgetEnds();
    for (TvornGridLink* grid : registry_->Grids())
        grid->Clear();
    SetState(ssNoMaster);
    for (TvornOperationButton* button : registry_->Buttons())
        button->Widget()->setEnabled(false);
}

// --- record address ---

const SourceAddress& TvornSource::Address() const {
    return navigator_->Address();
}

TRPCBroker& TvornSource::RequireBroker() const {
    return vorn::RequireBroker(SourceCore::Of(*this));
}

// --- registry ---

void TvornSource::RegisterControl(TvornBoundControl* control, const QString& field) {
    registry_->AddControl(control, field);
}

void TvornSource::UnregisterControl(TvornBoundControl* control) {
    registry_->RemoveControl(control);
    saver_->RemoveChanged(control);
}

void TvornSource::RegisterButton(TvornSourceButton* button) {
    registry_->AddButton(button);
}

void TvornSource::UnregisterButton(TvornSourceButton* button) {
    registry_->RemoveButton(button);
}

void TvornSource::AddChangedControl(TvornBoundControl* control) {
    saver_->AddChanged(control);
}

void TvornSource::RemoveChangedControl(TvornBoundControl* control) {
    // Only a removal that left nothing to file ends the edit: a control left unchanged in a
    // new record must not throw the new record away. A copy not yet filed keeps every control:
    // all its values are the new record's, and emptying the edit would clear it unasked.
    if (saver_->HoldsCopy()) return;
    if (!saver_->RemoveChanged(control) || saver_->HasChanges()) return;
    if (state_ == ssNew) {
        Clear();
    } else if (state_ == ssEdit) {
        saver_->ForgetChanges();
        UnlockRecord();
        SetState(ssBrowse);
    }
}

// --- refresh ---

void TvornSource::RefreshButtons() {
    for (TvornExecButtonLink* button : registry_->ExecButtons())
        button->Widget()->setEnabled(
            ExecButtonEnabled(button->IsPointerButton(), state_, userAccess_));
    for (TvornOperationButton* button : registry_->Buttons())
        RefreshButton(button);
}

void TvornSource::RefreshButton(TvornOperationButton* button) {
    button->Widget()->setEnabled(!button->AlwaysDisabled() &&
                                 OperationEnabled(button->Operation(), state_, userAccess_,
                                                  navigator_->AtFirst(), navigator_->AtLast()));
}

void TvornSource::SetButtonEnabled(TvornBtnOperation operation, bool on) {
    for (TvornOperationButton* button : registry_->Buttons()) {
        if (button->Operation() != operation) continue;
        if (on)
            RefreshButton(button);
        else
            button->Widget()->setEnabled(false);
    }
}

void TvornSource::RefreshControls() {
    for (TvornBoundControl* control : registry_->Controls()) {
        const std::optional<bool> enabled =
            ControlEnabled(state_, userAccess_, control->LookupKind());
        if (enabled) control->Widget()->setEnabled(*enabled);
    }
    if (TypeIfSubFile == TvornSubFileType::Logical) masterLink_->DisableLinkControls();
}

void TvornSource::DisableControlsAndButtons() {
    for (TvornBoundControl* control : registry_->Controls())
        control->Widget()->setEnabled(false);
    for (TvornOperationButton* button : registry_->Buttons())
        button->Widget()->setEnabled(false);
}

// --- field questions ---

QString TvornSource::FieldHelp(const QString& field, const QString& kind) {
    if (FileNumber.isEmpty() || field.isEmpty() || !broker_) return {};
    return requests::ReadFieldHelp(broker_->Call(requests::FieldHelp(FileNumber, field, kind)));
}

bool TvornSource::PointerLaygoAllowed(const QString& field) {
    if (!broker_) {
        Presenter().Error(objectName() +
                          QStringLiteral(" is not associated with a RPC Broker component!"));
        return false;
    }
    return requests::ReadPointerLaygo(broker_->Call(requests::PointerLaygo(FileNumber, field)));
}

QString TvornSource::FieldAttribute(const QString& field) {
    return GetFieldAttribute(FileNumber, field, broker_.data());
}

// --- the operations, each done by the concern that owns its state ---

void TvornSource::GetRecord() {
    navigator_->GetRecord();
}
bool TvornSource::GetAndFill(const QString& ien) {
    return navigator_->GetAndFill(ien);
}
bool TvornSource::First() {
    return navigator_->Browse(records::Direction::First);
}
bool TvornSource::Prior() {
    return navigator_->Browse(records::Direction::Prior);
}
bool TvornSource::Next() {
    return navigator_->Browse(records::Direction::Next);
}
bool TvornSource::Last() {
    return navigator_->Browse(records::Direction::Last);
}
void TvornSource::Clear() {
    navigator_->Clear();
}
void TvornSource::Insert() {
    navigator_->Insert();
}
void TvornSource::Cancel() {
    navigator_->Cancel();
}
void TvornSource::Refresh() {
    navigator_->Refresh();
}
QString TvornSource::GetFieldValue(const QString& field) {
    return navigator_->FieldValue(field, 4);
}
QString TvornSource::GetFieldText(const QString& field) {
    return navigator_->FieldValue(field, 5);
}

void TvornSource::UpdateHistory() {
    history_->Update();
}
void TvornSource::GoToHistory(int index) {
    history_->GoTo(index);
}
QString TvornSource::HistoryText(int index) const {
    return history_->Text(index);
}

bool TvornSource::ValidateField(const QString& field, const QString& value) {
    return Validate(field, value).valid;
}
ValidatedValue TvornSource::Validate(const QString& field, const QString& value) {
    ValidatedValue answer;
    Run(SourceOperation::Validate, [&] {
        answer = saver_->ValidateField(field, value);
        return answer.valid;
    });
    return answer;
}
bool TvornSource::SetFieldValue(const QString& field, const QString& value) {
    return Run(SourceOperation::Validate, [&] { return saver_->SetFieldValue(field, value); });
}
bool TvornSource::Save() {
    return Run(SourceOperation::Save, [&] { return saver_->Save(); });
}
bool TvornSource::SaveAs() {
    return Run(SourceOperation::SaveAs, [&] { return saver_->SaveAs(); });
}
bool TvornSource::CheckSaveChanges() {
    return Run(SourceOperation::LeaveRecord, [&] { return saver_->CheckSaveChanges(); });
}

bool TvornSource::LockRecord() {
    return Run(SourceOperation::Lock, [&] { return locker_->Lock(); });
}
void TvornSource::UnlockRecord() {
    Run(SourceOperation::Unlock, [&] {
        locker_->Unlock();
        return !locker_->Locked();
    });
}
bool TvornSource::Delete() {
    return Run(SourceOperation::Delete, [&] { return deleter_->Delete(); });
}

}  // namespace vorn
