#include "toolkit/display_adjustment.h"

#include <gtest/gtest.h>

#include <QTableWidget>
#include <QVariant>
#include <QWidget>

#include "toolkit/display_metrics.h"

namespace vorn {
namespace {

class DisplayAdjustment : public ::testing::Test {
  protected:
    void SetUp() override {
        form.resize(600, 400);
        grid = new QTableWidget(2, 3, &form);
        grid->setColumnWidth(0, 100);
        grid->setColumnWidth(1, 37);
        grid->setColumnWidth(2, 64);
        auto* page = new QWidget(&form);
        nested = new QTableWidget(1, 1, page);
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

TEST_F(DisplayAdjustment, TheDesignDisplayChangesNothing) {
    Adjust(1024, 96);
    EXPECT_FALSE(form.property("Scaled").isValid());
    EXPECT_FALSE(form.property("AutoScroll").isValid());
    EXPECT_EQ(form.size(), QSize(600, 400));
    EXPECT_EQ(grid->columnWidth(1), 37);
}

TEST_F(DisplayAdjustment, AnotherWidthSwitchesScalingAndScrollingOffOnly) {
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

TEST_F(DisplayAdjustment, SizesAreCutToWholePixels) {
    form.resize(301, 203);
    Adjust(1600, 144);
    EXPECT_EQ(form.size(), QSize(301 * 120 / 96, 203 * 120 / 96));
}

TEST_F(DisplayAdjustment, AFixedSizeFormStaysFixedAtItsNewSize) {
    form.setFixedSize(400, 200);
    Adjust(1024, 120);
    EXPECT_EQ(form.size(), QSize(500, 250));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
}

TEST(DisplayMetrics, TheOverrideStandsForTheScreen) {
    SetDisplayOverride(DisplayMetrics{800, 120});
    EXPECT_EQ(CurrentDisplay().width, 800);
    EXPECT_EQ(CurrentDisplay().dotsPerInch, 120);
    SetDisplayOverride(std::nullopt);
    EXPECT_GT(CurrentDisplay().width, 0);
    EXPECT_GT(CurrentDisplay().dotsPerInch, 0);
}

}  // namespace
}  // namespace vorn
