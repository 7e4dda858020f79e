#include "source/server_queries.h"

#include <gtest/gtest.h>

#include "broker/rpc_broker.h"
#include "tests/support/manual_clock.h"
#include "tests/support/recorded_calls.h"
#include "tests/support/signon_script.h"
#include "tests/support/test_peer.h"

namespace vorn {
namespace {

using Strings = std::vector<std::string>;
using Pair = std::pair<QString, QString>;

class ServerQueries : public ::testing::Test {
  protected:
    void SetUp() override {
        test::ScriptNoSignonNeeded(peer);
        test::Aim(broker, peer);
    }
    // The procedure name and list entries of each call after the sign-on set-up.
    Strings Calls() const {
        Strings calls;
        for (const std::string& c : peer.Calls())
            if (test::NameOf(c) != "XUS SIGNON SETUP")
                calls.push_back(test::NameOf(c) + "|" + test::ListEntries(c));
        return calls;
    }
    Pair Validated(const char* field, const char* value) {
        const ValidatedValue v = ValidateValue("80001", field, value, &broker);
        return Pair(v.internal, v.external);
    }

    test::ClockOverride clock;
    test::TestPeer peer;
    TRPCBroker broker;
};

TEST_F(ServerQueries, FieldAttributeIsTheThirdPieceOfTheFieldsLineCutAtTheSemicolon) {
    peer.ReplyLines({"[Data]", ".01^NAME^F^^1^^0;1", "2^DATE OF BIRTH^D;X^^0^^0;2",
                     "3^TOWN OF RESIDENCE^F^^0^^0;3"});
    EXPECT_EQ(GetFieldAttribute("80000", "2", &broker), "D");
    EXPECT_EQ(Calls(), Strings{"VRNX DDU FIELDS|0011005800000012004.001000"});
}

TEST_F(ServerQueries, FieldAttributeMatchesTheFirstPieceWhole) {
    peer.ReplyLines({"[Data]", ".01^NAME^F^^1^^0;1", "2.1^X^N^^0^^0;4", "2^DATE^D^^0^^0;2"})
        .ReplyLines({"[Data]", ".01^NAME^F^^1^^0;1"});
    EXPECT_EQ(GetFieldAttribute("80000", "2", &broker), "D");
    EXPECT_EQ(GetFieldAttribute("80000", "9", &broker), "");
}

TEST_F(ServerQueries, FieldAttributeSendsOnlyItsOwnCallAndShowsItAsTheLastCall) {
    peer.ReplyLines({"[Data]", "3^TOWN^F^^0^^0;3"});
    broker.SetConnected(true);
    broker.SetClearResults(false);
    broker.Results = {"2^OLD^P80001^^0^^0;2"};
    broker.SetClearParameters(false);
    broker.Param[1].Value = "left over";
    broker.Param[1].ParamKind = TParamType::literal;
    EXPECT_EQ(GetFieldAttribute("80000", "2", &broker), "");
    EXPECT_EQ(Calls(), Strings{"VRNX DDU FIELDS|0011005800000012004.001000"});
    EXPECT_EQ(broker.RemoteProcedure, "VRNX DDU FIELDS");
    EXPECT_EQ(broker.Results, (QStringList{"[Data]", "3^TOWN^F^^0^^0;3"}));
    EXPECT_EQ(broker.Param.Count(), 0);
}

TEST_F(ServerQueries, ValidateValueSendsTheValueForANewRecordAndSetsTheClearingFlags) {
    peer.ReplyLines({"[Errors]", "[Data]", "3261206", "DEC 6, 2026"})
        .ReplyLines({"[Errors]", "[Data]", "", ""});
    EXPECT_EQ(Validated("4", "12/6/2026"), Pair("3261206", "DEC 6, 2026"));
    broker.SetClearParameters(false);
    broker.SetClearResults(false);
    broker.Results = {"old"};
    Validated("3", "");
    EXPECT_TRUE(broker.ClearParameters());
    EXPECT_TRUE(broker.ClearResults());
    EXPECT_EQ(broker.Results, (QStringList{"[Errors]", "[Data]", "", ""}));
    // An empty value travels as the byte 1.
    EXPECT_EQ(Calls(), (Strings{"DDR VALIDATOR|006\"FILE\"00580001006\"IENS\"003+1,"
                                "007\"FIELD\"0014007\"VALUE\"00912/6/2026000",
                                "DDR VALIDATOR|006\"FILE\"00580001006\"IENS\"003+1,"
                                "007\"FIELD\"0013007\"VALUE\"001\001000"}));
}

TEST_F(ServerQueries, ValidateValueReadsLinesThreeAndFourOnlyAfterADataMarkerOnLineTwo) {
    peer.ReplyLines({"[Errors]", "not a date", "[Data]", "^"})
        .ReplyLines({"anything", "[BEGIN_diDATA]", "1", "YES"})
        .ReplyLines({"[Data]", "1", "YES", "more"})
        .ReplyLines({"[Errors]", "[Data]"})
        .ReplyLines({"[Errors]", "[Data]", "only internal"});
    EXPECT_EQ(Validated("4", "soon"), Pair("", ""));
    EXPECT_EQ(Validated("3", "Y"), Pair("1", "YES"));
    EXPECT_EQ(Validated("3", "Y"), Pair("", ""));
    EXPECT_EQ(Validated("3", ""), Pair("", ""));
    EXPECT_EQ(Validated("3", "Y"), Pair("only internal", ""));
}

TEST_F(ServerQueries, WithoutABrokerOrAnArgumentNothingIsAsked) {
    EXPECT_EQ(GetFieldAttribute("", "2", &broker), "");
    EXPECT_EQ(GetFieldAttribute("80000", "", &broker), "");
    EXPECT_EQ(GetFieldAttribute("80000", "2", nullptr), "");
    const ValidatedValue v = ValidateValue("80001", "3", "Y", nullptr);
    EXPECT_EQ(Pair(v.internal, v.external), Pair("", ""));
    EXPECT_EQ(GetRecordIdentifiers("80001", "99,", nullptr), "");
    EXPECT_TRUE(peer.Calls().empty());
}

TEST_F(ServerQueries, RecordIdentifiersSendTheRecordNumberUpToTheFirstComma) {
    peer.ReplyLines({"[BEGIN_diDATA]", "HB ", "Hemoglobin", "[END_diDATA]", "ignored"})
        .ReplyLines({"[BEGIN_diDATA]", "K", "[END_diDATA]"});
    EXPECT_EQ(GetRecordIdentifiers("80001", "12,", &broker), "HB Hemoglobin");
    EXPECT_EQ(GetRecordIdentifiers("80001.03", "3,12,", &broker), "K");
    EXPECT_EQ(Calls(), (Strings{"VRNX IDENTIFIERS|006\"FILE\"00580001005\"IEN\"00212000",
                                "VRNX IDENTIFIERS|006\"FILE\"00880001.03005\"IEN\"0013000"}));
}

TEST_F(ServerQueries, RecordIdentifiersLeaveErrorsOutAndReadOnlyThisCallsLines) {
    peer.ReplyLines({"[BEGIN_diERRORS]", "No such record", "[Data]", "not a marker here"});
    broker.SetConnected(true);
    broker.SetClearResults(false);
    broker.Results = {"[BEGIN_diDATA]", "stale"};
    EXPECT_EQ(GetRecordIdentifiers("80001", "99,", &broker), "");
    EXPECT_EQ(Calls().size(), 1u);
}

}  // namespace
}  // namespace vorn
