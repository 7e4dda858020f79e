#include "controls/vorn_list_box.h"

#include <QFocusEvent>
#include <QKeyEvent>

#include "broker/pieces.h"
#include "source/internal/source_core.h"
#include "toolkit/event_guard.h"

namespace vorn {

TvornListBox::TvornListBox(QWidget* parent)
    : QListWidget(parent), BoundControlBase(static_cast<QWidget&>(*this)) {
    connect(this, &QListWidget::currentRowChanged, this,
            ui::GuardedSlot(this, [this] { Click(); }));
}

void TvornListBox::Loaded() {
    if (Bound() && fieldNumber_.isEmpty()) fieldNumber_.append(QStringLiteral(".01,nimi,150"));
    BoundControlBase::Loaded();
}

void TvornListBox::FillFromRecord(const QString& internal, const QString& external) {
    internalValue_ = internal;
    filledInternalValue_ = internal;
    modified_ = false;
    int row = -1;
    if (!external.isEmpty())
        for (int i = 0; i < count() && row < 0; ++i)
            if (item(i)->text() == external) row = i;
    {
        QuietScope quiet(*this);
        setCurrentRow(row);
    }
    filledItemIndex_ = row;
}

void TvornListBox::ClearValue() {
    FillFromRecord({}, {});
}

QString TvornListBox::ShownText() const {
    const QListWidgetItem* chosen = currentItem();
    return chosen ? chosen->text() : QString();
}

void TvornListBox::Click() {
    if (Bound() && !Filling() && !Quiet()) {
        modified_ = currentRow() != filledItemIndex_;
        if (!LinkFieldGuard()) {
            if (modified_)
                MarkChanged();
            else
                MarkUnchanged();
        }
    }
    if (OnClick) OnClick(this);
}

void TvornListBox::focusInEvent(QFocusEvent* event) {
    const int before = currentRow();
    {
        // The view makes a row current when it gets the focus without one; that is no choice
        // of the user's, and must not start an edit.
        QuietScope quiet(*this);
        QListWidget::focusInEvent(event);
        if (currentRow() != before) setCurrentRow(before);
    }
    FocusedIn([this] { modified_ = false; });
}

void TvornListBox::focusOutEvent(QFocusEvent* event) {
    QListWidget::focusOutEvent(event);
    FocusedOut([this] { Exit(); });
}

bool TvornListBox::SettleValue() {
    const int row = currentRow();
    if (row == filledItemIndex_) {
        internalValue_ = filledInternalValue_;
    } else if (finder_) {
        if (row >= 0 && finder_->Records.size() > row)
            internalValue_ = Piece(finder_->Records[row], QStringLiteral("^"), 1);
    } else if (Bound() && row >= 0) {
        return TakeValidated(row);
    }
    return true;
}

bool TvornListBox::TakeValidated(int row) {
    // An item the server refuses has no internal value: the empty answer is not one, and the
    // value stays what it was until the user picks an item the server takes.
    const QString text = item(row)->text();
    const ValidatedValue answer =
        SourceCore::Of(*vornSource()).Operations().Validate(FMField(), text);
    if (!answer.valid) {
        ReportRejectedValue(text);
        return false;
    }
    internalValue_ = answer.internal;
    return true;
}

void TvornListBox::Exit() {
    const int row = currentRow();
    if (finder_) {
        if (row >= 0 && finder_->Records.size() > row)
            internalValue_ = Piece(finder_->Records[row], QStringLiteral("^"), 1);
        if (Bound()) {
            LeaveIfUnfocused();
            if (modified_) AddChanged();
        }
        FireExit();
        return;
    }
    if (Bound()) LeaveIfUnfocused();
    if (Bound() && row >= 0) TakeValidated(row);
    FireExit();
}

void TvornListBox::keyPressEvent(QKeyEvent* event) {
    if (!GuardedKeyDown(*event)) QListWidget::keyPressEvent(event);
}

}  // namespace vorn
