// A titled group of radio buttons of which at most one is chosen, addressed by item number,
// with the items laid out in columns (filled top to bottom, then left to right).
#pragma once

#include <QGroupBox>
#include <QStringList>
#include <vector>

#pragma GCC visibility push(default)
class QButtonGroup;
class QRadioButton;

namespace vorn::ui {

class RadioGroup : public QGroupBox {
    Q_OBJECT
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex NOTIFY ItemIndexChanged)
    Q_PROPERTY(QStringList Items READ Items WRITE SetItems)
    Q_PROPERTY(int Columns READ Columns WRITE SetColumns)

  public:
    RadioGroup(const QString& caption, const QStringList& items, int columns = 1,
               QWidget* parent = nullptr);

    // The items' texts; setting them makes the buttons anew (none chosen).
    QStringList Items() const;
    void SetItems(const QStringList& items);
    void SetColumns(int columns);

    // The chosen item, or -1 when none is.
    int ItemIndex() const;
    // A number outside the items chooses none.
    void SetItemIndex(int index);

    int Count() const { return static_cast<int>(buttons_.size()); }
    int Columns() const { return columns_; }
    QRadioButton* Button(int index) const;

  signals:
    void ItemIndexChanged(int index);

  protected:
    // The buttons were made anew.
    virtual void ButtonsMade() {}

  private:
    void MakeButtons(const QStringList& items);

    QButtonGroup* group_;
    std::vector<QRadioButton*> buttons_;
    int columns_;
};

}  // namespace vorn::ui

#pragma GCC visibility pop
