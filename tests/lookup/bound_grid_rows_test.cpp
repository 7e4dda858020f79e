// The grid's row store moves and its column fitting, without a grid.
#include <gtest/gtest.h>

#include "lookup/bound_grid_columns.h"
#include "lookup/bound_grid_rows.h"

namespace vorn {
namespace {

const QStringList kRows = {"7^ALT^Alanine", "3^AST^Aspartate", "12^GGT^Gamma", "5^HB^Hemo"};

struct MoveCase {
    const char* name;
    TvornGridLink::Direction direction;
    QString from;
    QString to;
};

class GridMove : public ::testing::TestWithParam<MoveCase> {};

TEST_P(GridMove, GivesTheNeighbouringRecord) {
    EXPECT_EQ(gridrows::Neighbour(kRows, GetParam().direction, GetParam().from), GetParam().to);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GridMove,
    ::testing::Values(MoveCase{"FirstIsRowOne", TvornGridLink::First, "12", "7"},
                      MoveCase{"LastIsTheLastRow", TvornGridLink::Last, "3", "5"},
                      MoveCase{"PriorOfTheThirdRow", TvornGridLink::Prior, "12", "3"},
                      MoveCase{"PriorOfRowOneIsNone", TvornGridLink::Prior, "7", ""},
                      MoveCase{"NextOfTheSecondRow", TvornGridLink::Next, "3", "12"},
                      MoveCase{"NextOfTheLastRowIsNone", TvornGridLink::Next, "5", ""},
                      // "1" is a prefix of "12", not its record.
                      MoveCase{"NextOfAnUnlistedRecordIsNone", TvornGridLink::Next, "1", ""},
                      MoveCase{"PriorOfAnUnlistedRecordIsNone", TvornGridLink::Prior, "99", ""},
                      MoveCase{"NextOfNoRecordIsNone", TvornGridLink::Next, "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GridMove, OnNoRowsFindsNothing) {
    EXPECT_EQ(gridrows::Neighbour({}, TvornGridLink::First, "7"), "");
    EXPECT_EQ(gridrows::Neighbour({}, TvornGridLink::Last, "7"), "");
    EXPECT_EQ(gridrows::IndexOf(kRows, ""), -1);
}

TEST(GridColumns, ReadAndWriteTheirFieldsLine) {
    const gridcolumns::Column c = gridcolumns::Parse(".01,Abbreviation,80", 150);
    EXPECT_EQ(c.field, ".01");
    EXPECT_EQ(c.caption, "Abbreviation");
    EXPECT_EQ(c.width, 80);
    EXPECT_EQ(gridcolumns::Line({"4", "Introduced", 120}), "4,Introduced,120");
    // A line without a usable width keeps the grid's default width rather than vanishing.
    EXPECT_EQ(gridcolumns::Parse("2,Name", 150).width, 150);
    EXPECT_EQ(gridcolumns::Parse("2,Name,wide", 150).width, 150);
}

struct FitCase {
    const char* name;
    QList<int> widths;
    int gridWidth;
    QList<int> fitted;
};

class ColumnFit : public ::testing::TestWithParam<FitCase> {};

TEST_P(ColumnFit, KeepsTheColumnsInsideTheGrid) {
    EXPECT_EQ(gridcolumns::Fit(GetParam().widths, GetParam().gridWidth, 1), GetParam().fitted);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ColumnFit,
    ::testing::Values(
        // 400 - (101 + 101) - 5.
        FitCase{"LastColumnTakesTheRest", {100, 100, 100}, 400, {100, 100, 193}},
        // Column 1 would leave the last column less than its 8 pixels: it shrinks to 7.
        FitCase{"AColumnPushingTheOthersOutShrinks", {100, 380, 50}, 400, {100, 7, 286}},
        FitCase{"AWideFirstColumnShrinks", {500, 50, 50}, 400, {7, 50, 336}},
        // Too narrow for 7 pixels a column: nothing shrinks, the last is kept visible.
        FitCase{"ATinyGridOnlyKeepsTheLastColumnVisible", {100, 100, 100}, 20, {100, 100, 7}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorn
