// An operation button: one record operation (first, prior, next, last, save, save new, clear,
// new, cancel, delete) on its data source, with the operation's glyph, caption and hint. The
// source alone enables it, from its record state and the user's access.
//
// Qt has no design time, so the per-operation caption, hint and width are applied when the
// form has loaded: a caption or hint the form set itself stays. An operation changed after
// loading applies them again, as a designer changing it would.
#pragma once

#include <QPointer>
#include <QPushButton>

#include "source/bound_control.h"
#include "source/vorn_source.h"
#include "toolkit/component_loading.h"

#pragma GCC visibility push(default)
namespace vorn {

class TvornBtn : public QPushButton, public TvornOperationButton, public ui::LoadedComponent {
    Q_OBJECT
    Q_PROPERTY(bool AlwaysDisabled READ AlwaysDisabled WRITE SetAlwaysDisabled)
    Q_PROPERTY(vorn::TvornBtnOperation Operation READ Operation WRITE SetOperation)
    Q_PROPERTY(vorn::TvornSource* vornSource READ vornSource WRITE SetvornSource)
    Q_PROPERTY(bool HasGlyph READ HasGlyph WRITE SetHasGlyph)

  public:
    explicit TvornBtn(QWidget* parent = nullptr);
    ~TvornBtn() override;

    bool AlwaysDisabled() const override { return alwaysDisabled_; }
    // True disables the button at once; false lets the source decide again.
    void SetAlwaysDisabled(bool on);
    TvornBtnOperation Operation() const override { return operation_; }
    void SetOperation(TvornBtnOperation operation);
    TvornSource* vornSource() const { return source_.data(); }
    // Moves the button from the old source's list to the new one's at once.
    void SetvornSource(TvornSource* source);
    bool HasGlyph() const { return hasGlyph_; }
    void SetHasGlyph(bool on);

    // The button's own click event; runs before the operation.
    TNotifyEvent OnClick;
    // Runs after the operation.
    TNotifyEvent AfterClick;

    QWidget* Widget() override { return this; }
    void Loaded() override;

  private:
    void Click();
    void RunOperation();
    // Caption, hint, glyph and width of the operation; `designing` overwrites what the form
    // set, as setting the operation at design time does.
    void ApplyLook(bool designing);

    QPointer<TvornSource> source_;
    TvornBtnOperation operation_ = DoSave;
    bool alwaysDisabled_ = false;
    bool hasGlyph_ = true;
    bool loaded_ = false;
};

}  // namespace vorn

#pragma GCC visibility pop
