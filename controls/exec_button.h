// The exec button: a small button beside a dialog edit that starts the edit's lookup with the
// mouse. The edit names it as its pointer button or its find button; the button finds that
// edit among the components of its form, registers with the edit's source (which enables it:
// a find button needs the right to browse, a pointer button the right to write) and, when it
// stays near the edit, is kept next to it.
#pragma once

#include <QPixmap>
#include <QPointer>
#include <QPushButton>

#include "source/bound_control.h"
#include "source/vorn_source.h"
#include "source/vorn_types.h"
#include "toolkit/component_loading.h"

#pragma GCC visibility push(default)
namespace vorn {

class TvornDialogEdit;

class TvornExecBtn : public QPushButton, public TvornExecButtonLink, public ui::LoadedComponent {
    Q_OBJECT
    Q_PROPERTY(bool StayNearEdit READ StayNearEdit WRITE SetStayNearEdit STORED true)
    Q_PROPERTY(bool HasGlyph READ HasGlyph WRITE SetHasGlyph)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)

  public:
    explicit TvornExecBtn(QWidget* parent = nullptr);
    ~TvornExecBtn() override;

    // A pointer button (no caption, glyph "EBTNENABLED") or a find button (caption "&Find",
    // glyph "HBTNENABLED", 62 wide) for `edit`, parented like the edit, named after the first
    // free number ("vornPointerBtn1", "vornFindBtn1"), staying near the edit, and named by the
    // edit as its button. Forms make their exec buttons so.
    static TvornExecBtn* CreateFor(TvornDialogEdit& edit, bool pointerButton);

    bool StayNearEdit() const { return stayNearEdit_; }
    // Stores, then lays the button out next to its edit.
    void SetStayNearEdit(bool on);
    bool HasGlyph() const { return hasGlyph_; }
    // Off empties the glyph; on puts the blank picture in place of an empty glyph.
    void SetHasGlyph(bool on);
    bool TabStop() const { return focusPolicy() == Qt::StrongFocus; }
    // Without a tab stop the button still takes the focus when clicked.
    void SetTabStop(bool on) { setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus); }

    TNotifyEvent OnClick;

    // The dialog edit that names this button: the last of the form's dialog edits that does.
    // Finding it sets IsPointerButton.
    TvornDialogEdit* Edit();

    // Registers with the source of its edit.
    void Loaded() override;

    // --- TvornExecButtonLink ---
    QWidget* Widget() override { return this; }
    bool IsPointerButton() const override { return isPointerButton_; }

  protected:
    void moveEvent(QMoveEvent* event) override;

  private:
    void Click();

    bool stayNearEdit_ = false;
    bool hasGlyph_ = true;
    bool isPointerButton_ = false;
    QPixmap blank_;
    QPointer<TvornSource> registeredWith_;
};

}  // namespace vorn

#pragma GCC visibility pop
