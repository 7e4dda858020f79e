// The row store of a bound grid, one record line per row ("number^value^value..."), and the
// moves a data source makes through it when a grid stands in for its lister.
#pragma once

#include <QString>
#include <QStringList>

#include "source/bound_control.h"

namespace vorn::gridrows {

// The record number of a row line: its first "^" piece.
QString RecordOf(const QString& line);

// The index (from 0) of the line of `record`, or -1; an empty record is never found.
qsizetype IndexOf(const QStringList& lines, const QString& record);

// The record to move to from `record`: first and last give the first and the last line's,
// prior and next the one before or after it. Empty when there is none, or when `record` is
// not listed.
QString Neighbour(const QStringList& lines, TvornGridLink::Direction direction,
                  const QString& record);

}  // namespace vorn::gridrows
