// The finder's request and the reading of its reply, without a server.
#include "lookup/finder_request.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "lookup/vorn_finder.h"
#include "source/no_broker_link.h"

namespace vorn {
namespace {

// The entries of the request's list parameter, "subscript=value" in the order sent.
std::vector<std::string> Entries(const RpcRequest& request) {
    std::vector<std::string> entries;
    for (const auto& [subscript, value] : request.Parameters().value(0).entries)
        entries.push_back((subscript + u'=' + value).toStdString());
    return entries;
}

finder::Query PersonQuery() {
    finder::Query q;
    q.file = QStringLiteral("80000");
    q.fields = {QStringLiteral(".01")};
    q.number = QStringLiteral("20");
    q.fmIndex = QStringLiteral("B");
    return q;
}

struct RequestCase {
    const char* name;
    std::function<void(finder::Query&)> setUp;
    const char* procedure;
    std::vector<std::string> entries;
};

class FinderRequest : public ::testing::TestWithParam<RequestCase> {};

TEST_P(FinderRequest, SendsItsEntriesInOrder) {
    finder::Query query = PersonQuery();
    GetParam().setUp(query);
    const RpcRequest request = finder::Request(query);
    EXPECT_EQ(request.Procedure().toStdString(), GetParam().procedure);
    EXPECT_EQ(request.Parameters().value(0).value, ".DDR");
    EXPECT_EQ(Entries(request), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(
    Finder, FinderRequest,
    ::testing::Values(
        RequestCase{
            "ListerOnProtocolVersionOneIsPacked",
            [](finder::Query& q) { q.rpcVersion = QStringLiteral("1"); },
            "DDR LISTER",
            {"\"FILE\"=80000", "\"FIELDS\"=.01;", "\"FLAGS\"=P", "\"MAX\"=20", "\"XREF\"=B"}},
        RequestCase{"ListerOnProtocolVersionZeroSendsNoFlags",
                    [](finder::Query&) {},
                    "DDR LISTER",
                    {"\"FILE\"=80000", "\"FIELDS\"=.01;", "\"MAX\"=20", "\"XREF\"=B"}},
        RequestCase{
            "InternalBackwardsListerFlagsComeBeforeThePacking",
            [](finder::Query& q) {
                q.rpcVersion = QStringLiteral("1");
                q.listerFlags = lfInternal | lfBackwards;
            },
            "DDR LISTER",
            {"\"FILE\"=80000", "\"FIELDS\"=.01;", "\"FLAGS\"=IBP", "\"MAX\"=20", "\"XREF\"=B"}},
        RequestCase{"LookupIsNeverPacked",
                    [](finder::Query& q) {
                        q.rpcVersion = QStringLiteral("1");
                        q.lookup = true;
                        q.partList = {QStringLiteral("VIR")};
                        q.fields = {QStringLiteral(".01"), QStringLiteral("2")};
                    },
                    "VRNX FINDER",
                    {"\"FILE\"=80000", "\"FIELDS\"=.01;2;", "\"MAX\"=20", "\"PART\"=VIR",
                     "\"VALUE\"=VIR", "\"XREF\"=B"}},
        RequestCase{"FinderFlagsReplaceTheListerFlagsOfALookup",
                    [](finder::Query& q) {
                        q.lookup = true;
                        q.partList = {QStringLiteral("VIR")};
                        q.listerFlags = lfInternal;
                        q.finderFlags = QStringLiteral("M");
                    },
                    "VRNX FINDER",
                    {"\"FILE\"=80000", "\"FIELDS\"=.01;", "\"FLAGS\"=M", "\"MAX\"=20",
                     "\"PART\"=VIR", "\"VALUE\"=VIR", "\"XREF\"=B"}},
        RequestCase{"AnEmptyLookupLineWalksTheIndexYetSendsPartAndValue",
                    [](finder::Query& q) {
                        q.lookup = true;
                        q.partList = {QString()};
                        q.finderFlags = QStringLiteral("M");
                    },
                    "DDR LISTER",
                    {"\"FILE\"=80000", "\"FIELDS\"=.01;", "\"MAX\"=20",
                     "\"PART\"=", "\"VALUE\"=", "\"XREF\"=B"}},
        RequestCase{"ListerWalksOnlyTheFirstOfTwoIndexes",
                    [](finder::Query& q) { q.fmIndex = QStringLiteral("B^C"); },
                    "DDR LISTER",
                    {"\"FILE\"=80000", "\"FIELDS\"=.01;", "\"MAX\"=20", "\"XREF\"=B"}},
        RequestCase{"LookupSearchesBothIndexes",
                    [](finder::Query& q) {
                        q.fmIndex = QStringLiteral("B^C");
                        q.lookup = true;
                        q.partList = {QStringLiteral("VIR")};
                    },
                    "VRNX FINDER",
                    {"\"FILE\"=80000", "\"FIELDS\"=.01;", "\"MAX\"=20", "\"PART\"=VIR",
                     "\"VALUE\"=VIR", "\"XREF\"=B^C"}},
        RequestCase{"AnEmptyIndexIsB",
                    [](finder::Query& q) { q.fmIndex.clear(); },
                    "DDR LISTER",
                    {"\"FILE\"=80000", "\"FIELDS\"=.01;", "\"MAX\"=20", "\"XREF\"=B"}},
        RequestCase{"EveryOptionalEntryInItsPlace",
                    [](finder::Query& q) {
                        q.fields = {QStringLiteral(".001"), QStringLiteral(".01")};
                        q.identifier = QStringLiteral("W");
                        q.iens = QStringLiteral("5,");
                        q.screen = QStringLiteral("I Y'=5");
                        q.fromLines = {QStringLiteral("SALO,RIITTA"), QStringLiteral("X")};
                        q.fromIen = QStringLiteral("21");
                        q.ddFile = QStringLiteral("80001");
                        q.ddField = QStringLiteral("7");
                    },
                    "DDR LISTER",
                    {"\"FILE\"=80000", "\"FIELDS\"=.001;.01;", "\"ID\"=W", "\"IENS\"=5,",
                     "\"MAX\"=20", "\"SCREEN\"=I Y'=5", "\"XREF\"=B", "\"FROM\"=SALO,RIITTA",
                     "\"FROM\",\"IEN\"=21", "\"DDFILE\"=80001", "\"DDFIELD\"=7"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct ReplyCase {
    const char* name;
    QStringList lines;
    QStringList data;
    bool more;
    QStringList fromList;
    QString fromIen;
    QStringList errors;
};

class FinderReply : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(FinderReply, ReadsTheSections) {
    const ReplyCase& c = GetParam();
    const finder::Reply read = finder::ReadReply(RpcReply(c.lines.join(QStringLiteral("\r\n"))));
    EXPECT_EQ(read.data, c.data);
    EXPECT_EQ(read.more, c.more);
    EXPECT_EQ(read.fromList, c.fromList);
    EXPECT_EQ(read.fromIen, c.fromIen);
    EXPECT_EQ(read.errors, c.errors);
}

INSTANTIATE_TEST_SUITE_P(Finder, FinderReply,
                         ::testing::Values(ReplyCase{"ContinuationAndData",
                                                     {"[Misc]", "MORE^LAINE,LIISA^7", "[Data]",
                                                      "1^VIRTANEN,AINO", "2^KORHONEN,EINO"},
                                                     {"1^VIRTANEN,AINO", "2^KORHONEN,EINO"},
                                                     true,
                                                     {"LAINE,LIISA"},
                                                     "7",
                                                     {}},
                                           ReplyCase{"WithoutMiscellaneousSectionNoMore",
                                                     {"[Data]", "30^AHONEN,KARI"},
                                                     {"30^AHONEN,KARI"},
                                                     false,
                                                     {},
                                                     {},
                                                     {}},
                                           ReplyCase{"ErrorsAndTheEndOfTheData",
                                                     {"[BEGIN_diDATA]", "1^A", "[END_diDATA]",
                                                      "stray", "[Errors]", "Bad XREF"},
                                                     {"1^A"},
                                                     false,
                                                     {},
                                                     {},
                                                     {"Bad XREF"}}),
                         [](const auto& info) { return std::string(info.param.name); });

struct DisplayCase {
    const char* name;
    QStringList fields;
    QString line;
    QString shown;
};

class FinderDisplayLine : public ::testing::TestWithParam<DisplayCase> {};

TEST_P(FinderDisplayLine, JoinsTheFieldsWithFourBlanks) {
    TvornFinder finder;
    finder.FieldList = GetParam().fields;
    EXPECT_EQ(finder.DisplayLine(GetParam().line), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Finder, FinderDisplayLine,
    ::testing::Values(DisplayCase{"NameOnly", {".01"}, "7^LAINE,LIISA", "LAINE,LIISA"},
                      DisplayCase{"TwoFields",
                                  {".01", "2"},
                                  "7^LAINE,LIISA^DEC 24, 1974",
                                  "LAINE,LIISA    DEC 24, 1974"},
                      DisplayCase{"RecordNumberColumnShowsTheNumberAndTheOthersKeepTheirPieces",
                                  {".01", ".001", "2"},
                                  "7^LAINE,LIISA^7^DEC 24, 1974",
                                  "LAINE,LIISA    7    DEC 24, 1974"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FinderWithoutBroker, RaisesNoBrokerLinkNamingTheFinder) {
    TvornFinder finder;
    finder.setObjectName(QStringLiteral("vornFinder1"));
    finder.FileNumber = QStringLiteral("80000");
    try {
        finder.GetList();
        FAIL() << "no exception";
    } catch (const ENoBrokerLink& e) {
        EXPECT_EQ(e.Message().toStdString(),
                  "\"vornFinder1\" is not assoicated with a Broker link.\r\n"
                  "Please contact developer for assistance.\r\rThank you.");
    }
}

}  // namespace
}  // namespace vorn
