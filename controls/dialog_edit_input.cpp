// The dialog edit's keys, its change and its exit: typing marks the record changed, leaving
// checks the text with the server and, when the server does not settle the value, opens the
// lookup.
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>

#include "controls/bound_control_base.h"
#include "controls/dialog_edit.h"
#include "source/field_help_display.h"
#include "source/source_messages.h"
#include "source/timed_message.h"
#include "toolkit/event_guard.h"

namespace vorn {

void TvornDialogEdit::Raise(const TNotifyEvent& event) {
    const TNotifyEvent handler = event;
    if (handler) handler(this);
}

// --- keys ---

void TvornDialogEdit::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (event->text() == QLatin1String("@") && fmField_ == QLatin1String(".01") && source_ &&
        !source_->Allows(uaDelete)) {
        // "@" deletes an entry on the server; a user who may not delete does not type it.
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
    if (event->key() == Qt::Key_F1) {
        ui::Guarded(
            [this] {
                if (FMHelpUsed && source_) ShowFieldHelp(*source_, fmField_, fmDisplayName_);
            },
            this);
    }
    if (enter) {
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
        PointerMode = true;
        Execute();
        return;
    }
    PointerMode = false;
    if (source_ && !source_->Allows(uaBrowse)) return;
    Execute();
}

void TvornDialogEdit::HandleAltDown() {
    if (FindOnly) return;
    OpenedByKeyboard = true;
    if (FMIsPointerField && !FMIsFindField) PointerMode = true;
    Execute();
}

// --- focus ---

void TvornDialogEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    // Coming back to the form (after the dialog, say) is no new enter.
    if (event->reason() != Qt::ActiveWindowFocusReason) Raise(OnEnter);
    if (source_) source_->SetCurrentControl(this);
}

void TvornDialogEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // Another window becoming active (the find dialog among them) is no exit: the focus stays
    // in the form, to come back here.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    QWidget* newFocus = QApplication::focusWidget();
    ui::Guarded([this, newFocus] { HandleExit(newFocus); }, this);
}

// --- change ---

bool TvornDialogEdit::LogicalLinkField() const {
    return source_ && source_->Master() && source_->TypeIfSubFile == TvornSubFileType::Logical &&
           source_->LinkField == fmField_;
}

void TvornDialogEdit::ClearTheValue() {
    if (source_ && !PointerMode) return;
    clear();
    internal_.clear();
    ChosenIen.clear();
    ChosenLine.clear();
}

void TvornDialogEdit::HandleChange() {
    if (!source_ || source_->Filling()) return;
    TextModified = text() != FilledText;
    if (PointerMode) {
        if (text().isEmpty() && FilledInternalValue.isEmpty()) ClearTheValue();
        ValueModified = internal_ != FilledInternalValue;
    }
    // The link field of a logical detail is the source's own business.
    if (LogicalLinkField()) return;
    if (TextModified || ValueModified) {
        if (!source_->BeginEdit()) return;
        // A find field's text is a search until a value was taken or a stored record is being
        // changed. A pointer or plain field's text is the user's value from the first key on,
        // resolved before any save: leaving the form asks about it.
        if (!FMIsFindField || Chosen || source_->State() == ssEdit)
            source_->AddChangedControl(this);
    } else {
        source_->RemoveChangedControl(this);
    }
}

// --- exit ---

bool TvornDialogEdit::IsOwnExecButton(const QWidget* widget) const {
    return widget && (widget == execPntrBtn_.data() || widget == execFindBtn_.data());
}

void TvornDialogEdit::HandleExit(QWidget* newFocus) {
    // While the dialog is open the focus wanders without the edit being left.
    if (DialogActive) return;
    if (!source_) {
        if (!PointerMode) {
            if (text().isEmpty())
                ClearTheValue();
            else if (text() != internal_)
                Execute();
        }
        Raise(OnExit);
        return;
    }
    if (!hasFocus() && source_->CurrentControl() == this) source_->SetCurrentControl(nullptr);
    // Moving to the Clear button or to the edit's own exec button neither checks nor marks.
    if (IsClearButtonOf(source_, newFocus) || IsOwnExecButton(newFocus)) {
        Raise(OnExit);
        return;
    }
    if (TextModified) {
        const TvornSourceState state = source_->State();
        if (ValidateText()) {
            source_->AddChangedControl(this);
        } else if (FMIsPointerField) {
            Execute();
        } else if (InsertKeyLength > 0 && !Chosen) {
            Execute();
        } else if ((state == ssNew && !source_->Allows(uaInsert)) ||
                   (state == ssEdit && !source_->Allows(uaWrite))) {
            Execute();
        } else {
            const QString help = source_->FieldHelp(fmField_, QStringLiteral("H"));
            const QString description = source_->FieldDescription(fmField_);
            if (!help.isEmpty() || !description.isEmpty())
                TimedMessageDlg(help + u'\r' + description, ui::MessageKind::Warning, ui::mbOK);
            TextModified = true;
            if (isVisible() && isEnabled()) setFocus(Qt::OtherFocusReason);
        }
    }
    if (!DialogActive) Raise(OnExit);
}

bool TvornDialogEdit::ValidateText() {
    if (text().isEmpty()) {
        internal_.clear();
        return true;
    }
    const bool valid = source_->ValidateField(fmField_, text());
    if (FMIsPointerField && !FMIsFindField) PointerMode = true;
    if (!valid) return false;
    bool accepted = true;
    if (PointerMode) {
        // The server takes a pointer value as soon as the text names one entry; the list is
        // shown instead when every lookup opens it, or when the pointer lookup's own finder
        // screens the entries the user may choose from.
        if (ExecIfOneMatch) return false;
        if (finderForPointer_ && !finderForPointer_->Screen.isEmpty()) return false;
    } else if (source_->State() == ssNew && InsertKeyLength > 0 && !Chosen) {
        // A new record's find field first shows the list that offers Insert; the value is
        // still taken.
        accepted = false;
    }
    const QStringList& answer = source_->ValidationAnswer();
    if (answer.size() == 2) {
        bool canExecute = true;
        const TBeforeExecuteEvent before = BeforeExecute;
        if (before) before(this, canExecute);
        if (canExecute) {
            internal_ = answer[0];
            ExternalValue = answer[1];
            if (PointerMode) ValueModified = true;
            if (text() != ExternalValue) setText(ExternalValue);
            Raise(AfterExecute);
        }
    }
    return accepted;
}

}  // namespace vorn
