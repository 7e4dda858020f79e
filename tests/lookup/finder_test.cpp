// The finder against the development server: batches, their events and the continuation.
#include "lookup/vorn_finder.h"

#include <gtest/gtest.h>

#include <QSet>

#include "broker/pieces.h"
#include "tests/support/source_fixture.h"

namespace vorn {
namespace {

class Finder : public test::SourceServer {
  protected:
    Finder() {
        finder.setObjectName("vornFinder1");
        finder.FileNumber = "80000";
        finder.Number = "5";
        finder.SetRPCBroker(&Broker());
    }
    static QStringList Numbers(const QStringList& lines) {
        QStringList numbers;
        for (const QString& line : lines)
            numbers.append(Piece(line, "^", 1));
        return numbers;
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
    const QStringList numbers = Numbers(finder.Records);
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
    QStringList names;
    for (const QString& line : finder.Records)
        names.append(Piece(line, "^", 2));
    names.sort();
    EXPECT_EQ(names, (QStringList{"SALMINEN,MIKKO", "SALO,RIITTA", "SALONEN,TUULA"}));
    EXPECT_EQ(finder.Records.first().count(u'^'), 2);
}

TEST_F(Finder, WithoutAFileNumberWarnsAndSendsNothing) {
    finder.FileNumber.clear();
    test::ExpectToolsetMessage(modal, ui::MessageKind::Warning,
                               QStringLiteral("File Number is not initialized!"));
    const std::size_t mark = CallMark();
    finder.GetList();
    for (const std::string& call : CallNamesSince(mark))
        EXPECT_EQ(call, "VRNX DIALOG");  // only the message dialog's captions

    EXPECT_TRUE(finder.Records.isEmpty());
}

}  // namespace
}  // namespace vorn
