// The private core of TvornSource: the one door through which the concerns and the toolkit's
// own controls reach a source beyond its public face. Each function answers from the piece of
// state's owner; the operations run on the source, with their outcomes.
#include "source/internal/source_core.h"

#include "source/internal/master_link.h"
#include "source/internal/no_broker_link.h"
#include "source/internal/source_deleter.h"
#include "source/internal/source_history.h"
#include "source/internal/source_locker.h"
#include "source/internal/source_navigator.h"
#include "source/internal/source_registry.h"
#include "source/internal/source_saver.h"
#include "source/vorn_source.h"

namespace vorn {

class TvornSource::Core final : public SourceCore,
                                public SourceHooks,
                                public SourceButtons,
                                public SourceOperations {
  public:
    explicit Core(TvornSource& source) : s_(source) {}

    SourceSettings& Settings() override { return s_; }
    const SourceSettings& Settings() const override { return s_; }
    QString Name() const override { return s_.objectName(); }
    TRPCBroker* RPCBroker() const override { return s_.RPCBroker(); }
    SourcePresenter& Presenter() const override { return s_.Presenter(); }

    bool Active() const override { return s_.active_; }
    SourceGrant Grant() const override {
        return {s_.effectiveAccess_, s_.userData_, s_.userAccess_};
    }
    TvornSourceState State() const override { return s_.state_; }
    void SetState(TvornSourceState newState) override { s_.SetState(newState); }

    SourceRegistry& Registry() override { return *s_.registry_; }
    const SourceRegistry& Registry() const override { return *s_.registry_; }
    SourceButtons& Buttons() override { return *this; }
    void RefreshAll() override { s_.RefreshButtons(); }
    void Refresh(TvornOperationButton* button) override { s_.RefreshButton(button); }
    void SetEnabled(TvornBtnOperation operation, bool on) override {
        s_.SetButtonEnabled(operation, on);
    }

    SourceHooks& Hooks() override { return *this; }
    bool Before(SourceMoment moment) override;
    void After(SourceMoment moment, bool result) override;
    void BeforeValidate(bool& allow, QString& field, QString& value) override {
        if (s_.BeforeValidateField) s_.BeforeValidateField(&s_, allow, field, value);
    }
    void AfterValidate(bool& result, const QString& field, QString& internal,
                       QString& external) override {
        if (s_.AfterValidateField) s_.AfterValidateField(&s_, result, field, internal, external);
        emit s_.FieldValidated(result, field, internal, external);
    }

    const SourceOutcome& Outcome() const override { return s_.outcome_; }
    void Refused(const QStringList& lines) override { s_.NoteRefusal(lines); }
    void CallOut(bool out) override { s_.outcome_.unanswered = out; }

    TvornSource* Master() const override { return s_.master_.data(); }
    QList<SourceCore*> DetailCores() const override {
        QList<SourceCore*> cores;
        for (TvornSource* detail : s_.Details())
            cores.append(detail->core_.get());
        return cores;
    }
    MasterLink& Link() override { return *s_.masterLink_; }

    SourceOperations& Operations() override { return *this; }
    bool BeginEdit() override { return s_.BeginEdit(); }
    bool LeaveRecord() override { return s_.LeaveRecord(); }
    bool Save() override { return s_.Save(); }
    bool CheckSaveChanges() override { return s_.CheckSaveChanges(); }
    void UnlockRecord() override { s_.UnlockRecord(); }
    ValidatedValue Validate(const QString& field, const QString& value) override {
        return s_.Validate(field, value);
    }
    void LoseMaster() override { s_.LoseMaster(); }
    bool LeaveDetailRecords() override { return s_.LeaveDetailRecords(); }
    void UnregisterControl(TvornBoundControl* control) override { s_.UnregisterControl(control); }

    SourceOwners Owners() override {
        return {*s_.navigator_, *s_.saver_, *s_.locker_, *s_.deleter_, *s_.history_};
    }

  private:
    TvornSource& s_;
};

bool TvornSource::Core::Before(SourceMoment moment) {
    bool allow = true;
    switch (moment) {
        case SourceMoment::Clear:
            if (s_.BeforeClear) s_.BeforeClear(&s_, allow);
            break;
        case SourceMoment::Delete:
            if (s_.BeforeDelete) s_.BeforeDelete(&s_, allow);
            break;
        case SourceMoment::Save:
            if (s_.BeforeSave) s_.BeforeSave(&s_, allow);
            break;
        case SourceMoment::SaveAs:
            if (s_.BeforeSaveAs) s_.BeforeSaveAs(&s_, allow);
            break;
        case SourceMoment::Insert:
            if (s_.BeforeInsert) s_.BeforeInsert(&s_, allow);
            break;
        case SourceMoment::GetAndFill:
        case SourceMoment::UpdateHistory:
            break;
    }
    return allow;
}

void TvornSource::Core::After(SourceMoment moment, bool result) {
    switch (moment) {
        case SourceMoment::Clear:
            if (s_.AfterClear) s_.AfterClear(&s_);
            emit s_.Cleared();
            break;
        case SourceMoment::Delete:
            if (s_.AfterDelete) s_.AfterDelete(&s_, result);
            emit s_.Deleted(result);
            break;
        case SourceMoment::GetAndFill:
            if (s_.AfterGetAndFill) s_.AfterGetAndFill(&s_);
            emit s_.GotAndFilled();
            break;
        case SourceMoment::Save:
            if (s_.AfterSave) s_.AfterSave(&s_, result);
            emit s_.Saved(result);
            break;
        case SourceMoment::SaveAs:
            if (s_.AfterSaveAs) s_.AfterSaveAs(&s_, result);
            emit s_.SavedAs(result);
            break;
        case SourceMoment::UpdateHistory:
            if (s_.AfterUpdateHistory) s_.AfterUpdateHistory(&s_);
            emit s_.HistoryUpdated();
            break;
        case SourceMoment::Insert:
            if (s_.AfterInsert) s_.AfterInsert(&s_);
            emit s_.Inserted();
            break;
    }
}

TRPCBroker& RequireBroker(const SourceCore& core) {
    TRPCBroker* broker = core.RPCBroker();
    if (!broker) throw ENoBrokerLink(SourceWithoutBrokerText(core.Name()));
    return *broker;
}

SourceCore& SourceCore::Of(TvornSource& source) {
    return *source.core_;
}

const SourceCore& SourceCore::Of(const TvornSource& source) {
    return *source.core_;
}

std::unique_ptr<TvornSource::Core, TvornSource::DeleteCore> TvornSource::MakeCore(
    TvornSource& source) {
    return std::unique_ptr<Core, DeleteCore>(new Core(source));
}

void TvornSource::DeleteCore::operator()(Core* core) const {
    delete core;
}

}  // namespace vorn
