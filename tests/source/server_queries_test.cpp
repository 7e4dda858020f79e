#include "source/server_queries.h"

#include <gtest/gtest.h>

#include "broker/rpc_broker.h"
#include "tests/support/manual_clock.h"
#include "tests/support/signon_script.h"
#include "tests/support/test_peer.h"

namespace vorn {
namespace {

class ServerQueries : public ::testing::Test {
  protected:
    void SetUp() override {
        test::ScriptNoSignonNeeded(peer);
        broker.SetServer("127.0.0.1");
        broker.SetListenerPort(peer.Port());
    }
    // The calls after the sign-on set-up.
    std::vector<std::string> Calls() const {
        std::vector<std::string> calls = peer.Calls();
        if (!calls.empty()) calls.erase(calls.begin());
        return calls;
    }
    // The procedure name and list entries of the only call made.
    std::string OnlyCall() const {
        const auto calls = Calls();
        EXPECT_EQ(calls.size(), 1u);
        if (calls.size() != 1) return {};
        const std::string& c = calls[0];
        const auto name = c.find("XWB;;;;") + 7 + 5 + 1;
        const auto caret = c.find('^', name);
        const auto list = c.find("0032.x", caret);
        return c.substr(name, caret - name) + "|" + c.substr(list + 6);
    }

    test::ClockOverride clock;
    test::TestPeer peer;
    TRPCBroker broker;
};

TEST_F(ServerQueries, FieldAttributeIsTheThirdPieceOfTheFieldsLineCutAtTheSemicolon) {
    peer.ReplyLines({"[Data]", ".01^NAME^F^^1^^0;1", "2^DATE OF BIRTH^D;X^^0^^0;2",
                     "3^TOWN OF RESIDENCE^F^^0^^0;3"});
    EXPECT_EQ(GetFieldAttribute("80000", "2", &broker), "D");
    EXPECT_EQ(OnlyCall(), "VRNX DDU FIELDS|0011005800000012004.001000");
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
    EXPECT_EQ(OnlyCall(), "VRNX DDU FIELDS|0011005800000012004.001000");
    EXPECT_EQ(broker.RemoteProcedure, "VRNX DDU FIELDS");
    EXPECT_EQ(broker.Results, (QStringList{"[Data]", "3^TOWN^F^^0^^0;3"}));
    EXPECT_EQ(broker.Param.Count(), 0);
}

TEST_F(ServerQueries, FieldAttributeWithAMissingArgumentAsksNothing) {
    EXPECT_EQ(GetFieldAttribute("", "2", &broker), "");
    EXPECT_EQ(GetFieldAttribute("80000", "", &broker), "");
    EXPECT_EQ(GetFieldAttribute("80000", "2", nullptr), "");
    EXPECT_TRUE(peer.Calls().empty());
}

TEST_F(ServerQueries, ValidateValueSendsTheValueForANewRecord) {
    peer.ReplyLines({"[Errors]", "[Data]", "3261206", "DEC 6, 2026"});
    const ValidatedValue v = ValidateValue("80001", "4", "12/6/2026", &broker);
    EXPECT_EQ(v.internal, "3261206");
    EXPECT_EQ(v.external, "DEC 6, 2026");
    EXPECT_EQ(OnlyCall(),
              "DDR VALIDATOR|"
              "006\"FILE\"00580001"
              "006\"IENS\"003+1,"
              "007\"FIELD\"0014"
              "007\"VALUE\"00912/6/2026"
              "000");
}

TEST_F(ServerQueries, ValidateValueReadsLinesThreeAndFourOnlyAfterADataMarkerOnLineTwo) {
    peer.ReplyLines({"[Errors]", "not a date", "[Data]", "^"})
        .ReplyLines({"anything", "[BEGIN_diDATA]", "1", "YES"})
        .ReplyLines({"[Data]", "1", "YES", "more"})
        .ReplyLines({"[Errors]", "[Data]"})
        .ReplyLines({"[Errors]", "[Data]", "only internal"});
    ValidatedValue v = ValidateValue("80001", "4", "soon", &broker);
    EXPECT_EQ(v.internal, "");
    EXPECT_EQ(v.external, "");
    v = ValidateValue("80001", "3", "Y", &broker);
    EXPECT_EQ(v.internal, "1");
    EXPECT_EQ(v.external, "YES");
    v = ValidateValue("80001", "3", "Y", &broker);
    EXPECT_EQ(v.internal, "");
    EXPECT_EQ(v.external, "");
    v = ValidateValue("80001", "3", "", &broker);
    EXPECT_EQ(v.internal, "");
    EXPECT_EQ(v.external, "");
    v = ValidateValue("80001", "3", "Y", &broker);
    EXPECT_EQ(v.internal, "only internal");
    EXPECT_EQ(v.external, "");
}

TEST_F(ServerQueries, ValidateValueSetsTheBrokersClearingFlags) {
    peer.ReplyLines({"[Errors]", "[Data]", "", ""});
    broker.SetClearParameters(false);
    broker.SetClearResults(false);
    broker.Results = {"old"};
    ValidateValue("80001", "3", "", &broker);
    EXPECT_TRUE(broker.ClearParameters());
    EXPECT_TRUE(broker.ClearResults());
    EXPECT_EQ(broker.Results, (QStringList{"[Errors]", "[Data]", "", ""}));
    // An empty value travels as the byte 1.
    EXPECT_EQ(
        OnlyCall(),
        "DDR VALIDATOR|006\"FILE\"00580001006\"IENS\"003+1,007\"FIELD\"0013007\"VALUE\"001\x01"
        "000");
}

TEST_F(ServerQueries, ValidateValueWithoutABrokerIsEmpty) {
    const ValidatedValue v = ValidateValue("80001", "3", "Y", nullptr);
    EXPECT_EQ(v.internal, "");
    EXPECT_EQ(v.external, "");
    EXPECT_TRUE(peer.Calls().empty());
}

TEST_F(ServerQueries, RecordIdentifiersSendTheRecordNumberUpToTheFirstComma) {
    peer.ReplyLines({"[BEGIN_diDATA]", "HB ", "Hemoglobin", "[END_diDATA]", "ignored"})
        .ReplyLines({"[BEGIN_diDATA]", "K", "[END_diDATA]"});
    EXPECT_EQ(GetRecordIdentifiers("80001", "12,", &broker), "HB Hemoglobin");
    EXPECT_EQ(GetRecordIdentifiers("80001.03", "3,12,", &broker), "K");
    const auto calls = Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_NE(calls[0].find("VRNX IDENTIFIERS^"), std::string::npos);
    EXPECT_NE(calls[0].find("0032.x006\"FILE\"00580001005\"IEN\"00212000"), std::string::npos);
    EXPECT_NE(calls[1].find("0032.x006\"FILE\"00880001.03005\"IEN\"0013000"), std::string::npos);
}

TEST_F(ServerQueries, RecordIdentifiersLeaveErrorsOutAndReadOnlyThisCallsLines) {
    peer.ReplyLines({"[BEGIN_diERRORS]", "No such record", "[Data]", "not a marker here"});
    broker.SetConnected(true);
    broker.SetClearResults(false);
    broker.Results = {"[BEGIN_diDATA]", "stale"};
    EXPECT_EQ(GetRecordIdentifiers("80001", "99,", &broker), "");
    EXPECT_EQ(GetRecordIdentifiers("80001", "99,", nullptr), "");
    EXPECT_EQ(Calls().size(), 1u);
}

}  // namespace
}  // namespace vorn
