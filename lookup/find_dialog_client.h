// What the find dialog works with of the dialog edit that opened it: the finder in use, the
// mode and the column lists, the sort settings, the members it writes the outcome into, the
// events it raises, and the two operations the dialog asks of its edit while it is open
// (fetching a batch, and taking the focus back). The dialog edit lives among the controls,
// which build on the lookup components, so the dialog knows it only through this class.
#pragma once

#include <QPoint>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "lookup/vorn_finder.h"
#include "source/vorn_types.h"

class QWidget;

namespace vorn {

class TvornSource;

class FindDialogClient {
  public:
    virtual ~FindDialogClient() = default;

    // --- published settings the dialog reads ---
    // Columns of a find and of a pointer lookup: "field,caption,width" per entry.
    QStringList FieldsForFind;
    QStringList FieldsForPointer;
    // The field the list is sorted by (empty: not sorted), its direction, and which click on a
    // column heading sorts by that column.
    QString SortField;
    TvornGridOrder SortOrder = soAscending;
    TvornSortClick SortClick = scNone;
    bool FindOnly = false;
    bool FMHelpUsed = true;
    int InsertKeyLength = 0;

    // --- events the dialog raises (Sender is the edit, except OnZoom's, the dialog) ---
    TNotifyEvent AfterExecute;
    TNotifyEvent AfterCancel;
    TNotifyEvent OnInsert;
    TNotifyEvent OnZoom;

    // --- members the dialog writes ---
    // The lookup is a pointer lookup (else a find).
    bool PointerMode = false;
    // The finder of the current lookup.
    QPointer<TvornFinder> CurrentFinder;
    QString ChosenIen;
    QString ChosenLine;
    QString ExternalValue;
    // The text the source last filled in.
    QString FilledText;
    QString InsertText;
    bool TextModified = false;
    bool ValueModified = false;
    bool Chosen = false;
    bool DialogActive = false;
    // Set by the handlers that end the dialog; a dialog closed by its close box leaves it clear.
    bool Selected = false;
    // How the dialog ended: 4 zoom, 101 insert, 2 cancel.
    int DialogResult = 0;
    // Where the mouse was last pressed on the dialog's grid.
    QPoint MousePosition;

    // --- what only the edit knows ---
    virtual QWidget* EditWidget() = 0;
    virtual TvornSource* Source() const = 0;
    virtual QString FMField() const = 0;
    virtual QString FMDisplayName() const = 0;
    virtual QString InternalValue() const = 0;
    virtual void SetInternalValue(const QString& value) = 0;
    // The text of the edit; setting it runs the edit's change handling.
    virtual QString Text() const = 0;
    virtual void SetText(const QString& text) = 0;
    // The source's BeginEdit, then the edit among the source's changed controls.
    virtual void MarkChanged() = 0;
    // The edit takes the focus when it is showing and can take it.
    virtual void TakeFocus() = 0;
    // Fetches the finder's first batch (or the next one) and tells the user when the search
    // matched too many entries.
    virtual void FetchPage(bool more) = 0;
    // A find is about to show another record or start a new one: the record being edited is
    // left first (false when the user kept it).
    virtual bool LeaveEditedRecord() = 0;

    // The column list of the current mode.
    const QStringList& ModeFields() const { return PointerMode ? FieldsForPointer : FieldsForFind; }
};

}  // namespace vorn
