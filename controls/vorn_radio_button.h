// A bound radio button. Several radio buttons of one parent on the same field stand together
// for that field, each for the value in its `ValueChecked`; the checked one's value is the
// field's value, whichever of them is asked.
#pragma once

#include <QRadioButton>

#include "controls/bound_control_base.h"

#pragma GCC visibility push(default)
namespace vorn {

class TvornRadioButton : public QRadioButton, public BoundControlBase {
    Q_OBJECT
    VORN_BOUND_CONTROL_PROPERTIES
    Q_PROPERTY(QString ValueChecked MEMBER ValueChecked)

  public:
    explicit TvornRadioButton(QWidget* parent = nullptr);
    TvornRadioButton(const QString& caption, QWidget* parent = nullptr);

    QString ValueChecked;

    // The field's value: `ValueChecked` of the checked button of the field, empty when none.
    QString InternalValue() const override;
    bool FilledChecked() const { return filledChecked_; }

    TNotifyEvent OnClick;

    void FillFromRecord(const QString& internal, const QString& external) override;
    void ClearValue() override;
    QString ShownText() const override { return text(); }
    bool SettleValue() override { return true; }

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void Click();
    void Exit();
    // The other radio buttons of this parent on the same field.
    QList<TvornRadioButton*> Siblings() const;
    // Checks or unchecks without taking it for a click (an exclusive button is not unchecked
    // by itself).
    void SetCheckedQuietly(bool on);

    bool filledChecked_ = false;
};

}  // namespace vorn

#pragma GCC visibility pop
