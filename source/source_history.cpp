#include "source/source_history.h"

#include "source/source_navigator.h"
#include "source/vorn_source.h"

namespace vorn {

void SourceHistory::Reset() {
    entries_.clear();
    for (int i = 0; i <= s_.HistorySize; ++i)
        entries_.append(TvornHistoryRecord{});
}

void SourceHistory::Update() {
    if (s_.HistorySize > 0) Update(navigator_.IdentifierText());
}

void SourceHistory::Update(const QString& identifiers) {
    if (s_.HistorySize <= 0) return;
    const QString address = s_.FullIens();
    int found = -1;
    for (int i = 0; i < s_.HistorySize && i < entries_.size(); ++i) {
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
    while (entries_.size() > s_.HistorySize + 1)
        entries_.removeLast();
    if (s_.AfterUpdateHistory) s_.AfterUpdateHistory(&s_);
}

void SourceHistory::GoTo(int index) {
    if (index < 0 || index >= entries_.size()) return;
    const QString address = entries_[index].Iens;
    // GetAndFill leaves the record being edited as the user answers.
    if (!address.isEmpty() && s_.GetAndFill(address)) Update();
}

QString SourceHistory::Text(int index) const {
    if (index < 0 || index >= entries_.size() || entries_[index].Iens.isEmpty()) return {};
    return entries_[index].Text;
}

}  // namespace vorn
