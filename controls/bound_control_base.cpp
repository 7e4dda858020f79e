#include "controls/bound_control_base.h"

#include "toolkit/event_guard.h"

#include <QKeyEvent>
#include <QWidget>

#include "source/internal/field_help_display.h"
#include "source/internal/source_core.h"
#include "source/internal/source_messages.h"
#include "source/internal/source_registry.h"
#include "source/message_text.h"
#include "source/timed_message.h"

namespace vorn {

BoundControlBase::BoundControlBase(QWidget& self) : self_(self) {}

BoundControlBase::~BoundControlBase() {
    // The source only compares the pointer; it never reaches into a control that is going.
    if (registeredWith_) SourceCore::Of(*registeredWith_).Operations().UnregisterControl(this);
}

void BoundControlBase::Loaded() {
    if (!Bound()) return;
    source_->RegisterControl(this, field_);
    registeredWith_ = source_;
}

// --- focus ---

void BoundControlBase::FocusedIn(const std::function<void()>& after) {
    if (!TakeFocusIn()) return;
    ui::Guarded(
        [&] {
            Enter();
            if (after) after();
        },
        &self_);
}

void BoundControlBase::FocusedOut(const std::function<void()>& exit) {
    if (!TakeFocusOut()) return;
    // A control disabled under the focus (the source changed its state) was not left by the
    // user: its exit would check and look up a value on a record that cannot take it.
    if (!self_.isEnabled()) {
        LeaveIfUnfocused();
        return;
    }
    ui::Guarded(exit, &self_);
}

bool BoundControlBase::GuardedKeyDown(QKeyEvent& event) {
    bool swallowed = false;
    ui::Guarded([&] { swallowed = KeyDown(event); }, &self_);
    return swallowed;
}

bool BoundControlBase::TakeFocusIn() {
    if (entered_) return false;
    entered_ = true;
    return true;
}

bool BoundControlBase::TakeFocusOut() {
    if (!entered_ || HasWindowFocus()) return false;
    entered_ = false;
    return true;
}

bool BoundControlBase::HasWindowFocus() const {
    const QWidget* focus = self_.window()->focusWidget();
    return focus && (focus == &self_ || self_.isAncestorOf(focus));
}

void BoundControlBase::Enter() {
    if (OnEnter) OnEnter(&self_);
    if (source_) SourceCore::Of(*source_).Registry().SetCurrentControl(this);
}

bool BoundControlBase::ExitPreamble() {
    if (!Bound()) {
        FireExit();
        return false;
    }
    LeaveIfUnfocused();
    if (ClearButtonFocused()) {
        FireExit();
        return false;
    }
    return true;
}

bool BoundControlBase::ClearButtonFocused() const {
    return IsClearButtonOf(source_, self_.window()->focusWidget());
}

bool IsClearButtonOf(const TvornSource* source, const QWidget* widget) {
    if (!source || !widget) return false;
    for (TvornOperationButton* button : SourceCore::Of(*source).Registry().Buttons())
        if (button->Operation() == DoClear && button->Widget() == widget) return true;
    return false;
}

void BoundControlBase::LeaveIfUnfocused() {
    if (source_ && !HasWindowFocus() &&
        SourceCore::Of(*source_).Registry().CurrentControl() == this)
        SourceCore::Of(*source_).Registry().SetCurrentControl(nullptr);
}

void BoundControlBase::FireExit() {
    if (OnExit) OnExit(&self_);
}

// --- marking ---

bool BoundControlBase::LinkFieldGuard() const {
    return source_ && source_->TypeIfSubFile == TvornSubFileType::Logical &&
           source_->LinkField == field_;
}

bool BoundControlBase::MarkChanged() {
    if (!source_->BeginEdit()) return false;
    source_->AddChangedControl(this);
    return true;
}

void BoundControlBase::MarkUnchanged() {
    source_->RemoveChangedControl(this);
}

void BoundControlBase::MarkByModified(bool modified) {
    if (!modified)
        MarkUnchanged();
    else if (!LinkFieldGuard())
        MarkChanged();
}

void BoundControlBase::AddChanged() {
    source_->AddChangedControl(this);
}

void BoundControlBase::ReportRejectedValue(const QString& entered) {
    QString text = source_->FieldHelp(field_, QStringLiteral("H")) + u'\r' +
                   source_->FieldHelp(field_, QStringLiteral("D"));
    AddChanged();
    if (text == QLatin1String("\r"))
        text = GetDialogText(32, entered + u'^' + displayName_, nullptr);
    TimedMessageDlg(text, ui::MessageKind::Warning, ui::mbOK, 0, 0);
    if (!self_.isVisible() || !self_.isEnabled()) return;
    self_.setFocus(Qt::OtherFocusReason);
    // Behind a message the window may not be active again yet; it gives the control the focus
    // when it is, and the control counts as entered from now on.
    if (!entered_ && HasWindowFocus()) {
        entered_ = true;
        Enter();
    }
}

void BoundControlBase::SayChooseFromList() const {
    say::Warning(QStringLiteral("Nothing was saved: choose the value of ") + displayName_ +
                 QStringLiteral(" from its list first."));
}

// --- keys ---

bool BoundControlBase::KeyDown(QKeyEvent& event) {
    int key = event.key();
    if (OnKeyDown) OnKeyDown(&self_, key, event.modifiers());
    if (key == Qt::Key_F1 && helpUsed_ && source_) {
        ShowFieldHelp();
        return true;
    }
    return key == 0;
}

void BoundControlBase::ShowFieldHelp() {
    vorn::ShowFieldHelp(*source_, field_, displayName_);
}

bool BoundControlBase::Filling() const {
    return source_ && SourceCore::Of(*source_).Owners().navigator.Filling();
}

}  // namespace vorn
