// The records a source showed last: the history the File menu of a form offers. Entry 0 is
// the most recent; the list keeps HistorySize + 1 entries.
#pragma once

#include <QList>
#include <QString>

#include "source/vorn_types.h"

namespace vorn {

class TvornSource;

class SourceHistory {
  public:
    explicit SourceHistory(TvornSource& source) : s_(source) {}

    // Empties the history and fills it with HistorySize + 1 entries without a record.
    void Reset();
    // Puts the current record at the head of the history.
    void Update();
    // Shows the record of entry `index`.
    void GoTo(int index);
    // The text of entry `index`; empty when it has no record.
    QString Text(int index) const;
    const QList<TvornHistoryRecord>& Entries() const { return entries_; }

  private:
    TvornSource& s_;
    QList<TvornHistoryRecord> entries_;
};

}  // namespace vorn
