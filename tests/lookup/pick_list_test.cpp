// The pick list's cells, its display piece, the too-many-matches messages and its sort; the
// finder against the development server: batches, their events and the continuation.
#include "lookup/internal/pick_list.h"
#include "lookup/find_dialog_layout.h"

#include <gtest/gtest.h>

#include <QSet>
#include <algorithm>

#include "broker/pieces.h"
#include "lookup/vorn_finder.h"
#include "tests/support/source_fixture.h"

namespace vorn {
namespace {

// The lines as the finder receives them: the record number, then one piece per field.
TEST(PickListColumns, EachShowsItsOwnPieceAndSplitsItsEntryAtTheCommas) {
    const auto cells = [](const QStringList& fields, const QString& line) {
        QStringList out;
        for (int column = 0; column < fields.size(); ++column)
            out.append(picklist::CellText(line, fields, column));
        return out;
    };
    EXPECT_EQ(cells({".01", "2"}, "7^LAINE,LIISA^DEC 24, 1974"),
              (QStringList{"LAINE,LIISA", "DEC 24, 1974"}));
    EXPECT_EQ(cells({".001", ".01"}, "7^7^LAINE,LIISA"), (QStringList{"7", "LAINE,LIISA"}));
    EXPECT_EQ(cells({".01", ".001", "2"}, "7^LAINE,LIISA^7^DEC 24, 1974"),
              (QStringList{"LAINE,LIISA", "7", "DEC 24, 1974"}));
    EXPECT_EQ(cells({".01", "2", "3"}, "7^LAINE,LIISA"), (QStringList{"LAINE,LIISA", "", ""}))
        << "a short line gives empty cells";
    // The piece displayed is that of the name column, or the second.
    EXPECT_EQ(picklist::DisplayPiece({".01,Name,250"}), 2);
    EXPECT_EQ(picklist::DisplayPiece({"2,Born,100", ".01,Name,250"}), 3);
    EXPECT_EQ(picklist::DisplayPiece({".001,No,40", "2,Born,100", ".01,Name,250"}), 4);
    EXPECT_EQ(picklist::DisplayPiece({"2,Born,100"}), 2);
    // The entries split at the commas.
    const auto columns = picklist::Columns({".01,Name,250", "2,Date of birth,90"});
    ASSERT_EQ(columns.size(), 2);
    EXPECT_EQ(columns[1].field, "2");
    EXPECT_EQ(columns[1].caption, "Date of birth");
    EXPECT_EQ(columns[1].width, 90);
    EXPECT_EQ(picklist::FieldNumbers({".01,Name,250", "2,Date of birth,90"}),
              (QStringList{".01", "2"}));
}

// The finder on the persons (80000) of the development server, five records a batch.
class Finder : public test::SourceServer {
  protected:
    Finder() {
        finder.setObjectName("vornFinder1");
        finder.FileNumber = "80000";
        finder.Number = "5";
        finder.SetRPCBroker(&Broker());
    }
    // Piece `n` of each line: 1 its record number, 2 its first field.
    static QStringList Pieces(const QStringList& lines, int n) {
        QStringList pieces;
        for (const QString& line : lines)
            pieces.append(Piece(line, "^", n));
        return pieces;
    }
    TvornFinder finder;
};

TEST_F(Finder, FirstBatchRaisesItsEventsAroundOneListerCall) {
    std::vector<std::string> events;
    finder.BeforeGetList = [&](QObject* sender, QString& screen, QString& index, QString& number,
                               QString& iens, QStringList& partList) {
        EXPECT_EQ(sender, &finder);
        EXPECT_EQ(number, "5");
        number = "3";  // the handler may change what is asked for
        events.push_back("before");
    };
    finder.AfterGetList = [&](QObject*) { events.push_back("after"); };
    const std::size_t mark = CallMark();
    QStringList shown = {"left from before"};
    finder.GetList(&shown);
    EXPECT_EQ(events, (std::vector<std::string>{"before", "after"}));
    EXPECT_EQ(CallNamesSince(mark), std::vector<std::string>{"DDR LISTER"});
    EXPECT_EQ(finder.Records.size(), 3);
    EXPECT_EQ(shown.size(), 3);
    EXPECT_EQ(shown.first(), Piece(finder.Records.first(), "^", 2));
    EXPECT_TRUE(finder.MoreRecords);
    EXPECT_EQ(finder.FromList.size(), 1);
    EXPECT_FALSE(finder.FromIENS.isEmpty());
}

TEST_F(Finder, NextBatchGoesOnWhereTheServerSaidAndAppends) {
    QStringList shown;
    finder.GetList(&shown);
    int before = 0, after = 0;
    finder.BeforeGetMore = [&](QObject*, QString&, QString&, QString&, QString&, QString& fromIens,
                               QStringList&, QStringList& fromList) {
        EXPECT_EQ(fromIens, Piece(finder.Records.last(), "^", 1));
        EXPECT_EQ(fromList.size(), 1);
        ++before;
    };
    finder.AfterGetMore = [&](QObject*) { ++after; };
    finder.GetMore(&shown);
    EXPECT_EQ(before, 1);
    EXPECT_EQ(after, 1);
    EXPECT_EQ(finder.Records.size(), 10);
    EXPECT_EQ(shown.size(), 10);
    const QStringList numbers = Pieces(finder.Records, 1);
    EXPECT_EQ(QSet<QString>(numbers.begin(), numbers.end()).size(), 10);
}

TEST_F(Finder, ABatchThatRepeatsRecordsAddsNothingForThem) {
    QStringList shown;
    finder.GetList(&shown);
    const QStringList first = finder.Records;
    // Going on from the start again: the server sends the same five records.
    finder.BeforeGetMore = [](QObject*, QString&, QString&, QString&, QString&, QString& fromIens,
                              QStringList&, QStringList& fromList) {
        fromIens.clear();
        fromList.clear();
    };
    finder.GetMore(&shown);
    EXPECT_EQ(finder.Records, first);
    EXPECT_EQ(shown.size(), 5);
}

TEST_F(Finder, ALookupFindsTheEntriesBeginningWithTheText) {
    finder.SetPart("sal");
    finder.FieldList = {".01", "3"};
    const std::size_t mark = CallMark();
    finder.GetList();
    EXPECT_EQ(CallNamesSince(mark), std::vector<std::string>{"VRNX FINDER"});
    EXPECT_TRUE(finder.LookupRequested());
    QStringList names = Pieces(finder.Records, 2);
    names.sort();
    EXPECT_EQ(names, (QStringList{"SALMINEN,MIKKO", "SALO,RIITTA", "SALONEN,TUULA"}));
    EXPECT_EQ(finder.Records.first().count(u'^'), 2);
}

TEST_F(Finder, WithoutAFileNumberWarnsAndSendsNothing) {
    finder.FileNumber.clear();
    Expect(ui::MessageKind::Warning, "File Number is not initialized!");
    const std::size_t mark = CallMark();
    finder.GetList();
    for (const std::string& call : CallNamesSince(mark))
        EXPECT_EQ(call, "VRNX DIALOG");  // only the message dialog's captions
    EXPECT_TRUE(finder.Records.isEmpty());
}

// A walk without text says nothing about more.
TEST_F(Finder, OnlyALimitedSearchWithMoreTellsTheUserToSearchMoreSpecifically) {
    finder.Number = "3";
    picklist::FetchPage(finder, false);
    EXPECT_TRUE(finder.MoreRecords);
    picklist::FetchPage(finder, true);
    EXPECT_EQ(finder.Records.size(), 6);
    EXPECT_TRUE(modal.Log().empty());
    finder.SetPart("SA");
    Expect(ui::MessageKind::Information, QStringLiteral("There were more than 3 records found. \r\n"
                                                        "Make more specific search."));
    picklist::FetchPage(finder, false);
    EXPECT_EQ(finder.Records.size(), 3);
    EXPECT_FALSE(finder.MoreRecords);
}

// The order of each type of field of 80001 (6 numeric, 4 a date, 2 free text): the type asked
// once, each date read once however many rows share it; descending is ascending reversed.
TEST_F(Finder, SortsThePickListInTheOrderOfTheFieldsType) {
    finder.FileNumber = "80001";
    const struct {
        QString field;
        QStringList lines;
        QStringList ascending;  // record numbers
        std::size_t validatorCalls;
    } cases[] = {{"6", {"1^A^100", "2^B^9", "3^C^10"}, {"2", "3", "1"}, 0},
                 {"4",
                  {"1^A^DEC 6, 2026", "2^B^JAN 1, 2010", "3^C^DEC 6, 2026", "4^D^MAR 5, 1999",
                   "5^E^JAN 1, 2010"},
                  {"4", "2", "5", "1", "3"},
                  3},
                 {"2", {"1^A^banana", "2^B^Apple", "3^C^cherry"}, {"2", "1", "3"}, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field.toStdString());
        const auto sorted = [&](TvornGridOrder order) {
            finder.FieldList = {".01", c.field};
            finder.Records = c.lines;
            picklist::SortRecords(finder, c.field, order);
            return Pieces(finder.Records, 1);
        };
        const std::size_t mark = CallMark();
        EXPECT_EQ(sorted(soAscending), c.ascending);
        EXPECT_EQ(CallCount(mark, "DDR VALIDATOR"), c.validatorCalls);
        EXPECT_EQ(CallCount(mark, "VRNX DDU FIELDS"), 1u);
        QStringList reversed = c.ascending;
        std::reverse(reversed.begin(), reversed.end());
        EXPECT_EQ(sorted(soDescending), reversed);
    }
    // A field not among the finder's fields leaves the order, and asks nothing.
    finder.FieldList = {".01"};
    finder.Records = {"2^B", "1^A"};
    const std::size_t mark = CallMark();
    picklist::SortRecords(finder, "6", soAscending);
    EXPECT_EQ(finder.Records, (QStringList{"2^B", "1^A"}));
    EXPECT_TRUE(CallNamesSince(mark).empty());
}

// The find dialog's parts for one 250-pixel column, eight rows of 20, two buttons, a More
// button of 25 and Find again of 75: every part lies inside the client area (the form less its
// frame of 8 by 31), none over another, and the button row is not cut off.
TEST(FindDialogLayout, KeepsEveryPartInsideTheClientArea) {
    const FindDialogMeasures m{.searchHeight = 21,
                               .columnWidths = {250},
                               .buttonCount = 2,
                               .moreWidth = 25,
                               .findWidth = 75};
    const FindDialogLayout l = LayOutFindDialog(m);
    const int clientWidth = l.formWidth - 8;
    EXPECT_LE(l.searchWidth, l.findLeft) << "the search box ends before Find again";
    EXPECT_LE(l.findLeft + m.findWidth, clientWidth);
    EXPECT_LE(m.searchTop + m.searchHeight, l.gridTop);
    EXPECT_GE(l.gridWidth, 250);
    EXPECT_LE(l.gridWidth, clientWidth);
    EXPECT_LE(l.gridTop + l.gridHeight, l.buttonTop);
    EXPECT_LE(l.buttonPitch * m.buttonCount - 1, l.moreLeft) << "the buttons end before More";
    EXPECT_LE(l.moreLeft + m.moreWidth, clientWidth);
    EXPECT_LE(l.buttonTop + l.buttonHeight, l.formHeight - 31) << "the button row is not cut off";
}

}  // namespace
}  // namespace vorn
