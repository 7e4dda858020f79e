// A bound radio group: one field shown as a choice of items. `Values` holds the code of each
// item by position; without `Values` an item stands for its position counted from 1 (the first
// item for "1").
//
// Filled from a stored value, the group chooses the item whose code is the internal value,
// else the item whose text is the external value, else (without `Values`) the item at the
// position the internal value gives as a number: "2" chooses the second item, item index 1,
// which is the item that writes "2" back (controls/item_choice.h). A group left as filled
// files nothing, so a stored code survives a fill, an unchanged exit and a save.
#pragma once

#include <QStringList>

#include "controls/bound_control_base.h"
#include "toolkit/radio_group.h"

#pragma GCC visibility push(default)
namespace vorn {

class TvornRadioGroup : public ui::RadioGroup, public BoundControlBase {
    Q_OBJECT
    VORN_BOUND_CONTROL_PROPERTIES
    Q_PROPERTY(QStringList Values READ Values WRITE SetValues)

  public:
    TvornRadioGroup(const QString& caption, const QStringList& items, int columns = 1,
                    QWidget* parent = nullptr);
    explicit TvornRadioGroup(QWidget* parent = nullptr);

    const QStringList& Values() const { return values_; }
    void SetValues(const QStringList& values) { values_ = values; }

    int FilledItemIndex() const { return filledItemIndex_; }

    TNotifyEvent OnClick;

    void FillFromRecord(const QString& internal, const QString& external) override;
    void ClearValue() override;
    QString ShownText() const override;
    bool SettleValue() override;

  protected:
    void ButtonsMade() override;
    // The focus and the keys are the items' buttons'; the group watches them.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Click();
    void Exit();
    void ShowQuietly(int index);
    QStringList ItemTexts() const;

    QStringList values_;
    int filledItemIndex_ = -1;
};

}  // namespace vorn

#pragma GCC visibility pop
