// The finder's request and the reading of its reply, without a server.
#include "lookup/internal/finder_request.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "lookup/vorn_finder.h"

namespace vorn {
namespace {

// The entries of the request's list parameter, "subscript=value" in the order sent.
std::string Entries(const RpcRequest& request) {
    QStringList entries;
    for (const auto& [subscript, value] : request.Parameters().value(0).entries)
        entries.append(subscript + u'=' + value);
    return entries.join(u' ').toStdString();
}

finder::Query PersonQuery() {
    finder::Query q;
    q.file = "80000";
    q.fields = {".01"};
    q.number = "20";
    q.fmIndex = "B";
    return q;
}

struct RequestCase {
    const char* name;
    std::function<void(finder::Query&)> setUp;
    const char* procedure;
    const char* entries;
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
        RequestCase{"ListerOnProtocolVersionOneIsPacked",
                    [](finder::Query& q) { q.rpcVersion = "1"; }, "DDR LISTER",
                    "\"FILE\"=80000 \"FIELDS\"=.01; \"FLAGS\"=P \"MAX\"=20 \"XREF\"=B"},
        RequestCase{"ListerOnProtocolVersionZeroSendsNoFlags", [](finder::Query&) {}, "DDR LISTER",
                    "\"FILE\"=80000 \"FIELDS\"=.01; \"MAX\"=20 \"XREF\"=B"},
        RequestCase{"InternalBackwardsListerFlagsComeBeforeThePacking",
                    [](finder::Query& q) {
                        q.rpcVersion = "1";
                        q.listerFlags = lfInternal | lfBackwards;
                    },
                    "DDR LISTER",
                    "\"FILE\"=80000 \"FIELDS\"=.01; \"FLAGS\"=IBP \"MAX\"=20 \"XREF\"=B"},
        RequestCase{
            "LookupIsNeverPacked",
            [](finder::Query& q) {
                q.rpcVersion = "1";
                q.lookup = true;
                q.partList = {"VIR"};
                q.fields = {".01", "2"};
            },
            "VRNX FINDER",
            "\"FILE\"=80000 \"FIELDS\"=.01;2; \"MAX\"=20 \"PART\"=VIR \"VALUE\"=VIR \"XREF\"=B"},
        RequestCase{"FinderFlagsReplaceTheListerFlagsOfALookup",
                    [](finder::Query& q) {
                        q.lookup = true;
                        q.partList = {"VIR"};
                        q.listerFlags = lfInternal;
                        q.finderFlags = "M";
                    },
                    "VRNX FINDER",
                    "\"FILE\"=80000 \"FIELDS\"=.01; \"FLAGS\"=M \"MAX\"=20 \"PART\"=VIR "
                    "\"VALUE\"=VIR \"XREF\"=B"},
        RequestCase{"AnEmptyLookupLineWalksTheIndexYetSendsPartAndValue",
                    [](finder::Query& q) {
                        q.lookup = true;
                        q.partList = {QString()};
                        q.finderFlags = "M";
                    },
                    "DDR LISTER",
                    "\"FILE\"=80000 \"FIELDS\"=.01; \"MAX\"=20 \"PART\"= \"VALUE\"= \"XREF\"=B"},
        RequestCase{"ListerWalksOnlyTheFirstOfTwoIndexes",
                    [](finder::Query& q) { q.fmIndex = "B^C"; }, "DDR LISTER",
                    "\"FILE\"=80000 \"FIELDS\"=.01; \"MAX\"=20 \"XREF\"=B"},
        RequestCase{
            "LookupSearchesBothIndexes",
            [](finder::Query& q) {
                q.fmIndex = "B^C";
                q.lookup = true;
                q.partList = {"VIR"};
            },
            "VRNX FINDER",
            "\"FILE\"=80000 \"FIELDS\"=.01; \"MAX\"=20 \"PART\"=VIR \"VALUE\"=VIR \"XREF\"=B^C"},
        RequestCase{"AnEmptyIndexIsB", [](finder::Query& q) { q.fmIndex.clear(); }, "DDR LISTER",
                    "\"FILE\"=80000 \"FIELDS\"=.01; \"MAX\"=20 \"XREF\"=B"},
        RequestCase{
            "EveryOptionalEntryInItsPlace",
            [](finder::Query& q) {
                q.fields = {".001", ".01"};
                q.identifier = "W";
                q.iens = "5,";
                q.screen = "I Y'=5";
                q.fromLines = {"SALO,RIITTA", "X"};
                q.fromIen = "21";
                q.ddFile = "80001";
                q.ddField = "7";
            },
            "DDR LISTER",
            "\"FILE\"=80000 \"FIELDS\"=.001;.01; \"ID\"=W \"IENS\"=5, \"MAX\"=20 \"SCREEN\"=I Y'=5 "
            "\"XREF\"=B \"FROM\"=SALO,RIITTA \"FROM\",\"IEN\"=21 \"DDFILE\"=80001 \"DDFIELD\"=7"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FinderReply, ReadsTheDataTheContinuationAndTheErrors) {
    const auto read = [](const QStringList& lines) {
        return finder::ReadReply(RpcReply(lines.join("\r\n")));
    };
    finder::Reply r =
        read({"[Misc]", "MORE^LAINE,LIISA^7", "[Data]", "1^VIRTANEN,AINO", "2^KORHONEN,EINO"});
    EXPECT_EQ(r.data, (QStringList{"1^VIRTANEN,AINO", "2^KORHONEN,EINO"}));
    EXPECT_TRUE(r.more);
    EXPECT_EQ(r.fromList, QStringList{"LAINE,LIISA"});
    EXPECT_EQ(r.fromIen, "7");
    EXPECT_TRUE(r.errors.isEmpty());
    // Without a miscellaneous section there is no more.
    r = read({"[Data]", "30^AHONEN,KARI"});
    EXPECT_EQ(r.data, QStringList{"30^AHONEN,KARI"});
    EXPECT_FALSE(r.more);
    EXPECT_TRUE(r.fromList.isEmpty());
    EXPECT_EQ(r.fromIen, "");
    // The end of the data, and the errors.
    r = read({"[BEGIN_diDATA]", "1^A", "[END_diDATA]", "stray", "[Errors]", "Bad XREF"});
    EXPECT_EQ(r.data, QStringList{"1^A"});
    EXPECT_FALSE(r.more);
    EXPECT_EQ(r.errors, QStringList{"Bad XREF"});
}

TEST(FinderDisplayLine, JoinsTheFieldsWithFourBlanks) {
    TvornFinder finder;
    finder.FieldList = {".01"};
    EXPECT_EQ(finder.DisplayLine("7^LAINE,LIISA"), "LAINE,LIISA");
    finder.FieldList = {".01", "2"};
    EXPECT_EQ(finder.DisplayLine("7^LAINE,LIISA^DEC 24, 1974"), "LAINE,LIISA    DEC 24, 1974");
    // The record number column shows the number; the other columns keep their pieces.
    finder.FieldList = {".01", ".001", "2"};
    EXPECT_EQ(finder.DisplayLine("7^LAINE,LIISA^7^DEC 24, 1974"),
              "LAINE,LIISA    7    DEC 24, 1974");
}

}  // namespace
}  // namespace vorn
