// What every bound control shares: the published binding (field, required mark, display name,
// source, field help, hints), the values it holds (internal, external, filled, modified), its
// registration with the source when the form has loaded, and the steps each kind's handlers
// are built from (enter, exit preamble, marking (un)changed, failed validation report, F1 help).
#pragma once

#include <QPointer>
#include <QString>
#include <functional>

#include "source/bound_control.h"
#include "source/vorn_source.h"
#include "toolkit/component_loading.h"

#pragma GCC visibility push(default)
class QKeyEvent;
class QWidget;

namespace vorn {

// The six published binding properties, named in each control class (moc reads the properties
// of a class's own declaration only); their accessors are BoundControlBase's.
#define VORN_BOUND_CONTROL_PROPERTIES                                             \
    Q_PROPERTY(QString FMField READ FMField WRITE SetFMField)                     \
    Q_PROPERTY(bool FMRequired READ FMRequired WRITE SetFMRequired)               \
    Q_PROPERTY(QString FMDisplayName READ FMDisplayName WRITE SetFMDisplayName)   \
    Q_PROPERTY(vorn::TvornSource* vornSource READ vornSource WRITE SetvornSource) \
    Q_PROPERTY(bool FMHelpUsed READ FMHelpUsed WRITE SetFMHelpUsed)               \
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)

// A key-down event: the handler may change the key (0 swallows it).
using TKeyEvent = std::function<void(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift)>;

class BoundControlBase : public TvornBoundControl, public ui::LoadedComponent {
  public:
    explicit BoundControlBase(QWidget& self);
    ~BoundControlBase() override;

    // --- published binding ---
    QString FMField() const override { return field_; }
    void SetFMField(const QString& field) { field_ = field; }
    bool FMRequired() const override { return required_; }
    void SetFMRequired(bool on) { required_ = on; }
    QString FMDisplayName() const override { return displayName_; }
    // A short text: at most 50 characters are kept.
    void SetFMDisplayName(const QString& name) { displayName_ = name.left(50); }
    TvornSource* vornSource() const { return source_.data(); }
    void SetvornSource(TvornSource* source) { source_ = source; }
    bool FMHelpUsed() const { return helpUsed_; }
    void SetFMHelpUsed(bool on) { helpUsed_ = on; }
    bool ShowHint() const override { return showHint_; }
    void SetShowHint(bool on) { showHint_ = on; }

    // --- the value the control holds ---
    // The field's internal value, which a save files: the filled one, or the one the server
    // answered at the last successful validation.
    QString InternalValue() const override { return internalValue_; }
    void SetInternalValue(const QString& value) { internalValue_ = value; }
    // The value shown, as the server writes it.
    const QString& ExternalValue() const { return externalValue_; }
    // What the source filled in last.
    const QString& FilledInternalValue() const { return filledInternalValue_; }
    // The user's value differs from the filled one.
    bool Modified() const { return modified_; }

    // --- standard events ---
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;

    QWidget* Widget() override { return &self_; }
    // Registers with the source when one is set and the field is known.
    void Loaded() override;
    // Whether the control takes part in a source (a source is set and the field is known).
    bool Bound() const { return source_ && !field_.isEmpty(); }

  protected:
    bool Filling() const;

    QString internalValue_;
    QString externalValue_;
    QString filledInternalValue_;
    bool modified_ = false;

    // --- focus ---
    // A focus-in that is an enter: the first since the control was left (a window that gets
    // the focus back does not enter its control again).
    bool TakeFocusIn();
    // A focus-in that is an enter runs the enter step and then `after` (a control resets its
    // Modified there), through the guarded path of handlers.
    void FocusedIn(const std::function<void()>& after = {});
    // A focus-out that is an exit runs `exit` through the guarded path of handlers.
    void FocusedOut(const std::function<void()>& exit);
    // A focus-out that is an exit: the focus went to another widget of the window. A window or
    // a popup that takes the focus leaves the control entered.
    bool TakeFocusOut();
    // Whether the control (or one of its parts) is its window's focus widget.
    bool HasWindowFocus() const;
    // Fires the enter event and makes the control the source's current one.
    void Enter();
    // The exit preamble; false when the exit ends there (its event already fired).
    bool ExitPreamble();
    // Whether a Clear button of the source holds the window focus.
    bool ClearButtonFocused() const;
    // Stops being the source's current control when the focus has gone elsewhere.
    void LeaveIfUnfocused();
    void FireExit();

    // --- marking ---
    // True when a change of this control is the source's own business (the link field of a
    // logical detail).
    bool LinkFieldGuard() const;
    // Starts the edit and enters the control among the changes; false when no edit could
    // start (the record is held by another user, or it changed and was read again).
    bool MarkChanged();
    void MarkUnchanged();
    // Marks the control: back to unchanged always, changed unless the link field guard keeps
    // the change to the source.
    void MarkByModified(bool modified);
    void AddChanged();

    // The report of a rejected value `entered`: help and description (or message 1032) as a
    // warning and the focus back on the control. The value stays among the changes: it is
    // what the user typed, and a save checks it again rather than file the old one. The
    // caller then marks itself modified and fires its exit event.
    void ReportRejectedValue(const QString& entered);
    // A save cannot file a value the user still has to choose from a list (it is open, or
    // the typed text names several entries or none): says so, and the save stops.
    void SayChooseFromList() const;

    // Fires the key-down event; F1 shows the field help. True when the key was swallowed.
    bool KeyDown(QKeyEvent& event);
    // KeyDown through the guarded path; true when the key was taken and goes no further.
    bool GuardedKeyDown(QKeyEvent& event);

    // True while the control sets its own shown value, so that its change handling does not
    // take that for an edit.
    bool Quiet() const { return quiet_; }
    class QuietScope {
      public:
        explicit QuietScope(BoundControlBase& c) : c_(c), was_(c.quiet_) { c_.quiet_ = true; }
        ~QuietScope() { c_.quiet_ = was_; }

      private:
        BoundControlBase& c_;
        bool was_;
    };

  private:
    void ShowFieldHelp();

    QWidget& self_;
    QString field_;
    bool required_ = false;
    QString displayName_;
    QPointer<TvornSource> source_;
    QPointer<TvornSource> registeredWith_;
    bool helpUsed_ = true;
    bool showHint_ = false;
    bool entered_ = false;
    bool quiet_ = false;
};

// True when `widget` is the Clear button of `source`: leaving a control for it skips the
// control's validation.
bool IsClearButtonOf(const TvornSource* source, const QWidget* widget);

}  // namespace vorn

#pragma GCC visibility pop
