// The enumerations, sets and event types that the data source, its controls, its buttons and
// the lookup components share.
#pragma once

#include <QFlags>
#include <QObject>
#include <QString>
#include <functional>

#pragma GCC visibility push(default)
namespace vorn {
Q_NAMESPACE

// How a source hangs on its master.
enum class TvornSubFileType { None, Hierarchical, Logical };
Q_ENUM_NS(TvornSubFileType)

// Whether browsing starts from the external or the internal value of the index field.
enum TvornIndexType { itExternal, itInternal };
Q_ENUM_NS(TvornIndexType)

// What the user may do; numerically 1, 2, 4, 8, 16 (all = 31).
enum TvornAccess { uaRead = 1, uaBrowse = 2, uaWrite = 4, uaInsert = 8, uaDelete = 16 };
Q_DECLARE_FLAGS(TvornUserAccess, TvornAccess)
Q_FLAG_NS(TvornUserAccess)
inline constexpr TvornUserAccess kAllAccess = TvornUserAccess(31);

enum TvornConfirmMessage { ConfirmChange = 1, ConfirmDelete = 2, ConfirmInsert = 4 };
Q_DECLARE_FLAGS(TvornConfirmMessages, TvornConfirmMessage)
Q_FLAG_NS(TvornConfirmMessages)

enum TvornInformMessage { InformChange = 1, InformDelete = 2, InformInsert = 4 };
Q_DECLARE_FLAGS(TvornInformMessages, TvornInformMessage)
Q_FLAG_NS(TvornInformMessages)

// The record operations of the operation buttons, in their order (0 to 9).
enum TvornBtnOperation {
    DoFirst,
    DoPrior,
    DoNext,
    DoLast,
    DoSave,
    DoSaveAs,
    DoClear,
    DoInsert,
    DoCancel,
    DoDelete
};
Q_ENUM_NS(TvornBtnOperation)

// The record state of a source.
enum TvornSourceState { ssInactive, ssNew, ssEdit, ssBrowse, ssEmpty, ssNoMaster };
Q_ENUM_NS(TvornSourceState)

// Sorting of pick lists and grids.
enum TvornGridOrder { soAscending, soDescending };
Q_ENUM_NS(TvornGridOrder)
enum TvornSortClick { scNone, scLeft, scRight, scDouble };
Q_ENUM_NS(TvornSortClick)

// Where a dialog edit opens its pick list.
enum TvornPosition { poCentered, povornDialogEdit };
Q_ENUM_NS(TvornPosition)

// The buttons of a pick list. Scoped: the record operations use the same words.
enum class TvornDlgButton { DoSelect = 1, DoInsert = 2, DoCancel = 4, DoZoom = 8 };
Q_DECLARE_FLAGS(TvornDlgButtons, TvornDlgButton)
Q_FLAG_NS(TvornDlgButtons)

// How a finder walks an index.
enum TvornListerFlag { lfBackwards = 1, lfInternal = 2 };
Q_DECLARE_FLAGS(TvornListerFlags, TvornListerFlag)
Q_FLAG_NS(TvornListerFlags)

// Where a document goes (the device dialog's destinations); bit values 1 to 32.
enum TvornPrintDevice {
    pdScreen = 0x01,
    pdPrinter = 0x02,
    pdFile = 0x04,
    pdExcel = 0x08,
    pdServerPrinter = 0x10,
    pdWordProcessor = 0x20
};
Q_ENUM_NS(TvornPrintDevice)
Q_DECLARE_FLAGS(TvornPrintDevices, TvornPrintDevice)
Q_FLAG_NS(TvornPrintDevices)

// Event types. A "var" parameter of the toolset is a reference the handler may change.
using TNotifyEvent = std::function<void(QObject* Sender)>;
using TResultEvent = std::function<void(QObject* Sender, bool Result)>;
using TBeforeSaveEvent = std::function<void(QObject* Sender, bool& AllowSave)>;
using TBeforeSaveAsEvent = std::function<void(QObject* Sender, bool& AllowSaveAs)>;
using TBeforeDeleteEvent = std::function<void(QObject* Sender, bool& AllowDelete)>;
using TBeforeClearEvent = std::function<void(QObject* Sender, bool& AllowClear)>;
using TBeforeInsertEvent = std::function<void(QObject* Sender, bool& AllowInsert)>;
using TBeforeValidateEvent =
    std::function<void(QObject* Sender, bool& AllowValidate, QString& Field, QString& Value)>;
using TAfterValidateEvent = std::function<void(QObject* Sender, bool& Result, const QString& Field,
                                               QString& InternalValue, QString& ExternalValue)>;

// One entry of a source's history of visited records.
struct TvornHistoryRecord {
    QString Iens;  // the full record address; empty for a slot without a record
    QString Text;  // the record's identifier text
};

}  // namespace vorn

Q_DECLARE_OPERATORS_FOR_FLAGS(vorn::TvornUserAccess)
Q_DECLARE_OPERATORS_FOR_FLAGS(vorn::TvornConfirmMessages)
Q_DECLARE_OPERATORS_FOR_FLAGS(vorn::TvornInformMessages)
Q_DECLARE_OPERATORS_FOR_FLAGS(vorn::TvornDlgButtons)
Q_DECLARE_OPERATORS_FOR_FLAGS(vorn::TvornListerFlags)
Q_DECLARE_OPERATORS_FOR_FLAGS(vorn::TvornPrintDevices)

#pragma GCC visibility pop
