#include "toolkit/radio_group.h"

#include <gtest/gtest.h>

#include <QGridLayout>
#include <QRadioButton>

namespace vorn::ui {
namespace {

TEST(RadioGroup, StartsWithNoItemChosen) {
    RadioGroup group("Window Size", {"Normal", "Current", "Remember"});
    EXPECT_EQ(group.title(), "Window Size");
    EXPECT_EQ(group.Count(), 3);
    EXPECT_EQ(group.ItemIndex(), -1);
    EXPECT_EQ(group.Button(1)->text(), "Current");
    EXPECT_EQ(group.Button(3), nullptr);
}

TEST(RadioGroup, ChoosingByNumberOrByClickIsTheSame) {
    RadioGroup group("G", {"a", "b", "c"});
    std::vector<int> changes;
    QObject::connect(&group, &RadioGroup::ItemIndexChanged, [&](int i) { changes.push_back(i); });
    group.SetItemIndex(2);
    EXPECT_EQ(group.ItemIndex(), 2);
    EXPECT_TRUE(group.Button(2)->isChecked());
    group.Button(0)->click();
    EXPECT_EQ(group.ItemIndex(), 0);
    EXPECT_FALSE(group.Button(2)->isChecked());
    EXPECT_EQ(changes, (std::vector<int>{2, 0}));
}

TEST(RadioGroup, ANumberOutsideTheItemsChoosesNone) {
    RadioGroup group("G", {"a", "b"});
    group.SetItemIndex(1);
    group.SetItemIndex(5);
    EXPECT_EQ(group.ItemIndex(), -1);
    EXPECT_FALSE(group.Button(1)->isChecked());
    group.SetItemIndex(-1);
    EXPECT_EQ(group.ItemIndex(), -1);
    group.SetItemIndex(0);
    EXPECT_EQ(group.ItemIndex(), 0) << "still exclusive afterwards";
    group.Button(1)->click();
    EXPECT_FALSE(group.Button(0)->isChecked());
}

TEST(RadioGroup, ColumnsAreFilledTopToBottom) {
    RadioGroup group("G", {"a", "b", "c", "d", "e"}, 2);
    auto* grid = qobject_cast<QGridLayout*>(group.layout());
    ASSERT_NE(grid, nullptr);
    const auto cell = [&](int item) {
        int row, column, rows, columns;
        grid->getItemPosition(grid->indexOf(group.Button(item)), &row, &column, &rows, &columns);
        return std::make_pair(row, column);
    };
    EXPECT_EQ(cell(0), std::make_pair(0, 0));
    EXPECT_EQ(cell(2), std::make_pair(2, 0));
    EXPECT_EQ(cell(3), std::make_pair(0, 1));
    EXPECT_EQ(cell(4), std::make_pair(1, 1));
    RadioGroup twoItems("Background Color", {"Cream", "White"}, 2);
    EXPECT_EQ(twoItems.Columns(), 2);
}

}  // namespace
}  // namespace vorn::ui
