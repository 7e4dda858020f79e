// The private core of a data source: what its concerns (navigator, saver, locker, deleter,
// history, master link) and the toolkit's own controls, grids and print commands use of a source
// beyond its public face. TvornSource implements it privately; nothing here is installed.
//
// The concerns know their source only through this interface; none of them names TvornSource.
// Each piece of record state has one owner (navigator, saver, locker, deleter, history), which
// the core hands out: others read it there, and only the owner's own functions change it.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "source/bound_control.h"
#include "source/internal/source_registry.h"
#include "source/source_outcome.h"
#include "source/source_settings.h"
#include "source/vorn_types.h"

// The owners the core hands out stay inside the library; their headers follow the core's.
namespace vorn {
class MasterLink;
class SourceDeleter;
class SourceHistory;
class SourceLocker;
class SourceNavigator;
class SourceSaver;
}  // namespace vorn

// Exported from its first declaration on: the owners' headers name the core too.
#pragma GCC visibility push(default)
namespace vorn {

class SourcePresenter;
class TRPCBroker;
class TvornDelPointerDisplay;
class TvornSource;

// The moments a source tells its form about: each has its Before* event (that may veto) and its
// After* event with the signal of the same moment.
enum class SourceMoment { Clear, Delete, GetAndFill, Save, SaveAs, UpdateHistory, Insert };

class SourceCore {
  public:
    // The core of `source`.
    static SourceCore& Of(TvornSource& source);
    static const SourceCore& Of(const TvornSource& source);

    // --- configuration and collaborators ---
    virtual SourceSettings& Settings() = 0;
    virtual const SourceSettings& Settings() const = 0;
    // The component's name for messages.
    virtual QString Name() const = 0;
    virtual TRPCBroker* RPCBroker() const = 0;
    // The broker, or ENoBrokerLink naming this source.
    virtual TRPCBroker& RequireBroker() const = 0;
    virtual SourcePresenter& Presenter() const = 0;
    virtual TvornDelPointerDisplay* DelPointerDisplay() const = 0;

    // --- state and access ---
    virtual bool Active() const = 0;
    virtual bool Allows(TvornAccess right) const = 0;
    virtual TvornUserAccess EffectiveAccess() const = 0;
    virtual const QString& UserData() const = 0;
    virtual TvornSourceState State() const = 0;
    // The one state change (see state_transitions.h): a change the table does not allow is
    // refused and leaves the state as it was.
    virtual void SetState(TvornSourceState newState) = 0;

    // --- the registry ---
    virtual SourceRegistry& Registry() = 0;
    virtual const SourceRegistry& Registry() const = 0;
    // A control that goes away leaves the registry and the edit.
    virtual void UnregisterControl(TvornBoundControl* control) = 0;
    // Enables the buttons from the state and the access.
    virtual void RefreshButtons() = 0;
    virtual void RefreshButton(TvornOperationButton* button) = 0;
    // Disables the buttons of `operation`, or enables them as far as the state allows.
    virtual void SetButtonEnabled(TvornBtnOperation operation, bool on) = 0;

    // --- the form's events ---
    // The Before* event of `moment`: false when the form vetoed.
    virtual bool Before(SourceMoment moment) = 0;
    // The After* event of `moment` (with `result` where it has one), then its signal.
    virtual void After(SourceMoment moment, bool result = true) = 0;
    virtual void BeforeValidate(bool& allow, QString& field, QString& value) = 0;
    virtual void AfterValidate(bool& result, const QString& field, QString& internal,
                               QString& external) = 0;

    // --- what the operation under way came to ---
    virtual const SourceOutcome& LastOutcome() const = 0;
    // The server (or the source itself) said no; `lines` are its reasons.
    virtual void NoteRefusal(const QStringList& lines = {}) = 0;
    // A call that may change the server goes out (true) or got its answer (false): a link that
    // fails in between leaves it unknown whether the server did it.
    virtual void NoteCallOut(bool out) = 0;

    // --- master and details ---
    virtual TvornSource* Master() const = 0;
    virtual SourceCore* MasterCore() const = 0;
    virtual QList<SourceCore*> DetailCores() const = 0;
    virtual bool IsHierarchicalDetail() const = 0;
    virtual bool IsLogicalDetail() const = 0;
    // What a detail derives from its master's record: the parent chain, the link screen.
    virtual MasterLink& Link() = 0;
    // The master has no record: the detail shows nothing, offers nothing and waits.
    virtual void LoseMaster() = 0;
    // The details leave their records first: their records belong to this source's record.
    virtual bool LeaveDetailRecords() = 0;

    // --- the operations one part of the engine asks of another, each with its outcome ---
    virtual bool BeginEdit() = 0;
    virtual bool LeaveRecord() = 0;
    virtual bool Save() = 0;
    virtual bool CheckSaveChanges() = 0;
    virtual void UnlockRecord() = 0;
    // The server's check of one value with its whole answer.
    virtual ValidatedValue Validate(const QString& field, const QString& value) = 0;

    // --- the owners of the record state, each the only writer of its own ---
    // Where the source stands and what it read last, the browse's ends, the filling.
    virtual const SourceNavigator& Navigator() const = 0;
    // The edit under way: the changed controls and the values filed beside them.
    virtual SourceSaver& Saver() = 0;
    virtual const SourceSaver& Saver() const = 0;
    // The record lock and its timer.
    virtual SourceLocker& Locker() = 0;
    virtual const SourceDeleter& Deleter() const = 0;
    // The records shown lately.
    virtual const SourceHistory& History() const = 0;

  protected:
    ~SourceCore() = default;
};

}  // namespace vorn

#pragma GCC visibility pop

// The owners, complete for the core's callers.
#include "source/internal/master_link.h"
#include "source/internal/source_deleter.h"
#include "source/internal/source_history.h"
#include "source/internal/source_locker.h"
#include "source/internal/source_navigator.h"
#include "source/internal/source_saver.h"
