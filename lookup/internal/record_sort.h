// Sorting the record lines of a pick list or a grid by one of their "^" pieces: as numbers, as
// dates (by their internal form) or as text, without regard to letter case.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace vorn::recordsort {

enum class Order { Text, Number, Date };

// The order of a field from its dictionary type: "N" numbers, "D" dates, anything else text.
Order OrderOfType(const QString& fieldType);

// Gives the internal form of a date as the server reads it.
using DateReader = std::function<QString(const QString& external)>;

// `lines` sorted by "^" piece `piece` (from 1). Numbers sort by their value written right
// aligned; dates by the internal form `readDate` gives, asked once per distinct date (a pick
// list of 300 rows with 20 dates asks 20 times, not 300); text as it stands. Keys compare
// without regard to letter case, in the locale's order; `descending` reverses the result.
QStringList Sort(const QStringList& lines, int piece, Order order, bool descending,
                 const DateReader& readDate);

}  // namespace vorn::recordsort
