#include "controls/vorn_combo_box.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include "controls/internal/item_choice.h"
#include "source/internal/source_core.h"
#include "toolkit/event_guard.h"

namespace vorn {

TvornComboBox::TvornComboBox(QWidget* parent)
    : QComboBox(parent), BoundControlBase(static_cast<QWidget&>(*this)) {
    connect(this, &QComboBox::currentIndexChanged, this,
            ui::GuardedSlot(this, [this] { Change(); }));
    connect(this, &QComboBox::editTextChanged, this, ui::GuardedSlot(this, [this] { Change(); }));
}

QStringList TvornComboBox::ItemTexts() const {
    QStringList texts;
    for (int i = 0; i < count(); ++i)
        texts.append(itemText(i));
    return texts;
}

void TvornComboBox::ShowQuietly(int index, const QString& text) {
    QuietScope quiet(*this);
    setCurrentIndex(index);
    if (index < 0 && isEditable()) setEditText(text);
}

void TvornComboBox::FillFromRecord(const QString& internal, const QString& external) {
    internalValue_ = internal;
    filledInternalValue_ = internal;
    externalValue_ = external;
    modified_ = false;
    const int index = ChooseItem(values_, ItemTexts(), internal, external);
    ShowQuietly(index, external);
    filledItemIndex_ = currentIndex();
    filledText_ = currentText();
    settledIndex_ = filledItemIndex_;
    settledText_ = filledText_;
}

void TvornComboBox::ClearValue() {
    FillFromRecord({}, {});
}

void TvornComboBox::Change() {
    if (!Bound() || Filling() || Quiet()) return;
    modified_ = currentIndex() != filledItemIndex_ || currentText() != filledText_;
    if (OnChange) OnChange(this);
    MarkByModified(modified_);
}

void TvornComboBox::focusInEvent(QFocusEvent* event) {
    QComboBox::focusInEvent(event);
    FocusedIn([this] { modified_ = false; });
}

void TvornComboBox::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    FocusedOut([this] { Exit(); });
}

TvornComboBox::Settled TvornComboBox::Settle(bool checkAgain) {
    const int index = currentIndex();
    if (index == filledItemIndex_ && currentText() == filledText_) {
        // The selection is the filled one: the stored code stands, however its item was found.
        internalValue_ = filledInternalValue_;
        modified_ = false;
        return Settled::Unchanged;
    }
    if (!checkAgain && index == settledIndex_ && currentText() == settledText_)
        return Settled::Valid;
    if (index < 0 || values_.isEmpty())
        internalValue_ = currentText();
    else if (values_.size() > index)
        internalValue_ = values_[index];
    if (internalValue_.isEmpty()) {
        externalValue_.clear();
        return Settled::Emptied;
    }
    const ValidatedValue answer =
        SourceCore::Of(*vornSource()).Operations().Validate(FMField(), internalValue_);
    if (!answer.valid) {
        ReportRejectedValue(currentText());
        modified_ = true;
        return Settled::Refused;
    }
    internalValue_ = answer.internal;
    externalValue_ = answer.external;
    if (vornSource()->FieldAttribute(FMField()) == QLatin1String("S")) {
        const qsizetype coded = values_.indexOf(internalValue_);
        if (coded >= 0 && coded < count()) ShowQuietly(static_cast<int>(coded), {});
    } else {
        // A fixed list cannot show a text it does not hold; it keeps the chosen item.
        const int shown = findText(externalValue_);
        if (shown >= 0 || isEditable()) ShowQuietly(shown, externalValue_);
    }
    settledIndex_ = currentIndex();
    settledText_ = currentText();
    modified_ = filledInternalValue_ != internalValue_;
    return Settled::Valid;
}

bool TvornComboBox::SettleValue() {
    return !Bound() || Settle(false) != Settled::Refused;
}

void TvornComboBox::Exit() {
    if (!ExitPreamble()) return;
    switch (Settle(true)) {
        case Settled::Unchanged:
            MarkUnchanged();
            break;
        case Settled::Emptied:
            // An emptied field is always filed.
            AddChanged();
            break;
        case Settled::Refused:
            break;
        case Settled::NoAnswer:
            return;
        case Settled::Valid:
            MarkByModified(modified_);
            break;
    }
    FireExit();
}

void TvornComboBox::keyPressEvent(QKeyEvent* event) {
    if (!GuardedKeyDown(*event)) QComboBox::keyPressEvent(event);
}

}  // namespace vorn
