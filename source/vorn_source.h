// The data source: one server file on a form, the public face of the engine. A form sets its
// published values (SourceSettings), its events and its presenter, opens it, and calls its
// operations; controls and buttons register with it. What an operation came to is its outcome
// (LastOutcome, OutcomeReached), and each After* event has a signal beside it.
//
// Behind the face is a private core (source/internal/source_core.h), which this class gives its
// concerns and the toolkit's own controls (SourceCore::Of): the concerns (navigator, saver, locker,
// deleter, history, master link) each own one piece of record state and reach their source only
// through it. This class itself holds the state machine (one transition, as a table), the access,
// the activation and the registry.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>

#include "broker/rpc_broker.h"
#include "source/bound_control.h"
#include "source/del_pointer_display.h"
#include "source/filer_request.h"
#include "source/source_address.h"
#include "source/source_outcome.h"
#include "source/source_settings.h"
#include "source/vorn_types.h"
#include "toolkit/component_loading.h"

#pragma GCC visibility push(default)
namespace vorn {

class MasterLink;
class SourceDeleter;
class SourceHistory;
class SourceLocker;
class SourceNavigator;
class SourcePresenter;
class SourceRegistry;
class SourceSaver;
struct MissingField;
namespace ui {
class Timer;
}

// A value to file beside the controls' values: file, field, record address, value.
using ExtraFilerLine = filer::ExtraLine;

class TvornSource : public QObject, public SourceSettings, public ui::LoadedComponent {
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
    Q_PROPERTY(QString FileName MEMBER FileName)
    Q_PROPERTY(QString FileNumber MEMBER FileNumber)
    Q_PROPERTY(QString FMIndex MEMBER FMIndex)
    Q_PROPERTY(QString FMIndexField MEMBER FMIndexField)
    Q_PROPERTY(vorn::TvornIndexType FMIndexType MEMBER FMIndexType)
    Q_PROPERTY(QString FMScreen MEMBER FMScreen)
    Q_PROPERTY(int HistorySize MEMBER HistorySize)
    Q_PROPERTY(QString LinkField MEMBER LinkField)
    Q_PROPERTY(int LockTimeOut MEMBER LockTimeOut)
    Q_PROPERTY(QObject* MasterSource READ MasterSource WRITE SetMasterSource)
    Q_PROPERTY(vorn::TRPCBroker* RPCBroker READ RPCBroker WRITE SetRPCBroker)
    Q_PROPERTY(bool ShowMessages MEMBER ShowMessages)
    Q_PROPERTY(vorn::TvornSubFileType TypeIfSubFile MEMBER TypeIfSubFile)
    Q_PROPERTY(vorn::TvornUserAccess UserAccess READ UserAccess WRITE SetUserAccess)
    Q_PROPERTY(bool FMAccessUsed MEMBER FMAccessUsed)
    Q_PROPERTY(vorn::TvornConfirmMessages ConfirmMessages MEMBER ConfirmMessages)
    Q_PROPERTY(vorn::TvornInformMessages InformMessages MEMBER InformMessages)
    Q_PROPERTY(vorn::TvornDelPointerDisplay* DelPointerDisplay READ DelPointerDisplay CONSTANT)

  public:
    explicit TvornSource(QObject* owner = nullptr);
    // A source that goes away gives back the lock of an edit it leaves behind.
    ~TvornSource() override;

    // --- published properties (the plain values are SourceSettings') ---
    bool Active() const { return active_; }
    // True runs Open when a broker is set; false (or true without a broker) runs Close.
    void SetActive(bool on);
    QObject* MasterSource() const;
    // Refuses the source itself and anything that is not a data source, with their messages.
    void SetMasterSource(QObject* master);
    TRPCBroker* RPCBroker() const { return broker_.data(); }
    void SetRPCBroker(TRPCBroker* broker) { broker_ = broker; }
    TvornUserAccess UserAccess() const { return userAccess_; }
    // At run time the server's refusals narrow the value; buttons and controls follow at once.
    void SetUserAccess(TvornUserAccess access);
    TvornDelPointerDisplay* DelPointerDisplay() const { return delPointerDisplay_; }
    // Who shows the source's messages and asks its questions: the toolset's message dialog
    // unless a form or a test sets its own (nullptr: the dialog again). The presenter must
    // outlive the source or be unset first.
    void SetPresenter(SourcePresenter* presenter) { presenter_ = presenter; }

    // --- published events ---
    TNotifyEvent AfterClear;
    TResultEvent AfterDelete;
    TNotifyEvent AfterGetAndFill;
    TResultEvent AfterSave;
    TResultEvent AfterSaveAs;
    TNotifyEvent AfterUpdateHistory;
    TAfterValidateEvent AfterValidateField;
    TBeforeClearEvent BeforeClear;
    TBeforeDeleteEvent BeforeDelete;
    TBeforeSaveEvent BeforeSave;
    TBeforeSaveAsEvent BeforeSaveAs;
    TBeforeValidateEvent BeforeValidateField;
    // Not published.
    TBeforeInsertEvent BeforeInsert;
    TNotifyEvent AfterInsert;

    // --- activation and state ---
    void Open();
    void Close();
    TvornSourceState State() const { return state_; }
    // The state change alone, with the address it implies and the buttons and controls
    // enabled for it; it asks the server nothing and the user nothing. A change that no
    // operation makes (editing a record that is not shown, a record while inactive) is refused.
    void SetState(TvornSourceState newState);
    // The user starts changing a value: a shown record is locked and checked against the
    // server, an empty form becomes a new record. True when an edit is under way.
    bool BeginEdit();
    // The record the source stands on, with its parent chain.
    const SourceAddress& Address() const;

    // --- what controls and buttons tell their source ---
    void RegisterControl(TvornBoundControl* control, const QString& field);
    // An operation button or an exec button, into the list of its kind.
    void RegisterButton(TvornSourceButton* button);
    void UnregisterButton(TvornSourceButton* button);
    void AddChangedControl(TvornBoundControl* control);
    void RemoveChangedControl(TvornBoundControl* control);

    // --- server questions about fields ---
    // The help text ("H") or the description ("D") of a field.
    QString FieldHelp(const QString& field, const QString& kind);
    bool PointerLaygoAllowed(const QString& field);
    QString FieldAttribute(const QString& field);

    // --- reading and moving ---
    void GetRecord();
    bool GetAndFill(const QString& ien);
    bool First();
    bool Prior();
    bool Next();
    bool Last();
    void Clear();
    void Insert();
    void Cancel();
    // The changes saved or dropped, then the record read again and the grids listed again.
    void Refresh();
    QString GetFieldValue(const QString& field);
    QString GetFieldText(const QString& field);

    // --- history ---
    void UpdateHistory();
    // Shows the record of entry `index`; an entry whose record is gone is taken off the
    // history, and the user is told so.
    void GoToHistory(int index);
    QString HistoryText(int index) const;

    // --- saving, validation, deletion and locking ---
    bool ValidateField(const QString& field, const QString& value);
    bool SetFieldValue(const QString& field, const QString& value);
    bool Save();
    bool SaveAs();
    bool CheckSaveChanges();
    bool Delete();
    bool LockRecord();
    void UnlockRecord();

    // What the last operation (saving, deleting, locking, a field's check, leaving a record)
    // came to: done, refused with the server's lines, cancelled, or failed with an error. An
    // operation that another one runs inside it adds to the outer one's outcome.
    const SourceOutcome& LastOutcome() const { return outcome_; }

  signals:
    // Sent as each operation ends, also when it ends by an exception (before it propagates).
    void OutcomeReached(const vorn::SourceOutcome& outcome);
    // The moments of the After* events, sent right after each event's handler ran (with the
    // values it left): a form may connect to these as to any Qt signal, and several may.
    void Cleared();              // AfterClear
    void Deleted(bool success);  // AfterDelete
    void GotAndFilled();         // AfterGetAndFill
    void Saved(bool success);    // AfterSave
    void SavedAs(bool success);  // AfterSaveAs
    void HistoryUpdated();       // AfterUpdateHistory
    void FieldValidated(bool result, const QString& field, const QString& internalValue,
                        const QString& externalValue);  // AfterValidateField
    void Inserted();                                    // AfterInsert

  private:
    friend class SourceCore;
    // The private core of this source (source_core.cpp): the concerns and the toolkit's own
    // controls reach the source through it.
    class Core;
    struct DeleteCore {
        void operator()(Core* core) const;
    };
    static std::unique_ptr<Core, DeleteCore> MakeCore(TvornSource& source);

    void Loaded() override;
    TRPCBroker& RequireBroker() const;
    SourcePresenter& Presenter() const;
    // A control that goes away leaves every list of the source.
    void UnregisterControl(TvornBoundControl* control);
    void RefreshButtons();
    void RefreshButton(TvornOperationButton* button);
    void SetButtonEnabled(TvornBtnOperation operation, bool on);
    void NoteRefusal(const QStringList& lines);
    void LoseMaster();
    bool LeaveDetailRecords();
    bool LeaveRecord();
    ValidatedValue Validate(const QString& field, const QString& value);

    // --- this class's own work ---
    void RefreshControls();
    // Runs `body` as `operation`: its outcome starts afresh (unless another operation of this
    // source runs it), is done when `body` returns true, and is sent when it ends.
    template <typename F>
    bool Run(SourceOperation operation, F&& body);

    QList<TvornSource*> Details() const;
    void CheckFileAccess();
    void FetchUserData();
    void NarrowAccess();
    void AddDetail(TvornSource* detail);
    void RemoveDetail(TvornSource* detail);
    void DisableControlsAndButtons();

    bool active_ = false;
    bool loaded_ = false;
    QPointer<TvornSource> master_;
    QPointer<TRPCBroker> broker_;
    TvornUserAccess userAccess_ = kAllAccess;
    TvornUserAccess effectiveAccess_ = kAllAccess;
    QString userData_;
    TvornDelPointerDisplay* delPointerDisplay_;
    TvornSourceState state_ = ssInactive;
    SourceOutcome outcome_;
    SourceOperation running_ = SourceOperation::None;
    SourcePresenter* presenter_ = nullptr;

    QList<QPointer<TvornSource>> details_;

    std::unique_ptr<SourceRegistry> registry_;
    std::unique_ptr<Core, DeleteCore> core_;  // made first: the concerns hold it
    std::unique_ptr<SourceNavigator> navigator_;
    std::unique_ptr<SourceLocker> locker_;
    std::unique_ptr<SourceHistory> history_;
    std::unique_ptr<SourceSaver> saver_;
    std::unique_ptr<SourceDeleter> deleter_;
    std::unique_ptr<MasterLink> masterLink_;
};

}  // namespace vorn

#pragma GCC visibility pop
