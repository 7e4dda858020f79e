#include "controls/vorn_check_box.h"

#include <QFocusEvent>
#include <QKeyEvent>

#include "toolkit/event_guard.h"

namespace vorn {

TvornCheckBox::TvornCheckBox(QWidget* parent) : TvornCheckBox(QString(), parent) {}

TvornCheckBox::TvornCheckBox(const QString& caption, QWidget* parent)
    : QCheckBox(caption, parent), BoundControlBase(static_cast<QWidget&>(*this)) {
    connect(this, &QCheckBox::toggled, this, ui::GuardedSlot(this, [this] { Click(); }));
}

bool TvornCheckBox::IsCheckedValue(const QString& internal) {
    static const QStringList kChecked = {QStringLiteral("1"), QStringLiteral("Y"),
                                         QStringLiteral("y"), QStringLiteral("K"),
                                         QStringLiteral("k")};
    return kChecked.contains(internal);
}

void TvornCheckBox::FillFromRecord(const QString& internal, const QString& external) {
    internalValue_ = internal;
    filledInternalValue_ = internal;
    externalValue_ = external;
    filledChecked_ = IsCheckedValue(internal);
    modified_ = false;
    QuietScope quiet(*this);
    setChecked(filledChecked_);
}

void TvornCheckBox::ClearValue() {
    FillFromRecord({}, {});
}

QString TvornCheckBox::ShownText() const {
    return text();
}

void TvornCheckBox::Click() {
    // The box is also toggled when a value is filled in; that is no edit.
    if (Bound() && !Filling() && !Quiet()) {
        modified_ = isChecked() != filledChecked_;
        MarkByModified(modified_);
    }
    if (OnClick) OnClick(this);
}

void TvornCheckBox::focusInEvent(QFocusEvent* event) {
    QCheckBox::focusInEvent(event);
    FocusedIn([this] { modified_ = false; });
}

void TvornCheckBox::focusOutEvent(QFocusEvent* event) {
    QCheckBox::focusOutEvent(event);
    FocusedOut([this] { Exit(); });
}

bool TvornCheckBox::SettleValue() {
    modified_ = isChecked() != filledChecked_;
    if (modified_)
        internalValue_ = isChecked() ? ValueChecked : ValueUnchecked;
    else
        internalValue_ = filledInternalValue_;
    return true;
}

void TvornCheckBox::Exit() {
    if (!ExitPreamble()) return;
    SettleValue();
    if (modified_)
        AddChanged();
    else
        MarkUnchanged();
    FireExit();
}

void TvornCheckBox::keyPressEvent(QKeyEvent* event) {
    if (!GuardedKeyDown(*event)) QCheckBox::keyPressEvent(event);
}

}  // namespace vorn
