// The logical listing's call and the reading of its reply, without a grid.
#include "lookup/logical_listing.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

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
    QStringList lines;
    bool more;
    QString from;
};

class LogicalReply : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(LogicalReply, ReadsRowsAndWhetherMoreFollow) {
    const logical::Reply read = logical::ReadReply(RpcReply(GetParam().text));
    EXPECT_EQ(read.lines, GetParam().lines);
    EXPECT_EQ(read.more, GetParam().more);
    EXPECT_EQ(read.from, GetParam().from);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LogicalReply,
    ::testing::Values(
        ReplyCase{"MiscFirstLeavesMore",
                  "[Misc]\r\nMORE^^52;ICU\r\n[Data]\r\n17^ICU^ALWAYS\r\n52^ICU^ALWAYS\r\n",
                  {"17^ICU^ALWAYS", "52^ICU^ALWAYS"},
                  true,
                  "52;ICU"},
        ReplyCase{
            "DataFirstLeavesNone", "[Data]\r\n17^ICU^ALWAYS\r\n", {"17^ICU^ALWAYS"}, false, ""},
        // A miscellaneous section after a leading data section does not bring more back.
        ReplyCase{"DataFirstOutranksALaterMisc",
                  "[Data]\r\n17^ICU^ALWAYS\r\n[Misc]\r\nMORE^^17;ICU\r\n",
                  {"17^ICU^ALWAYS"},
                  false,
                  ""},
        ReplyCase{"BeginDataEndsAtEndMarker",
                  "[BEGIN_diDATA]\r\n17^ICU\r\n[END_diDATA]\r\nstray\r\n",
                  {"17^ICU"},
                  false,
                  ""},
        ReplyCase{"ErrorsAreNoRows",
                  "[Errors]\r\nThe master record (IEN) is missing.\r\n",
                  {},
                  false,
                  ""},
        ReplyCase{"EmptyReply", "", {}, false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LogicalReplyErrors, AreKeptApartFromTheRows) {
    const logical::Reply read =
        logical::ReadReply(RpcReply("[BEGIN_diERRORS]\r\nField 9 does not exist.\r\n"));
    EXPECT_EQ(read.errors, QStringList{"Field 9 does not exist."});
    EXPECT_TRUE(read.lines.isEmpty());
}

}  // namespace
}  // namespace vorn
