#include "source/internal/pending_edit.h"

#include <QWidget>

namespace vorn {

bool PendingEdit::Add(TvornBoundControl* control) {
    if (Contains(control)) return false;
    changed_.append({control->Widget(), control});
    return true;
}

bool PendingEdit::Remove(TvornBoundControl* control) {
    const qsizetype removed =
        changed_.removeIf([control](const Entry& c) { return c.control == control; });
    return removed > 0 && Changed().isEmpty();
}

bool PendingEdit::Contains(const TvornBoundControl* control) const {
    for (const Entry& c : changed_)
        if (c.control == control && c.object) return true;
    return false;
}

void PendingEdit::Forget() {
    changed_.clear();
    extra_.clear();
    copy_ = false;
}

}  // namespace vorn
