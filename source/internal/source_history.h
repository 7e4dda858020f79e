// The records a source showed last: the history the File menu of a form offers. Entry 0 is
// the most recent; the list keeps HistorySize + 1 entries.
#pragma once

#include <QList>
#include <QString>

#include "source/vorn_types.h"

namespace vorn {

class SourceNavigator;
class SourceCore;

class SourceHistory {
  public:
    SourceHistory(SourceCore& source, SourceNavigator& navigator)
        : s_(source), navigator_(navigator) {}

    // Empties the history and fills it with HistorySize + 1 entries without a record.
    void Reset();
    // Puts the current record at the head of the history, with its identifier text.
    void Update();
    // The same with the identifier text the caller has just read.
    void Update(const QString& identifiers);
    // Shows the record of entry `index`. When it is no longer on file (another user deleted
    // it), the entry is dropped and the user told, rather than left with an empty form.
    void GoTo(int index);
    // Drops every entry of the record at `iens`, keeping the list's length.
    void Forget(const QString& iens);
    // The text of entry `index`; empty when it has no record.
    QString Text(int index) const;
    const QList<TvornHistoryRecord>& Entries() const { return entries_; }

  private:
    SourceCore& s_;
    SourceNavigator& navigator_;
    QList<TvornHistoryRecord> entries_;
};

}  // namespace vorn
