// What a data source asks of the components that register with it. Each bound control, each
// operation button, each exec button and each bound grid implements one of these interfaces;
// the source treats a control by what it says it is able to do, never by its class name.
#pragma once

#include <QString>
#include <QStringList>

#include "source/vorn_types.h"

#pragma GCC visibility push(default)
class QWidget;

namespace vorn {

// A control that shows one field of the source's current record.
class TvornBoundControl {
  public:
    // Which lookup a control offers; decides how access narrows it (a find stays usable for
    // a user who may not write, a pointer lookup needs the right to write or insert).
    enum class Lookup { None, Pointer, Find };

    virtual ~TvornBoundControl() = default;

    // The control as a widget: the source enables it, looks at its focus and its hint.
    virtual QWidget* Widget() = 0;
    virtual QString FMField() const = 0;
    virtual bool FMRequired() const { return false; }
    virtual QString FMDisplayName() const = 0;

    // Shows a record line's internal and external value, and takes them as the values it was
    // filled with (so that the user's changes can be told from them).
    virtual void FillFromRecord(const QString& internal, const QString& external) = 0;
    // A word-processing field: the source hands over its text lines instead.
    virtual bool HoldsWordProcessing() const { return false; }
    virtual void FillFromLines(const QStringList& lines) { Q_UNUSED(lines); }
    // The word-processing text lines to file.
    virtual QStringList Lines() const { return {}; }
    // Empties the control, as when the form is cleared.
    virtual void ClearValue() = 0;

    // The value filed for the field.
    virtual QString InternalValue() const = 0;
    // The text the control shows.
    virtual QString ShownText() const = 0;
    // True when the field has a value, for the required-field check before filing.
    virtual bool HasValue() const { return !InternalValue().isEmpty(); }
    // The control's own answer whether its required value is present.
    virtual bool IsFilled() const { return !FMRequired() || !InternalValue().isEmpty(); }

    // A control that only shows (a label): never filed, never disabled for a link field.
    virtual bool IsDisplayOnly() const { return false; }
    // An edit whose typed text names the record (the save questions quote it).
    virtual bool ShowsTypedText() const { return false; }
    // For the save question of message 1034: the parameter text when this control changed
    // field ".01" (an edit or a dialog edit), else a null text.
    virtual QString ChangeQuestion(const QString& fileName) const {
        Q_UNUSED(fileName);
        return {};
    }
    virtual Lookup LookupKind() const { return Lookup::None; }
    // Takes the master's record as the link value (internal value and text); false for kinds
    // that cannot show it.
    virtual bool TakeMasterLink(const QString& internal, const QString& text) {
        Q_UNUSED(internal);
        Q_UNUSED(text);
        return false;
    }

    // Makes the value the control files agree with what it shows, checking a typed value with
    // the server when that was not done yet, so that a save files what the user sees. False
    // when the server refused the value: the control has said so and keeps it.
    virtual bool SettleValue() { return true; }
    // The source closed: a control with a lookup open ends it.
    virtual void SourceClosed() {}
    // A question about the record was answered without a save (No or Cancel): a lookup the
    // control has open for it ends, so that its pick never reaches the record later.
    virtual void EndLookup() {}
    // Whether the control shows hints; a control that does and has none gets the field's
    // help text as its hint when the source opens.
    virtual bool ShowHint() const { return false; }
};

// A button a source keeps in one of its lists, by its kind: an operation button or an exec
// button.
class TvornSourceButton {
  public:
    virtual ~TvornSourceButton() = default;
    virtual QWidget* Widget() = 0;

  private:
    // Only the two kinds a source files are buttons of a source.
    TvornSourceButton() = default;
    friend class TvornOperationButton;
    friend class TvornExecButtonLink;
};

// An operation button bound to a source.
class TvornOperationButton : public TvornSourceButton {
  public:
    virtual TvornBtnOperation Operation() const = 0;
    virtual bool AlwaysDisabled() const = 0;
};

// An exec button of a dialog edit bound to a source.
class TvornExecButtonLink : public TvornSourceButton {
  public:
    virtual bool IsPointerButton() const = 0;
};

// A grid that lists the source's records and follows its current record.
class TvornGridLink {
  public:
    enum Direction { First = 0, Prior = 1, Next = 2, Last = 3 };

    virtual ~TvornGridLink() = default;
    virtual QWidget* Widget() = 0;
    // Fetches the first batch of rows and shows them; true when more rows exist.
    virtual bool Fill() = 0;
    // Empties the grid.
    virtual void Clear() = 0;
    // Makes the row of record `ien` current, fetching more rows while it is not listed.
    virtual void Locate(const QString& ien) = 0;
    // The record to move to from record `ien` in `direction`; empty when there is none.
    virtual QString NavigateRecord(Direction direction, const QString& ien) = 0;
    // True when the current row is the first (last) data row.
    virtual bool AtFirstRow() const = 0;
    virtual bool AtLastRow() const = 0;
    // While on, a row click makes the source read that record.
    virtual void FollowClicks(bool on) = 0;
};

}  // namespace vorn

#pragma GCC visibility pop
