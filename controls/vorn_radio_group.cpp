#include "controls/vorn_radio_group.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QRadioButton>

#include "controls/internal/item_choice.h"
#include "toolkit/event_guard.h"

namespace vorn {

TvornRadioGroup::TvornRadioGroup(const QString& caption, const QStringList& items, int columns,
                                 QWidget* parent)
    : ui::RadioGroup(caption, items, columns, parent),
      BoundControlBase(static_cast<QWidget&>(*this)) {
    ButtonsMade();
    connect(this, &ui::RadioGroup::ItemIndexChanged, this,
            ui::GuardedSlot(this, [this] { Click(); }));
}

TvornRadioGroup::TvornRadioGroup(QWidget* parent) : TvornRadioGroup(QString(), {}, 1, parent) {}

void TvornRadioGroup::ButtonsMade() {
    // The buttons' keys and focus belong to the group.
    for (int i = 0; i < Count(); ++i)
        Button(i)->installEventFilter(this);
}

QStringList TvornRadioGroup::ItemTexts() const {
    QStringList texts;
    for (int i = 0; i < Count(); ++i)
        texts.append(Button(i)->text());
    return texts;
}

void TvornRadioGroup::ShowQuietly(int index) {
    QuietScope quiet(*this);
    SetItemIndex(index);
}

void TvornRadioGroup::FillFromRecord(const QString& internal, const QString& external) {
    internalValue_ = internal;
    filledInternalValue_ = internal;
    externalValue_ = external;
    modified_ = false;
    ShowQuietly(ChooseItem(values_, ItemTexts(), internal, external));
    filledItemIndex_ = ItemIndex();
}

void TvornRadioGroup::ClearValue() {
    FillFromRecord({}, {});
}

QString TvornRadioGroup::ShownText() const {
    const int index = ItemIndex();
    return index >= 0 ? Button(index)->text() : QString();
}

void TvornRadioGroup::Click() {
    if (Bound() && !Filling() && !Quiet()) {
        modified_ = ItemIndex() != filledItemIndex_;
        if (!LinkFieldGuard()) {
            if (modified_)
                MarkChanged();
            else
                MarkUnchanged();
        }
    }
    if (OnClick) OnClick(this);
}

bool TvornRadioGroup::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::FocusIn:
            FocusedIn([this] { modified_ = false; });
            break;
        case QEvent::FocusOut:
            FocusedOut([this] { Exit(); });
            break;
        case QEvent::KeyPress:
            if (GuardedKeyDown(*static_cast<QKeyEvent*>(event))) return true;
            break;
        default:
            break;
    }
    return ui::RadioGroup::eventFilter(watched, event);
}

bool TvornRadioGroup::SettleValue() {
    // Judged against the filled item, not by what happened since the focus came: a choice
    // made on an earlier visit is still the user's.
    const int index = ItemIndex();
    modified_ = index != filledItemIndex_;
    if (modified_ && index >= 0)
        internalValue_ = values_.size() > index ? values_[index] : PositionCode(index);
    else if (!modified_)
        internalValue_ = filledInternalValue_;
    return true;
}

void TvornRadioGroup::Exit() {
    if (Bound()) {
        if (ClearButtonFocused()) {
            LeaveIfUnfocused();
            return;
        }
        SettleValue();
        if (modified_ && ItemIndex() >= 0)
            AddChanged();
        else
            MarkUnchanged();
    }
    FireExit();
    if (Bound()) LeaveIfUnfocused();
}

}  // namespace vorn
