#include "toolkit/radio_group.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>
#include <algorithm>

namespace vorn::ui {

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, int columns,
                       QWidget* parent)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)), columns_(std::max(columns, 1)) {
    new QGridLayout(this);
    MakeButtons(items);
    connect(group_, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on) emit ItemIndexChanged(id);
    });
}

void RadioGroup::MakeButtons(const QStringList& items) {
    for (QRadioButton* button : buttons_)
        delete button;
    buttons_.clear();
    auto* grid = static_cast<QGridLayout*>(layout());
    const int perColumn = std::max<int>(1, (items.size() + columns_ - 1) / columns_);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        group_->addButton(button, i);
        grid->addWidget(button, i % perColumn, i / perColumn);
        buttons_.push_back(button);
    }
}

QStringList RadioGroup::Items() const {
    QStringList items;
    for (const QRadioButton* button : buttons_)
        items.append(button->text());
    return items;
}

void RadioGroup::SetItems(const QStringList& items) {
    MakeButtons(items);
    ButtonsMade();
}

void RadioGroup::SetColumns(int columns) {
    columns_ = std::max(columns, 1);
    SetItems(Items());
}

int RadioGroup::ItemIndex() const {
    return group_->checkedId();
}

void RadioGroup::SetItemIndex(int index) {
    if (index >= 0 && index < Count()) {
        buttons_[index]->setChecked(true);
        return;
    }
    // An exclusive group never unchecks its last button by itself.
    if (QAbstractButton* checked = group_->checkedButton()) {
        group_->setExclusive(false);
        checked->setChecked(false);
        group_->setExclusive(true);
        emit ItemIndexChanged(-1);
    }
}

QRadioButton* RadioGroup::Button(int index) const {
    return index >= 0 && index < Count() ? buttons_[index] : nullptr;
}

}  // namespace vorn::ui
