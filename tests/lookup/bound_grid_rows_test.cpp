// The grid's row store moves, its column fitting and its logical listing, without a grid.
#include <gtest/gtest.h>

#include "lookup/internal/bound_grid_columns.h"
#include "lookup/internal/bound_grid_rows.h"
#include "lookup/internal/logical_listing.h"

namespace vorn {
namespace {

TEST(GridMove, GivesTheNeighbouringRecordOrNone) {
    const QStringList rows = {"7^ALT^Alanine", "3^AST^Aspartate", "12^GGT^Gamma", "5^HB^Hemo"};
    using enum TvornGridLink::Direction;
    // "1" is a prefix of "12", not its record; 99 is not listed; "" is no record.
    const struct {
        TvornGridLink::Direction direction;
        QString from, to;
    } cases[] = {{First, "12", "7"}, {Last, "3", "5"},  {Prior, "12", "3"},
                 {Prior, "7", ""},   {Next, "3", "12"}, {Next, "5", ""},
                 {Next, "1", ""},    {Prior, "99", ""}, {Next, "", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(gridrows::Neighbour(rows, c.direction, c.from), c.to)
            << c.direction << " of " << c.from.toStdString();
    // On no rows nothing is found.
    EXPECT_EQ(gridrows::Neighbour({}, First, "7"), "");
    EXPECT_EQ(gridrows::Neighbour({}, Last, "7"), "");
    EXPECT_EQ(gridrows::IndexOf(rows, ""), -1);
}

TEST(GridColumns, ReadAndWriteTheirFieldsLineAndFitInsideTheGrid) {
    const gridcolumns::Column c = gridcolumns::Parse(".01,Abbreviation,80", 150);
    EXPECT_EQ(c.field, ".01");
    EXPECT_EQ(c.caption, "Abbreviation");
    EXPECT_EQ(c.width, 80);
    EXPECT_EQ(gridcolumns::Line({"4", "Introduced", 120}), "4,Introduced,120");
    // A line without a usable width keeps the grid's default width rather than vanishing.
    EXPECT_EQ(gridcolumns::Parse("2,Name", 150).width, 150);
    EXPECT_EQ(gridcolumns::Parse("2,Name,wide", 150).width, 150);
    const struct {
        QList<int> widths;
        int gridWidth;
        QList<int> fitted;
    } cases[] = {// The last column takes the rest: 400 - (101 + 101) - 5.
                 {{100, 100, 100}, 400, {100, 100, 193}},
                 // Column 1 would leave the last column less than its 8 pixels: it shrinks to 7.
                 {{100, 380, 50}, 400, {100, 7, 286}},
                 // So does a wide first column.
                 {{500, 50, 50}, 400, {7, 50, 336}},
                 // Too narrow for 7 pixels a column: nothing shrinks, the last is kept visible.
                 {{100, 100, 100}, 20, {100, 100, 7}}};
    for (const auto& c : cases)
        EXPECT_EQ(gridcolumns::Fit(c.widths, c.gridWidth, 1), c.fitted) << c.gridWidth;
}

// The logical listing's call and the reading of its reply.
using Entries = QList<QPair<QString, QString>>;

const Entries kHead = {
    {"\"FILE\"", "80006"}, {"\"XREF\"", "C"}, {"\"IEN\"", "12"}, {"\"FIELDS\"", ".01;3;"}};
Entries With(const Entries& tail) {
    return kHead + tail;
}

TEST(LogicalListing, SendsTheseEntriesInThisOrderAndReadsRowsAndWhetherMoreFollow) {
    // The call and its one list parameter; its entries.
    const auto entries = [](const logical::Query& query, int line) {
        SCOPED_TRACE(testing::Message() << "the query checked on line " << line);
        const RpcRequest request = logical::Request(query);
        EXPECT_EQ(request.Procedure(), "VRNX LOGICAL POINTER");
        EXPECT_EQ(request.Parameters().size(), 1);
        EXPECT_EQ(request.Parameters().value(0).kind, TParamType::list);
        return request.Parameters().value(0).entries;
    };
    logical::Query first;  // the departmental lab tests of lab test 12
    first.file = "80006";
    first.xref = "C";
    first.masterRecord = "12";
    first.fields = {".01", "3"};
    first.number = "50";
    // The first batch sorts on the name field.
    EXPECT_EQ(entries(first, __LINE__), With({{"\"MAX\"", "50"}, {"\"SORT\"", ".01"}}));
    logical::Query q = first;
    q.number = "*";  // no MAX
    EXPECT_EQ(entries(q, __LINE__), With({{"\"SORT\"", ".01"}}));
    q = first;
    q.continues = true;
    q.from = "52;ICU";
    EXPECT_EQ(entries(q, __LINE__),
              With({{"\"MAX\"", "50"}, {"\"FROM\"", "52;ICU"}, {"\"SORT\"", ".01"}}));
    q = first;
    q.sortField = "3";
    q.descending = true;
    EXPECT_EQ(entries(q, __LINE__),
              With({{"\"MAX\"", "50"}, {"\"SORT\"", "3"}, {"\"SORTDIR\"", "DESC"}}));
    q = first;
    q.screen = "I Y'=5";  // last
    EXPECT_EQ(entries(q, __LINE__),
              With({{"\"MAX\"", "50"}, {"\"SORT\"", ".01"}, {"\"SCREEN\"", "I Y'=5"}}));
    // The reply.
    const struct {
        QString text;
        const char* lines;  // the rows read, one a line
        bool more;
        QString from;
    } cases[] = {
        {"[Misc]\r\nMORE^^52;ICU\r\n[Data]\r\n17^ICU^ALWAYS\r\n52^ICU^ALWAYS\r\n",
         "17^ICU^ALWAYS\n52^ICU^ALWAYS", true, "52;ICU"},
        {"[Data]\r\n17^ICU^ALWAYS\r\n", "17^ICU^ALWAYS", false, ""},
        // A miscellaneous section after a leading data section does not bring more back.
        {"[Data]\r\n17^ICU^ALWAYS\r\n[Misc]\r\nMORE^^17;ICU\r\n", "17^ICU^ALWAYS", false, ""},
        {"[BEGIN_diDATA]\r\n17^ICU\r\n[END_diDATA]\r\nstray\r\n", "17^ICU", false, ""},
        {"[Errors]\r\nThe master record (IEN) is missing.\r\n", "", false, ""},
        {"", "", false, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const logical::Reply read = logical::ReadReply(RpcReply(c.text));
        EXPECT_EQ(read.lines, QString(c.lines).split(u'\n', Qt::SkipEmptyParts));
        EXPECT_EQ(read.more, c.more);
        EXPECT_EQ(read.from, c.from);
    }
    // Errors are kept apart from the rows.
    const logical::Reply read =
        logical::ReadReply(RpcReply("[BEGIN_diERRORS]\r\nField 9 does not exist.\r\n"));
    EXPECT_EQ(read.errors, QStringList{"Field 9 does not exist."});
    EXPECT_TRUE(read.lines.isEmpty());
}

}  // namespace
}  // namespace vorn
