#include "controls/vorn_edit.h"

#include <QFocusEvent>
#include <QKeyEvent>

#include "source/internal/source_core.h"
#include "toolkit/event_guard.h"

namespace vorn {
namespace {

// Beyond this length a value has no short display form and is shown as stored.
constexpr int kLongValue = 100;

}  // namespace

TvornEdit::TvornEdit(QWidget* parent)
    : QLineEdit(parent), BoundControlBase(static_cast<QWidget&>(*this)) {
    connect(this, &QLineEdit::textChanged, this, ui::GuardedSlot(this, [this] { Change(); }));
}

void TvornEdit::FillFromRecord(const QString& internal, const QString& external) {
    QString shown = external;
    if (shown.isEmpty() && internal.size() > kLongValue) shown = internal;
    internalValue_ = internal;
    filledInternalValue_ = internal;
    filledText_ = shown;
    settledText_ = shown;
    modified_ = false;
    ShowQuietly(shown);
}

void TvornEdit::ClearValue() {
    FillFromRecord({}, {});
    externalValue_.clear();
}

QString TvornEdit::ChangeQuestion(const QString& fileName) const {
    if (FMField() != QLatin1String(".01")) return {};
    return fileName + QStringLiteral(": ") + FMDisplayName() + u'^' + text();
}

bool TvornEdit::TakeMasterLink(const QString& internal, const QString& text) {
    internalValue_ = internal;
    filledInternalValue_ = internal;
    filledText_ = text;
    settledText_ = text;
    ShowQuietly(text);
    return true;
}

void TvornEdit::ShowQuietly(const QString& text) {
    QuietScope quiet(*this);
    setText(text);
}

void TvornEdit::Change() {
    if (OnChange) OnChange(this);
    if (!Bound() || Filling() || Quiet()) return;
    modified_ = filledText_ != text();
    MarkByModified(modified_);
}

void TvornEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    FocusedIn([this] { modified_ = false; });
}

void TvornEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    FocusedOut([this] { Exit(); });
}

bool TvornEdit::SettleValue() {
    if (!Bound()) return true;
    if (text() == filledText_) {
        internalValue_ = text().isEmpty() ? QString() : filledInternalValue_;
        return true;
    }
    return text() == settledText_ || Validate();
}

void TvornEdit::Exit() {
    if (!ExitPreamble()) return;
    modified_ = filledText_ != text();
    if (!modified_) {
        SettleValue();
        MarkUnchanged();
        FireExit();
        return;
    }
    if (Validate()) AddChanged();
    FireExit();
}

bool TvornEdit::Validate() {
    const QString typed = text();
    const ValidatedValue answer =
        SourceCore::Of(*vornSource()).Operations().Validate(FMField(), typed);
    if (!answer.valid) {
        ReportRejectedValue(typed);
        modified_ = true;
        return false;
    }
    internalValue_ = answer.internal;
    externalValue_ = answer.external;
    // Shown as the server writes it; the change handling sees a text that is either still
    // changed or back to the filled one.
    if (text() != externalValue_) setText(externalValue_);
    settledText_ = text();
    return true;
}

void TvornEdit::keyPressEvent(QKeyEvent* event) {
    if (!GuardedKeyDown(*event)) QLineEdit::keyPressEvent(event);
}

}  // namespace vorn
