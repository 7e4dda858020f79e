// What forms are built with: the adjustment to the display, the help file and contexts, and
// radio groups.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGridLayout>
#include <QRadioButton>
#include <QTableWidget>
#include <QVariant>
#include <QWidget>

#include "toolkit/display_adjustment.h"
#include "toolkit/internal/display_metrics.h"
#include "toolkit/internal/help_file.h"
#include "toolkit/radio_group.h"

namespace vorn::ui {
namespace {

class DisplayAdjustment : public ::testing::Test {
  protected:
    void SetUp() override {
        form.resize(600, 400);
        grid = new QTableWidget(2, 3, &form);
        grid->setColumnWidth(0, 100);
        grid->setColumnWidth(1, 37);
        grid->setColumnWidth(2, 64);
        nested = new QTableWidget(1, 1, new QWidget(&form));  // on a page of the form
        nested->setColumnWidth(0, 80);
    }
    void TearDown() override { SetDisplayOverride(std::nullopt); }
    void Adjust(int width, int dotsPerInch) {
        SetDisplayOverride(DisplayMetrics{width, dotsPerInch});
        AdjustFormToDisplay(form);
    }

    QWidget form;
    QTableWidget* grid = nullptr;
    QTableWidget* nested = nullptr;
};

TEST_F(DisplayAdjustment, TheDesignDisplayChangesNothingAnotherWidthSwitchesScalingOffOnly) {
    Adjust(1024, 96);
    EXPECT_FALSE(form.property("Scaled").isValid());
    EXPECT_FALSE(form.property("AutoScroll").isValid());
    EXPECT_EQ(grid->columnWidth(1), 37);
    form.setProperty("Scaled", true);
    form.setProperty("AutoScroll", true);
    Adjust(1280, 96);
    EXPECT_EQ(form.property("Scaled"), QVariant(false));
    EXPECT_EQ(form.property("AutoScroll"), QVariant(false));
    EXPECT_EQ(form.size(), QSize(600, 400));
    EXPECT_EQ(grid->columnWidth(0), 100);
}

TEST_F(DisplayAdjustment, LargeFontsGrowTheFormAndEveryGridColumnByAQuarter) {
    Adjust(1024, 120);
    EXPECT_EQ(form.property("Scaled"), QVariant(false));
    EXPECT_EQ(form.property("AutoScroll"), QVariant(false));
    EXPECT_EQ(form.size(), QSize(750, 500));
    EXPECT_EQ(grid->columnWidth(0), 125);
    EXPECT_EQ(grid->columnWidth(1), 37 + 9);
    EXPECT_EQ(grid->columnWidth(2), 80);
    EXPECT_EQ(nested->columnWidth(0), 100);
}

TEST_F(DisplayAdjustment, AFixedSizeFormStaysFixedAtItsNewSizeCutToWholePixels) {
    form.setFixedSize(301, 203);
    Adjust(1600, 144);
    EXPECT_EQ(form.size(), QSize(301 * 120 / 96, 203 * 120 / 96));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
}

TEST(HelpFile, IsOneSettingOfTheApplicationAndContextsBelongToTheirWidgets) {
    SetApplicationHelpFile("labtest.hlp");
    EXPECT_EQ(qApp->property("HelpFile").toString(), "labtest.hlp");
    {
        ScopedHelpFile agent("/opt/zizedez/zizedez.hlp");
        EXPECT_EQ(ApplicationHelpFile(), "/opt/zizedez/zizedez.hlp");
        {
            ScopedHelpFile inner("other.hlp");
            EXPECT_EQ(ApplicationHelpFile(), "other.hlp");
        }
        EXPECT_EQ(ApplicationHelpFile(), "/opt/zizedez/zizedez.hlp");
    }
    EXPECT_EQ(ApplicationHelpFile(), "labtest.hlp");
    // Help contexts belong to their widgets, and the topic goes to the installed handler.
    QWidget form;
    EXPECT_EQ(HelpContext(form), 0);
    SetHelpContext(form, 7);
    ShowHelp(1);  // nothing installed: nothing happens
    std::vector<std::pair<QString, int>> shown;
    SetHelpHandler([&](const QString& file, int context) { shown.emplace_back(file, context); });
    ShowHelp(HelpContext(form));
    SetHelpHandler(nullptr);
    ShowHelp(8);
    EXPECT_EQ(shown, (std::vector<std::pair<QString, int>>{{"labtest.hlp", 7}}));
    SetApplicationHelpFile({});
}

TEST(RadioGroup, ChoosesByNumberOrByClickNoneForANumberOutsideAndFillsColumnsTopToBottom) {
    RadioGroup group("G", {"a", "b", "c"});
    EXPECT_EQ(group.ItemIndex(), -1) << "no item is chosen at first";
    EXPECT_EQ(group.Button(3), nullptr);
    std::vector<int> changes;
    QObject::connect(&group, &RadioGroup::ItemIndexChanged, [&](int i) { changes.push_back(i); });
    group.SetItemIndex(2);
    EXPECT_EQ(group.ItemIndex(), 2);
    EXPECT_TRUE(group.Button(2)->isChecked());
    group.Button(0)->click();
    EXPECT_EQ(group.ItemIndex(), 0);
    EXPECT_FALSE(group.Button(2)->isChecked());
    EXPECT_EQ(changes, (std::vector<int>{2, 0}));
    // A number outside the items chooses none; the group stays exclusive afterwards.
    group.SetItemIndex(5);
    EXPECT_EQ(group.ItemIndex(), -1);
    EXPECT_FALSE(group.Button(0)->isChecked());
    group.SetItemIndex(-1);
    EXPECT_EQ(group.ItemIndex(), -1);
    group.SetItemIndex(1);
    group.Button(2)->click();
    EXPECT_FALSE(group.Button(1)->isChecked());
    // Columns are filled top to bottom.
    RadioGroup columns("G", {"a", "b", "c", "d", "e"}, 2);
    auto* grid = qobject_cast<QGridLayout*>(columns.layout());
    ASSERT_NE(grid, nullptr);
    const auto cell = [&](int item) {
        int row, column, rows, span;
        grid->getItemPosition(grid->indexOf(columns.Button(item)), &row, &column, &rows, &span);
        return std::make_pair(row, column);
    };
    EXPECT_EQ(cell(0), std::make_pair(0, 0));
    EXPECT_EQ(cell(2), std::make_pair(2, 0));
    EXPECT_EQ(cell(3), std::make_pair(0, 1));
    EXPECT_EQ(cell(4), std::make_pair(1, 1));
}

}  // namespace
}  // namespace vorn::ui
