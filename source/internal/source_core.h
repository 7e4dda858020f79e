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

#include "source/internal/source_buttons.h"
#include "source/internal/source_hooks.h"
#include "source/internal/source_operations.h"
#include "source/internal/source_registry.h"
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
class TvornSource;

// What the server granted the signed-on user on a source's file, read when the source opened,
// and what the form may do now.
struct SourceGrant {
    TvornUserAccess access = kAllAccess;
    QString userData;  // the server's text about the user
    // What the form may do: its own UserAccess narrowed by the server's grant.
    TvornUserAccess allowed = kAllAccess;
};

// The owners of the record state, each the only writer of its own: others read it here and
// change it only through the owner's own functions.
struct SourceOwners {
    // Where the source stands and what it read last, the browse's ends, the filling.
    const SourceNavigator& navigator;
    // The edit under way: the changed controls and the values filed beside them.
    SourceSaver& saver;
    // The record lock and its timer.
    SourceLocker& locker;
    const SourceDeleter& deleter;
    // The records shown lately.
    const SourceHistory& history;
};

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
    virtual SourcePresenter& Presenter() const = 0;

    // --- state and access ---
    virtual bool Active() const = 0;
    // What the server granted the signed-on user on this file, and what the form may do.
    virtual SourceGrant Grant() const = 0;
    virtual TvornSourceState State() const = 0;
    // The one state change (see state_transitions.h): a change the table does not allow is
    // refused and leaves the state as it was.
    virtual void SetState(TvornSourceState newState) = 0;

    // --- the registry ---
    virtual SourceRegistry& Registry() = 0;
    virtual const SourceRegistry& Registry() const = 0;
    // The enabling of the registered buttons from the state, the access and the browse's ends.
    virtual SourceButtons& Buttons() = 0;

    // --- the form's events, and what the operation under way came to ---
    virtual SourceHooks& Hooks() = 0;

    // --- master and details ---
    virtual TvornSource* Master() const = 0;
    virtual QList<SourceCore*> DetailCores() const = 0;
    // How this source hangs on its master, and what a detail derives from its master's record:
    // the parent chain, the link screen.
    virtual MasterLink& Link() = 0;

    // --- what one part of the engine asks another to do ---
    virtual SourceOperations& Operations() = 0;

    // --- the owners of the record state ---
    virtual SourceOwners Owners() = 0;

  protected:
    ~SourceCore() = default;
};

// The core's broker, or ENoBrokerLink naming its source.
TRPCBroker& RequireBroker(const SourceCore& core);

// Whether the form may do `right` on its source now.
inline bool Allows(const SourceCore& core, TvornAccess right) {
    return core.Grant().allowed.testFlag(right);
}

}  // namespace vorn

#pragma GCC visibility pop

// The owners, complete for the core's callers.
#include "source/internal/master_link.h"
#include "source/internal/source_deleter.h"
#include "source/internal/source_history.h"
#include "source/internal/source_locker.h"
#include "source/internal/source_navigator.h"
#include "source/internal/source_saver.h"

// Inline, so that the controls' tier and its tests can ask them of a link they reach through
// the core without the link's symbols being exported.
inline bool vorn::MasterLink::Hierarchical() const {
    return s_.Master() && s_.Settings().TypeIfSubFile == TvornSubFileType::Hierarchical;
}

inline bool vorn::MasterLink::Logical() const {
    return s_.Master() && s_.Settings().TypeIfSubFile == TvornSubFileType::Logical;
}

inline vorn::SourceCore* vorn::MasterLink::MasterCore() const {
    TvornSource* master = s_.Master();
    return master ? &SourceCore::Of(*master) : nullptr;
}
