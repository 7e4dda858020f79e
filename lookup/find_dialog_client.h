// What the find dialog reads of the dialog edit that opened it: the columns of the current
// lookup, the sorting and the finder. The dialog writes nothing into the edit: it tells the
// edit its outcome as one FindResult (the edit lives among the controls, which build on the
// lookup components, so the dialog knows it only through these two values).
#pragma once

#include <QMetaType>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "lookup/vorn_finder.h"
#include "source/vorn_types.h"

#pragma GCC visibility push(default)
namespace vorn {

struct FindDialogClient {
    // The columns of the current lookup: "field,caption,width" per entry.
    QStringList columns;
    // The field the list is sorted by (empty: not sorted), its direction, and which click on a
    // column heading sorts by that column.
    QString sortField;
    TvornGridOrder sortOrder = soAscending;
    TvornSortClick sortClick = scNone;
    // The finder of the current lookup.
    QPointer<TvornFinder> finder;
    // A search needs a typed text.
    bool findOnly = false;
    // A pointer lookup (else a find): Insert lists the entries again first.
    bool pointerMode = false;
};

// How the user ended (or, for Zoom, used) the dialog.
struct FindResult {
    enum class Action { Select, Insert, Zoom, Cancel };
    Action action = Action::Cancel;
    QString ien;   // the record number of the chosen line (Select, Zoom)
    QString line;  // the chosen line of the finder
    QString text;  // the search box's text (Insert)
    // The dialog was closed by its close box rather than its Cancel button.
    bool closedByBox = false;
};

}  // namespace vorn

Q_DECLARE_METATYPE(vorn::FindResult)

#pragma GCC visibility pop
