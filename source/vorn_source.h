// The data source: one server file on a form. It owns every bit of record state of that file
// (which record is shown, whether it changed, whether it is locked, which fields the form
// uses, what the server last returned), and every bound control, operation button and grid of
// the file registers with it. The work is split by concern: reading and moving
// (SourceNavigator), saving and validating (SourceSaver), locking and deleting (SourceLocker,
// SourceDeleter), the history (SourceHistory) and the link to a master (MasterLink); this
// class holds the state, the activation and the registry.
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
#include "source/vorn_types.h"
#include "toolkit/component_loading.h"

namespace vorn {

class MasterLink;
class SourceDeleter;
class SourceHistory;
class SourceLocker;
class SourceNavigator;
class SourceSaver;
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

// A required field found empty at the last save.
struct MissingField {
    TvornBoundControl* control;
    QString displayName;
};

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
    bool IsLoaded() const { return loaded_; }

    // --- activation and state ---
    void Open();
    void Close();
    TvornSourceState State() const { return state_; }
    void SetState(TvornSourceState newState);
    void BeginEdit();
    TvornUserAccess EffectiveAccess() const { return effectiveAccess_; }
    bool Allows(TvornAccess right) const { return userAccess_.testFlag(right); }
    const QString& UserData() const { return userData_; }

    // --- record address ---
    const QString& Iens() const { return iens_; }
    void SetIens(const QString& iens) { iens_ = iens; }
    const QString& ParentIens() const { return parentIens_; }
    // The record number, then ParentIens, ending in ",".
    QString FullIens() const;
    // The record number alone (the first comma piece of Iens).
    QString RecordNumber() const;
    // FullIens without its trailing comma: the record address the server's record calls take.
    QString RecordAddress() const;
    // A detail whose records are a sub-file of the master's record, or point to it.
    bool IsHierarchicalDetail() const;
    bool IsLogicalDetail() const;

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
    QList<TvornGridLink*> Grids() const;
    QList<TvornSource*> Details() const;

    // The bound control with the input focus; controls set it on enter and clear it on exit.
    TvornBoundControl* CurrentControl() const { return currentControl_; }
    void SetCurrentControl(TvornBoundControl* control) { currentControl_ = control; }

    // Enables the buttons and the controls from the state and the access.
    void RefreshButtons();
    void RefreshButton(TvornOperationButton* button);
    void RefreshControls();

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
    QString IndexValue() const { return indexValue_; }
    bool AtFirst() const { return atFirst_; }
    bool AtLast() const { return atLast_; }
    QString GetFieldValue(const QString& field);
    QString GetFieldText(const QString& field);
    const QStringList& RecordLines() const { return recordLines_; }
    const QStringList& RecordKeys() const { return recordKeys_; }
    const QStringList& RecordErrors() const { return recordErrors_; }

    // --- history ---
    void UpdateHistory();
    void GoToHistory(int index);
    QString HistoryText(int index) const;
    const QList<TvornHistoryRecord>& History() const;

    // --- saving and validation ---
    bool ValidateField(const QString& field, const QString& value);
    // The internal and external value of the last validation.
    const QStringList& ValidationAnswer() const { return validationAnswer_; }
    bool SetFieldValue(const QString& field, const QString& value);
    bool Save();
    bool SaveAs();
    bool CheckSaveChanges();
    void CommitActiveControl();
    bool HasChanges() const;
    QList<ExtraFilerLine>& ExtraFilerLines() { return extraFilerLines_; }
    // "placeholder^record number" lines sent as the filer's wished record numbers.
    QStringList& WishedNumbers() { return wishedNumbers_; }
    const QList<MissingField>& MissingFields() const { return missingFields_; }
    // Forgets the changed controls and the extra filer lines.
    void ForgetChanges();

    // --- locking and deletion ---
    bool LockRecord();
    void UnlockRecord();
    bool Locked() const { return locked_; }
    int LockMinutesLeft() const;
    ui::Timer& LockTimer();
    bool RecordUnchanged();
    bool PointerCheck();
    QString DeleteRecord();
    bool Delete();
    void Refresh();

    // --- master and details ---
    bool SetupMasterLink();
    void PutMasterLink();
    QString MasterFieldText(const QString& field);
    const QString& LinkScreen() const;
    bool LinkPending() const;

    // --- flags ---
    bool Filling() const { return filling_; }
    bool Saving() const { return saving_; }
    bool Deleting() const { return deleting_; }
    bool Validating() const { return validating_; }
    bool FirstActivation() const { return firstActivation_; }

    // The broker, or ENoBrokerLink naming this source.
    TRPCBroker& RequireBroker() const;
    // The component's name for messages (the object name).
    QString Name() const { return objectName(); }

  private:
    friend class MasterLink;
    friend class SourceDeleter;
    friend class SourceHistory;
    friend class SourceLocker;
    friend class SourceNavigator;
    friend class SourceSaver;

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
    // Empties every control and forgets the last read.
    void EmptyControls();
    void DisableControlsAndButtons();
    bool HasNavigationButtons() const;
    void SetButtonEnabled(TvornBtnOperation operation, bool on);

    bool active_ = false;
    bool loaded_ = false;
    QPointer<TvornSource> master_;
    QPointer<TRPCBroker> broker_;
    TvornUserAccess userAccess_ = kAllAccess;
    TvornUserAccess effectiveAccess_ = kAllAccess;
    TvornDelPointerDisplay* delPointerDisplay_;

    TvornSourceState state_ = ssInactive;
    QString iens_ = QStringLiteral(",");
    QString parentIens_;
    QString userData_;
    QString indexValue_;

    QList<Registered<TvornBoundControl>> controls_;
    QStringList fields_;
    QList<Registered<TvornBoundControl>> changed_;
    QList<Registered<TvornOperationButton>> buttons_;
    QList<Registered<TvornExecButtonLink>> execButtons_;
    QList<Registered<TvornGridLink>> grids_;
    QList<QPointer<TvornSource>> details_;
    TvornBoundControl* currentControl_ = nullptr;

    QStringList recordLines_;
    QStringList recordKeys_;
    QStringList recordErrors_;
    QStringList validationAnswer_;
    QList<ExtraFilerLine> extraFilerLines_;
    QStringList wishedNumbers_;
    QList<MissingField> missingFields_;

    bool filling_ = false;
    bool firstActivation_ = false;
    bool saving_ = false;
    bool deleting_ = false;
    bool validating_ = false;
    bool atFirst_ = false;
    bool atLast_ = false;
    bool locked_ = false;

    std::unique_ptr<SourceNavigator> navigator_;
    std::unique_ptr<SourceHistory> history_;
    std::unique_ptr<SourceSaver> saver_;
    std::unique_ptr<SourceLocker> locker_;
    std::unique_ptr<SourceDeleter> deleter_;
    std::unique_ptr<MasterLink> masterLink_;
};

}  // namespace vorn
