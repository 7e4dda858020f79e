// The pick list of a dialog edit as plain functions: its column entries, which "^" piece of a
// record line each column shows, fetching a batch with the too-many-matches messages, and the
// sort of the finder's lines by one column.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "source/vorn_types.h"

#pragma GCC visibility push(default)
namespace vorn {

class TvornFinder;
class TRPCBroker;

namespace picklist {

// One column entry: "field,caption,width".
struct Column {
    QString field;
    QString caption;
    int width = 0;
};
QList<Column> Columns(const QStringList& entries);
// The field numbers of the entries, in order.
QStringList FieldNumbers(const QStringList& entries);

// The "^" piece of a record line that column `column` (from 0) of `fields` shows. A finder's
// record line holds the record number, then one piece per requested field, ".001" included;
// so every column reads piece column + 2, except that ".001" reads the record number itself.
int ValuePiece(const QStringList& fields, int column);
QString CellText(const QString& recordLine, const QStringList& fields, int column);
// The piece that holds the display value of a chosen line: that of the ".01" column of
// `entries`, or piece 2 when there is none.
int DisplayPiece(const QStringList& entries);

// The finder's first batch (or the next one). When the search had a text and more entries
// exist, the user is told so: with Number "*" messages 1021 and 1022; otherwise message 1023
// with the Number, a line break and message 1022, and the rest of the list is given up.
void FetchPage(TvornFinder& finder, bool more);

// `lines` sorted by the "^" piece of field `field` at `position` among a finder's fields, as
// numbers, dates or text by `fieldType` (the field's attribute); a date's internal value is
// asked of the server once per distinct date.
QStringList SortedLines(const QStringList& lines, int position, const QString& fieldType,
                        bool descending, const QString& file, const QString& field,
                        TRPCBroker* broker);

// Sorts the finder's lines by field `sortField` (nothing when it is not among the finder's
// fields or fewer than two lines exist): numbers, dates or text by the field's type.
void SortRecords(TvornFinder& finder, const QString& sortField, TvornGridOrder order);

}  // namespace picklist
}  // namespace vorn

#pragma GCC visibility pop
