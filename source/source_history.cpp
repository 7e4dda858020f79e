#include "source/internal/source_history.h"

#include "source/internal/source_core.h"
#include "source/internal/source_messages.h"
#include "source/internal/source_navigator.h"

namespace vorn {

void SourceHistory::Reset() {
    entries_.clear();
    for (int i = 0; i <= s_.Settings().HistorySize; ++i)
        entries_.append(TvornHistoryRecord{});
}

void SourceHistory::Update() {
    if (s_.Settings().HistorySize > 0) Update(navigator_.IdentifierText());
}

void SourceHistory::Update(const QString& identifiers) {
    if (s_.Settings().HistorySize <= 0) return;
    const QString address = navigator_.Address().FullIens();
    int found = -1;
    for (int i = 0; i < s_.Settings().HistorySize && i < entries_.size(); ++i) {
        if (entries_[i].Iens == address) {
            found = i;
            break;
        }
    }
    if (found >= 0) {
        TvornHistoryRecord entry = entries_.takeAt(found);
        entry.Text = identifiers;
        entries_.prepend(entry);
    } else {
        entries_.prepend(TvornHistoryRecord{address, identifiers});
    }
    while (entries_.size() > s_.Settings().HistorySize + 1)
        entries_.removeLast();
    s_.Hooks().After(SourceMoment::UpdateHistory);
}

void SourceHistory::GoTo(int index) {
    if (index < 0 || index >= entries_.size()) return;
    const TvornHistoryRecord entry = entries_[index];
    if (entry.Iens.isEmpty()) return;
    // The record being edited is left first, so that a user who chooses to stay is not taken
    // for a record that is gone.
    if (s_.Active() && !s_.Operations().LeaveRecord()) return;
    const QString previous =
        navigator_.Address().IsStored() ? navigator_.Address().FullIens() : QString();
    if (navigator_.GetAndFill(entry.Iens)) {
        Update();
        return;
    }
    if (!s_.Active() || navigator_.Address().HasRecord()) return;
    Forget(entry.Iens);
    // The user asked for another record, not for an empty form: the one shown before stays.
    if (!previous.isEmpty() && previous != entry.Iens) navigator_.GetAndFill(previous);
    if (s_.Settings().ShowMessages)
        s_.Presenter().Warning(
            s_.Settings().FileName + QStringLiteral(": ") + entry.Text +
            QStringLiteral(" is no longer on file; it is taken off the history."));
}

void SourceHistory::Forget(const QString& iens) {
    if (iens.isEmpty()) return;
    const qsizetype before = entries_.size();
    entries_.removeIf([&iens](const TvornHistoryRecord& e) { return e.Iens == iens; });
    if (entries_.size() == before) return;
    while (entries_.size() < before)
        entries_.append(TvornHistoryRecord{});
    s_.Hooks().After(SourceMoment::UpdateHistory);
}

QString SourceHistory::Text(int index) const {
    if (index < 0 || index >= entries_.size() || entries_[index].Iens.isEmpty()) return {};
    return entries_[index].Text;
}

}  // namespace vorn
