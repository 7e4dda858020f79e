#include "controls/vorn_radio_button.h"

#include <QFocusEvent>
#include <QKeyEvent>

#include "toolkit/event_guard.h"

namespace vorn {

TvornRadioButton::TvornRadioButton(QWidget* parent) : TvornRadioButton(QString(), parent) {}

TvornRadioButton::TvornRadioButton(const QString& caption, QWidget* parent)
    : QRadioButton(caption, parent), BoundControlBase(static_cast<QWidget&>(*this)) {
    // Only the button that becomes checked is clicked; the one it unchecks is not.
    connect(this, &QRadioButton::toggled, this, ui::GuardedSlot(this, [this](bool on) {
                if (on) Click();
            }));
}

QList<TvornRadioButton*> TvornRadioButton::Siblings() const {
    QList<TvornRadioButton*> siblings;
    if (!parentWidget()) return siblings;
    for (QObject* child : parentWidget()->children()) {
        auto* button = qobject_cast<TvornRadioButton*>(child);
        if (button && button != this && button->metaObject() == &staticMetaObject &&
            button->FMField() == FMField())
            siblings.append(button);
    }
    return siblings;
}

QString TvornRadioButton::InternalValue() const {
    if (isChecked()) return ValueChecked;
    for (const TvornRadioButton* sibling : Siblings())
        if (sibling->isChecked()) return sibling->ValueChecked;
    return {};
}

void TvornRadioButton::SetCheckedQuietly(bool on) {
    QuietScope quiet(*this);
    if (on) {
        setChecked(true);
        return;
    }
    const bool exclusive = autoExclusive();
    setAutoExclusive(false);
    setChecked(false);
    setAutoExclusive(exclusive);
}

void TvornRadioButton::FillFromRecord(const QString& internal, const QString& external) {
    filledInternalValue_ = internal;
    externalValue_ = external;
    filledChecked_ = internal == ValueChecked;
    modified_ = false;
    SetCheckedQuietly(filledChecked_);
}

void TvornRadioButton::ClearValue() {
    filledInternalValue_.clear();
    externalValue_.clear();
    filledChecked_ = false;
    modified_ = false;
    SetCheckedQuietly(false);
}

void TvornRadioButton::Click() {
    if (Bound() && !Filling() && !Quiet()) {
        modified_ = isChecked() != filledChecked_;
        if (LinkFieldGuard()) {
            if (OnClick) OnClick(this);
            return;
        }
        MarkChanged();
        for (TvornRadioButton* sibling : Siblings())
            vornSource()->RemoveChangedControl(sibling);
        if (InternalValue() == vornSource()->GetFieldValue(FMField()))
            vornSource()->RemoveChangedControl(this);
    }
    if (OnClick) OnClick(this);
}

void TvornRadioButton::focusInEvent(QFocusEvent* event) {
    QRadioButton::focusInEvent(event);
    FocusedIn([this] { modified_ = false; });
}

void TvornRadioButton::focusOutEvent(QFocusEvent* event) {
    QRadioButton::focusOutEvent(event);
    FocusedOut([this] { Exit(); });
}

void TvornRadioButton::Exit() {
    if (ExitPreamble()) FireExit();
}

void TvornRadioButton::keyPressEvent(QKeyEvent* event) {
    if (!GuardedKeyDown(*event)) QRadioButton::keyPressEvent(event);
}

}  // namespace vorn
