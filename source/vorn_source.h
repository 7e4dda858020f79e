// The data source: one server file on a form, the public face of the engine. Controls, buttons
// and grids register with it; its concerns (source/internal/: navigator, saver, locker, deleter,
// history, master link) each own one piece of record state. What a form sets or reads is here:
// the presenter that shows every message and question (SetPresenter), the outcome of the last
// operation (LastOutcome, OutcomeReached), and a signal beside each After* event. This class
// holds the record state machine, the access, the activation and the registry.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>

#include "broker/rpc_broker.h"
#include "source/bound_control.h"
#include "source/filer_request.h"
#include "source/source_address.h"
#include "source/source_outcome.h"
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
class SourceSaver;
struct MissingField;
namespace ui {
class Timer;
}

// The limits of the pointer report asked for before a deletion.
class TvornDelPointerDisplay : public QObject {
    Q_OBJECT
    Q_PROPERTY(int DispFiles MEMBER DispFiles)
    Q_PROPERTY(int DispRecords MEMBER DispRecords)
    Q_PROPERTY(int DispNoXRefs MEMBER DispNoXRefs)

  public:
    using QObject::QObject;
    int DispFiles = 6;
    int DispRecords = 2;
    int DispNoXRefs = 6;
};

// A value to file beside the controls' values: file, field, record address, value.
using ExtraFilerLine = filer::ExtraLine;

class TvornSource : public QObject, public ui::LoadedComponent {
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

    // --- published properties ---
    QString FileName;
    QString FileNumber;
    QString FMIndex = QStringLiteral("B");
    QString FMIndexField = QStringLiteral(".01");
    TvornIndexType FMIndexType = itExternal;
    QString FMScreen;
    int HistorySize = 0;
    QString LinkField;
    int LockTimeOut = 10;
    bool ShowMessages = true;
    TvornSubFileType TypeIfSubFile = TvornSubFileType::None;
    bool FMAccessUsed = true;
    TvornConfirmMessages ConfirmMessages = ConfirmDelete;
    TvornInformMessages InformMessages = InformChange | InformDelete | InformInsert;

    bool Active() const { return active_; }
    // True runs Open when a broker is set; false (or true without a broker) runs Close.
    void SetActive(bool on);
    TvornSource* Master() const { return master_.data(); }
    QObject* MasterSource() const { return master_.data(); }
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
    SourcePresenter& Presenter() const;

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

    // Marks the source loaded and registers it with its master.
    void Loaded() override;

    // --- activation and state ---
    void Open();
    void Close();
    TvornSourceState State() const { return state_; }
    // The state change alone, with the address it implies and the buttons and controls
    // enabled for it; it asks the server nothing and the user nothing.
    void SetState(TvornSourceState newState);
    // The user starts changing a value: a shown record is locked and checked against the
    // server, an empty form becomes a new record. True when an edit is under way.
    bool BeginEdit();
    // Before the form leaves its record: every detail, then the source itself, saves or drops
    // its changes as the user answers, and an edit with nothing left to save gives its lock
    // back. False when the user chose to stay.
    bool LeaveRecord();
    TvornUserAccess EffectiveAccess() const { return effectiveAccess_; }
    bool Allows(TvornAccess right) const { return userAccess_.testFlag(right); }
    const QString& UserData() const { return userData_; }

    // --- record address ---
    const SourceAddress& Address() const;
    QString Iens() const;
    const QString& ParentIens() const;
    // The record number, then ParentIens, ending in ",".
    QString FullIens() const;
    // The record number alone (the first comma piece of Iens).
    QString RecordNumber() const;
    // FullIens without its trailing comma: the record address the server's record calls take.
    QString RecordAddress() const;
    // A detail whose records are a sub-file of the master's record, or point to it.
    bool IsHierarchicalDetail() const;

    // --- registry ---
    void RegisterControl(TvornBoundControl* control, const QString& field);
    // A control that goes away leaves every list of the source.
    void UnregisterControl(TvornBoundControl* control);
    void RegisterButton(TvornOperationButton* button);
    void RegisterButton(TvornExecButtonLink* button);
    void UnregisterButton(TvornOperationButton* button);
    void UnregisterButton(TvornExecButtonLink* button);
    void AddGrid(TvornGridLink* grid);
    void RemoveGrid(TvornGridLink* grid);
    void AddChangedControl(TvornBoundControl* control);
    void RemoveChangedControl(TvornBoundControl* control);
    QList<TvornBoundControl*> Controls() const;
    QList<TvornBoundControl*> ChangedControls() const;
    const QStringList& Fields() const { return fields_; }
    QList<TvornOperationButton*> Buttons() const;
    QList<TvornExecButtonLink*> ExecButtons() const;
    QList<TvornSource*> Details() const;

    // The bound control with the input focus; controls set it on enter and clear it on exit.
    TvornBoundControl* CurrentControl() const { return currentControl_; }
    void SetCurrentControl(TvornBoundControl* control) { currentControl_ = control; }

    // Enables the buttons and the controls from the state and the access.
    void RefreshButtons();
    void RefreshButton(TvornOperationButton* button);

    // --- server questions about fields ---
    // The help text ("H") or the description ("D") of a field.
    QString FieldHelp(const QString& field, const QString& kind);
    QString FieldDescription(const QString& field) { return FieldHelp(field, QStringLiteral("D")); }
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
    QString IndexValue() const;
    bool AtFirst() const;
    bool AtLast() const;
    QString GetFieldValue(const QString& field);
    QString GetFieldText(const QString& field);
    const QStringList& RecordLines() const;
    const QStringList& RecordKeys() const;

    // --- history ---
    void UpdateHistory();
    // Shows the record of entry `index`; an entry whose record is gone is taken off the
    // history, and the user is told so.
    void GoToHistory(int index);
    QString HistoryText(int index) const;
    const QList<TvornHistoryRecord>& History() const;

    // --- saving and validation ---
    bool ValidateField(const QString& field, const QString& value);
    // The server's check of one value, with the internal and external value it answered (as
    // the validation events left them): ValidateField with its whole answer.
    ValidatedValue Validate(const QString& field, const QString& value);
    bool SetFieldValue(const QString& field, const QString& value);
    bool Save();
    bool SaveAs();
    bool CheckSaveChanges();
    bool HasChanges() const;
    void AddExtraFilerLine(const ExtraFilerLine& line);

    // --- locking and deletion ---
    bool LockRecord();
    void UnlockRecord();
    bool Locked() const;
    int LockMinutesLeft() const;
    ui::Timer& LockTimer();
    bool Delete();
    void Refresh();
    // Records whose deletion the server confirmed since the source was made.
    int DeletedCount() const;

    // --- outcomes ---
    // What the last operation (saving, deleting, locking, a field's check, leaving a record)
    // came to: done, refused with the server's lines, cancelled, or failed with an error. An
    // operation that another one runs inside it adds to the outer one's outcome.
    const SourceOutcome& LastOutcome() const { return outcome_; }

    // --- master and details ---
    const QString& LinkScreen() const;
    bool LinkPending() const;

    // --- flags ---
    bool Filling() const;
    bool Saving() const;
    bool Deleting() const;
    bool Validating() const;

    // The broker, or ENoBrokerLink naming this source.
    TRPCBroker& RequireBroker() const;
    // The component's name for messages (the object name).
    QString Name() const { return objectName(); }

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
    // The concerns (source/internal/) work the source through the public face and these.
    friend class MasterLink;
    friend class SourceDeleter;
    friend class SourceHistory;
    friend class SourceLocker;
    friend class SourceNavigator;
    friend class SourceSaver;

    // --- the concerns' side ---
    // The details leave their records first: their records belong to this source's record.
    bool LeaveDetailRecords();
    // The master has no record: the detail shows nothing, offers nothing and waits.
    void LoseMaster();
    bool IsLogicalDetail() const;
    // Adds `field` to the fields the form reads, once.
    void EnsureField(const QString& field);
    QList<TvornGridLink*> Grids() const;
    void RefreshControls();
    // Disables the buttons of `operation`, or enables them as far as the state allows.
    void SetButtonEnabled(TvornBtnOperation operation, bool on);
    bool HasNavigationButtons() const;
    // Takes the record at `iens` off the history: it was deleted.
    void ForgetInHistory(const QString& iens);
    // The focused control finishes its edit; false when the server refused its value.
    bool CommitActiveControl();
    const QList<MissingField>& MissingFields() const;
    // Forgets the changed controls and the extra filer lines.
    void ForgetChanges();
    bool RecordUnchanged();
    bool SetupMasterLink();
    void PutMasterLink();
    QString MasterFieldText(const QString& field);

    // The concerns say what the operation under way came to.
    // The server (or the source itself) said no; `lines` are its reasons.
    void NoteRefusal(const QStringList& lines = {});
    // A call that may change the server goes out (true) or got its answer (false): a link that
    // fails in between leaves it unknown whether the server did it.
    void NoteCallOut(bool out) { outcome_.unanswered = out; }
    // Runs `body` as `operation`: its outcome starts afresh (unless another operation of this
    // source runs it), is done when `body` returns true, and is sent when it ends.
    template <typename F>
    bool Run(SourceOperation operation, F&& body);

    template <typename T>
    struct Registered {
        QPointer<QObject> object;  // cleared when the component goes
        T* item;
    };
    template <typename T>
    static QList<T*> Live(const QList<Registered<T>>& list);

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
    TvornDelPointerDisplay* delPointerDisplay_;
    TvornSourceState state_ = ssInactive;
    QString userData_;
    SourceOutcome outcome_;
    SourceOperation running_ = SourceOperation::None;
    SourcePresenter* presenter_ = nullptr;

    QList<Registered<TvornBoundControl>> controls_;
    QStringList fields_;
    QList<Registered<TvornOperationButton>> buttons_;
    QList<Registered<TvornExecButtonLink>> execButtons_;
    QList<Registered<TvornGridLink>> grids_;
    QList<QPointer<TvornSource>> details_;
    TvornBoundControl* currentControl_ = nullptr;

    std::unique_ptr<SourceNavigator> navigator_;
    std::unique_ptr<SourceLocker> locker_;
    std::unique_ptr<SourceHistory> history_;
    std::unique_ptr<SourceSaver> saver_;
    std::unique_ptr<SourceDeleter> deleter_;
    std::unique_ptr<MasterLink> masterLink_;
};

}  // namespace vorn

#pragma GCC visibility pop
