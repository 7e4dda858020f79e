// What one part of a data source's engine asks another to do. The source runs each, the
// record operations with their outcomes, so that the part that asks never does another part's
// work itself.
#pragma once

#include <QString>

#include "source/bound_control.h"
#include "source/source_outcome.h"

namespace vorn {

class SourceOperations {
  public:
    // The user starts changing a value: true when an edit is under way.
    virtual bool BeginEdit() = 0;
    // The details' records first, then this source's changes saved or dropped as the user
    // answers; false when the record stays.
    virtual bool LeaveRecord() = 0;
    virtual bool Save() = 0;
    virtual bool CheckSaveChanges() = 0;
    virtual void UnlockRecord() = 0;
    // The server's check of one value with its whole answer.
    virtual ValidatedValue Validate(const QString& field, const QString& value) = 0;
    // The master has no record: the detail shows nothing, offers nothing and waits.
    virtual void LoseMaster() = 0;
    // The details leave their records first: their records belong to this source's record.
    virtual bool LeaveDetailRecords() = 0;
    // A control that goes away leaves the registry and the edit.
    virtual void UnregisterControl(TvornBoundControl* control) = 0;

  protected:
    ~SourceOperations() = default;
};

}  // namespace vorn
