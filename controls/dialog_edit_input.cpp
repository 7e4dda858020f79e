// The dialog edit's keys, its change and its exit: typing marks the record changed, leaving
// checks the text with the server and, when the server does not settle the value, opens the
// lookup. Entering, leaving, the link field guard and F1 are the bound controls' own (base).
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>

#include "controls/dialog_edit.h"
#include "source/internal/source_core.h"
#include "source/timed_message.h"
#include "toolkit/event_guard.h"

namespace vorn {

void TvornDialogEdit::Raise(const TNotifyEvent& event) {
    // A copy: the handler may replace the event it runs in.
    const TNotifyEvent handler = event;
    if (handler) handler(this);
}

// --- keys ---

void TvornDialogEdit::keyPressEvent(QKeyEvent* event) {
    TvornSource* source = vornSource();
    if (event->text() == QLatin1String("@") && FMField() == QLatin1String(".01") && source &&
        !Allows(SourceCore::Of(*source), uaDelete)) {
        // "@" deletes an entry on the server; a user who may not delete does not type it.
        event->accept();
        return;
    }
    if (GuardedKeyDown(*event)) return;
    QLineEdit::keyPressEvent(event);
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Enter is the edit's own: a form's default button does not see it.
        event->accept();
        ui::Guarded([this] { HandleEnterKey(); }, this);
    }
}

void TvornDialogEdit::keyReleaseEvent(QKeyEvent* event) {
    QLineEdit::keyReleaseEvent(event);
    if (event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier))
        ui::Guarded([this] { HandleAltDown(); }, this);
}

void TvornDialogEdit::HandleEnterKey() {
    if (FMIsPointerField) {
        lookup_.PointerMode = true;
        Execute();
        return;
    }
    lookup_.PointerMode = false;
    if (vornSource() && !Allows(SourceCore::Of(*vornSource()), uaBrowse)) return;
    Execute();
}

void TvornDialogEdit::HandleAltDown() {
    if (FindOnly) return;
    lookup_.OpenedByKeyboard = true;
    if (FMIsPointerField && !FMIsFindField) lookup_.PointerMode = true;
    Execute();
}

// --- focus ---

void TvornDialogEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    FocusedIn();
}

void TvornDialogEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    FocusedOut([this] { Exit(QApplication::focusWidget()); });
}

// --- change ---

void TvornDialogEdit::ClearTheValue() {
    if (vornSource() && !lookup_.PointerMode) return;
    clear();
    internal_.clear();
    lookup_.ChosenIen.clear();
    lookup_.ChosenLine.clear();
}

void TvornDialogEdit::HandleChange() {
    TvornSource* source = vornSource();
    if (!source || Filling() || Quiet()) return;
    lookup_.TextModified = text() != lookup_.FilledText;
    if (!lookup_.TextModified) {
        // The text the record was filled with stands for the value it was filled with again,
        // whatever was picked or checked on the way.
        internal_ = lookup_.FilledInternalValue;
        settledText_ = lookup_.FilledText;
        lookup_.ValueModified = false;
    }
    if (lookup_.PointerMode) {
        if (text().isEmpty() && lookup_.FilledInternalValue.isEmpty()) ClearTheValue();
        lookup_.ValueModified = internal_ != lookup_.FilledInternalValue;
    }
    if (LinkFieldGuard()) return;
    if (lookup_.TextModified || lookup_.ValueModified) {
        if (!source->BeginEdit()) return;
        // A find field's text is a search until a value was taken or a stored record is being
        // changed. A pointer or plain field's text is the user's value from the first key on,
        // resolved before any save: leaving the form asks about it.
        if (!FMIsFindField || lookup_.Chosen || source->State() == ssEdit) AddChanged();
    } else {
        MarkUnchanged();
    }
}

// --- exit ---

bool TvornDialogEdit::IsOwnExecButton(const QWidget* widget) const {
    return widget && (widget == execPntrBtn_.data() || widget == execFindBtn_.data());
}

void TvornDialogEdit::Exit(QWidget* newFocus) {
    // While the dialog is open the focus wanders without the edit being left.
    if (lookup_.DialogActive) return;
    TvornSource* source = vornSource();
    if (!source) {
        if (!lookup_.PointerMode) {
            if (text().isEmpty())
                ClearTheValue();
            else if (text() != internal_)
                Execute();
        }
        FireExit();
        return;
    }
    // The preamble (the Clear button neither checks nor marks); moving to the edit's own exec
    // button does neither either.
    if (!ExitPreamble()) return;
    if (IsOwnExecButton(newFocus)) {
        FireExit();
        return;
    }
    if (lookup_.TextModified) {
        const TvornSourceState state = source->State();
        if (ValidateText()) {
            AddChanged();
        } else if (FMIsPointerField) {
            Execute();
        } else if (InsertKeyLength > 0 && !lookup_.Chosen) {
            Execute();
        } else if ((state == ssNew && !Allows(SourceCore::Of(*source), uaInsert)) ||
                   (state == ssEdit && !Allows(SourceCore::Of(*source), uaWrite))) {
            Execute();
        } else {
            const QString help = source->FieldHelp(FMField(), QStringLiteral("H"));
            const QString description = source->FieldHelp(FMField(), QStringLiteral("D"));
            if (!help.isEmpty() || !description.isEmpty())
                TimedMessageDlg(help + u'\r' + description, ui::MessageKind::Warning, ui::mbOK);
            lookup_.TextModified = true;
            if (isVisible() && isEnabled()) setFocus(Qt::OtherFocusReason);
        }
    }
    if (!lookup_.DialogActive) FireExit();
}

bool TvornDialogEdit::ValidateText() {
    TvornSource* source = vornSource();
    if (text().isEmpty()) {
        internal_.clear();
        settledText_.clear();
        return true;
    }
    const ValidatedValue answer = SourceCore::Of(*source).Operations().Validate(FMField(), text());
    const bool valid = answer.valid;
    if (FMIsPointerField && !FMIsFindField) lookup_.PointerMode = true;
    if (!valid) return false;
    bool accepted = true;
    if (lookup_.PointerMode) {
        // The server takes a pointer value as soon as the text names one entry; the list is
        // shown instead when every lookup opens it, or when the pointer lookup's own finder
        // screens the entries the user may choose from.
        if (ExecIfOneMatch) return false;
        if (finderForPointer_ && !finderForPointer_->Screen.isEmpty()) return false;
    } else if (source->State() == ssNew && InsertKeyLength > 0 && !lookup_.Chosen) {
        // A new record's find field first shows the list that offers Insert; the value is
        // still taken.
        accepted = false;
    }
    bool canExecute = true;
    const TBeforeExecuteEvent before = BeforeExecute;
    if (before) before(this, canExecute);
    // A vetoed value is not taken, and what is shown is then not what would be filed.
    if (!canExecute) return false;
    internal_ = answer.internal;
    lookup_.ExternalValue = answer.external;
    if (lookup_.PointerMode) lookup_.ValueModified = true;
    if (text() != lookup_.ExternalValue) {
        QuietScope quiet(*this);
        setText(lookup_.ExternalValue);
        lookup_.TextModified = text() != lookup_.FilledText;
    }
    settledText_ = text();
    Raise(AfterExecute);
    return accepted;
}

}  // namespace vorn
