// A bound check box: checked for the stored values "1", "Y", "y", "K" and "k"; files
// `ValueChecked` or `ValueUnchecked` when the user changed it.
#pragma once

#include <QCheckBox>

#include "controls/bound_control_base.h"

#pragma GCC visibility push(default)
namespace vorn {

class TvornCheckBox : public QCheckBox, public BoundControlBase {
    Q_OBJECT
    VORN_BOUND_CONTROL_PROPERTIES
    Q_PROPERTY(QString ValueChecked MEMBER ValueChecked)
    Q_PROPERTY(QString ValueUnchecked MEMBER ValueUnchecked)
    Q_PROPERTY(bool DefaultChecked MEMBER DefaultChecked)

  public:
    explicit TvornCheckBox(QWidget* parent = nullptr);
    TvornCheckBox(const QString& caption, QWidget* parent = nullptr);

    QString ValueChecked = QStringLiteral("1");
    QString ValueUnchecked = QStringLiteral("0");
    // Stored with the form; nothing reads it.
    bool DefaultChecked = false;

    bool FilledChecked() const { return filledChecked_; }

    TNotifyEvent OnClick;

    // The stored values that check the box.
    static bool IsCheckedValue(const QString& internal);

    void FillFromRecord(const QString& internal, const QString& external) override;
    void ClearValue() override;
    QString ShownText() const override;
    bool SettleValue() override;

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void Click();
    void Exit();

    bool filledChecked_ = false;
};

}  // namespace vorn

#pragma GCC visibility pop
