// The edit under way on a source: the controls the user changed since the last read (in the
// order of their first change), the values filed beside them, the wished record numbers, and
// the record the edit began on, which is the only record it may be filed into.
#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "source/bound_control.h"
#include "source/filer_request.h"
#include "source/source_address.h"

namespace vorn {

class PendingEdit {
  public:
    // The edit begins on the record at `address`.
    void Begin(const SourceAddress& address) { record_ = address; }
    // The record the edit began on; no record when none began.
    const SourceAddress& Record() const { return record_; }

    // Adds a control once; true when it was not there yet.
    bool Add(TvornBoundControl* control);
    // Takes a control out; true when this emptied the list of changed controls.
    bool Remove(TvornBoundControl* control);
    bool Contains(const TvornBoundControl* control) const;
    // Inline, as the other tiers read the edit through the saver's inline readers.
    QList<TvornBoundControl*> Changed() const {
        QList<TvornBoundControl*> live;
        for (const Entry& c : changed_)
            if (c.object) live.append(c.control);
        return live;
    }

    void AddExtra(const filer::ExtraLine& line) { extra_.append(line); }
    const QList<filer::ExtraLine>& Extra() const { return extra_; }
    // "placeholder^record number" lines sent as the filer's wished record numbers.
    const QStringList& Wished() const { return wished_; }
    void ForgetWished() { wished_.clear(); }

    bool HasChanges() const { return !Changed().isEmpty() || !extra_.isEmpty(); }
    // A stored record saved as a copy: the new record files every value shown, so a value set
    // back to the copied one is still the copy's, and no control leaves the edit until the
    // copy is filed or let go.
    void HoldAsCopy() { copy_ = true; }
    bool IsCopy() const { return copy_; }
    // Forgets the changed controls, the extra lines and that the edit is a copy.
    void Forget();
    // The edit is over: it is about no record any more.
    void End() { record_ = SourceAddress(); }

  private:
    struct Entry {
        QPointer<QObject> object;  // cleared when the control goes
        TvornBoundControl* control;
    };
    QList<Entry> changed_;
    QList<filer::ExtraLine> extra_;
    QStringList wished_;
    SourceAddress record_;
    bool copy_ = false;
};

}  // namespace vorn
