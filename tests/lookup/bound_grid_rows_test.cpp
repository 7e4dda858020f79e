// The grid's row store moves, its column fitting and its logical listing, without a grid.
#include <gtest/gtest.h>

#include "lookup/internal/bound_grid_columns.h"
#include "lookup/internal/bound_grid_rows.h"
#include "lookup/internal/logical_listing.h"

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

// The logical listing's call and the reading of its reply.
using Entries = QList<QPair<QString, QString>>;

logical::Query LabTestsOf12() {
    logical::Query query;
    query.file = "80006";
    query.xref = "C";
    query.masterRecord = "12";
    query.fields = {".01", "3"};
    query.number = "50";
    return query;
}

struct RequestCase {
    const char* name;
    std::function<void(logical::Query&)> change;
    Entries entries;
};

class LogicalRequest : public ::testing::TestWithParam<RequestCase> {};

TEST_P(LogicalRequest, SendsTheseEntriesInThisOrder) {
    logical::Query query = LabTestsOf12();
    GetParam().change(query);
    const RpcRequest request = logical::Request(query);
    EXPECT_EQ(request.Procedure(), "VRNX LOGICAL POINTER");
    ASSERT_EQ(request.Parameters().size(), 1);
    EXPECT_EQ(request.Parameters()[0].kind, TParamType::list);
    EXPECT_EQ(request.Parameters()[0].entries, GetParam().entries);
}

const Entries kHead = {
    {"\"FILE\"", "80006"}, {"\"XREF\"", "C"}, {"\"IEN\"", "12"}, {"\"FIELDS\"", ".01;3;"}};

Entries With(Entries tail) {
    Entries all = kHead;
    all += tail;
    return all;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LogicalRequest,
    ::testing::Values(
        RequestCase{"FirstBatchSortsOnTheNameField", [](logical::Query&) {},
                    With({{"\"MAX\"", "50"}, {"\"SORT\"", ".01"}})},
        RequestCase{"NumberStarSendsNoMax", [](logical::Query& q) { q.number = "*"; },
                    With({{"\"SORT\"", ".01"}})},
        RequestCase{"ContinuationSendsFrom",
                    [](logical::Query& q) {
                        q.continues = true;
                        q.from = "52;ICU";
                    },
                    With({{"\"MAX\"", "50"}, {"\"FROM\"", "52;ICU"}, {"\"SORT\"", ".01"}})},
        RequestCase{"DescendingSortOnAField",
                    [](logical::Query& q) {
                        q.sortField = "3";
                        q.descending = true;
                    },
                    With({{"\"MAX\"", "50"}, {"\"SORT\"", "3"}, {"\"SORTDIR\"", "DESC"}})},
        RequestCase{"ScreenLast", [](logical::Query& q) { q.screen = "I Y'=5"; },
                    With({{"\"MAX\"", "50"}, {"\"SORT\"", ".01"}, {"\"SCREEN\"", "I Y'=5"}})}),
    [](const auto& info) { return std::string(info.param.name); });

struct ReplyCase {
    const char* name;
    QString text;
    const char* lines;  // the rows read, one a line
    bool more;
    QString from;
};

class LogicalReply : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(LogicalReply, ReadsRowsAndWhetherMoreFollow) {
    const logical::Reply read = logical::ReadReply(RpcReply(GetParam().text));
    EXPECT_EQ(read.lines, QString(GetParam().lines).split(u'\n', Qt::SkipEmptyParts));
    EXPECT_EQ(read.more, GetParam().more);
    EXPECT_EQ(read.from, GetParam().from);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LogicalReply,
    ::testing::Values(
        ReplyCase{"MiscFirstLeavesMore",
                  "[Misc]\r\nMORE^^52;ICU\r\n[Data]\r\n17^ICU^ALWAYS\r\n52^ICU^ALWAYS\r\n",
                  "17^ICU^ALWAYS\n52^ICU^ALWAYS", true, "52;ICU"},
        ReplyCase{"DataFirstLeavesNone", "[Data]\r\n17^ICU^ALWAYS\r\n", "17^ICU^ALWAYS", false, ""},
        // A miscellaneous section after a leading data section does not bring more back.
        ReplyCase{"DataFirstOutranksALaterMisc",
                  "[Data]\r\n17^ICU^ALWAYS\r\n[Misc]\r\nMORE^^17;ICU\r\n", "17^ICU^ALWAYS", false,
                  ""},
        ReplyCase{"BeginDataEndsAtEndMarker",
                  "[BEGIN_diDATA]\r\n17^ICU\r\n[END_diDATA]\r\nstray\r\n", "17^ICU", false, ""},
        ReplyCase{"ErrorsAreNoRows", "[Errors]\r\nThe master record (IEN) is missing.\r\n", "",
                  false, ""},
        ReplyCase{"EmptyReply", "", "", false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LogicalReplyErrors, AreKeptApartFromTheRows) {
    const logical::Reply read =
        logical::ReadReply(RpcReply("[BEGIN_diERRORS]\r\nField 9 does not exist.\r\n"));
    EXPECT_EQ(read.errors, QStringList{"Field 9 does not exist."});
    EXPECT_TRUE(read.lines.isEmpty());
}

}  // namespace
}  // namespace vorn
