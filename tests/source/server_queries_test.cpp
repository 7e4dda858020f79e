// Queries of the server through a broker, against a scripted peer: field attributes,
// validation and record identifiers; and the toolset's message texts: the string table, the
// lookup through the message broker and the cached captions of the message dialog.
#include "source/server_queries.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <memory>

#include "broker/rpc_broker.h"
#include "source/dialog_text.h"
#include "source/internal/message_broker.h"
#include "source/internal/message_table.h"
#include "source/message_text.h"
#include "tests/support/manual_clock.h"
#include "tests/support/recorded_calls.h"
#include "tests/support/signon_script.h"
#include "tests/support/test_peer.h"

namespace vorn {
namespace {

using Strings = std::vector<std::string>;
using Pair = std::pair<QString, QString>;
using test::ListEntries;
using test::TestPeer;

// No message broker and an empty caption cache before and after each test; a broker on the test
// peer (no sign-on needed), which no message lookup finds unless it is handed in.
class ServerQueries : public ::testing::Test {
  protected:
    void SetUp() override {
        TearDown();
        test::ScriptNoSignonNeeded(peer);
        test::Aim(broker, peer);
    }
    void TearDown() override {
        SetMessageBroker(nullptr);
        ClearDialogTextCache();
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

// Without a broker or an argument nothing is asked.
TEST_F(ServerQueries, FieldAttributeIsTheThirdPieceOfTheFieldsLineAndItsOwnCallOnly) {
    EXPECT_EQ(GetFieldAttribute("", "2", &broker), "");
    EXPECT_EQ(GetFieldAttribute("80000", "", &broker), "");
    EXPECT_EQ(GetFieldAttribute("80000", "2", nullptr), "");
    const ValidatedValue v = ValidateValue("80001", "3", "Y", nullptr);
    EXPECT_EQ(Pair(v.internal, v.external), Pair("", ""));
    EXPECT_EQ(GetRecordIdentifiers("80001", "99,", nullptr), "");
    EXPECT_TRUE(peer.Calls().empty());
    peer.ReplyLines({"[Data]", ".01^NAME^F^^1^^0;1", "2.1^X^N^^0^^0;4", "2^DATE^D;X^^0^^0;2"})
        .ReplyLines({"[Data]", ".01^NAME^F^^1^^0;1"})
        .ReplyLines({"[Data]", "3^TOWN^F^^0^^0;3"});
    EXPECT_EQ(GetFieldAttribute("80000", "2", &broker), "D");
    EXPECT_EQ(GetFieldAttribute("80000", "9", &broker), "");
    // With a used broker it sends only its own call and shows it as the last call.
    broker.SetClearResults(false);
    broker.Results = {"2^OLD^P80001^^0^^0;2"};
    broker.SetClearParameters(false);
    broker.Param[1].Value = "left over";
    broker.Param[1].ParamKind = TParamType::literal;
    EXPECT_EQ(GetFieldAttribute("80000", "2", &broker), "");
    EXPECT_EQ(Calls(), Strings(3, "VRNX DDU FIELDS|0011005800000012004.001000"));
    EXPECT_EQ(broker.RemoteProcedure, "VRNX DDU FIELDS");
    EXPECT_EQ(broker.Results, (QStringList{"[Data]", "3^TOWN^F^^0^^0;3"}));
    EXPECT_EQ(broker.Param.Count(), 0);
}

TEST_F(ServerQueries, ValidateValueSendsTheValueForANewRecordSetsTheFlagsAndReadsItsDataLines) {
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
    // Lines three and four are read only after a data marker on line two.
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

TEST_F(ServerQueries, RecordIdentifiersSendTheRecordNumberUpToTheFirstCommaAndLeaveErrorsOut) {
    peer.ReplyLines({"[BEGIN_diDATA]", "HB ", "Hemoglobin", "[END_diDATA]", "ignored"})
        .ReplyLines({"[BEGIN_diDATA]", "K", "[END_diDATA]"});
    EXPECT_EQ(GetRecordIdentifiers("80001", "12,", &broker), "HB Hemoglobin");
    EXPECT_EQ(GetRecordIdentifiers("80001.03", "3,12,", &broker), "K");
    EXPECT_EQ(Calls(), (Strings{"VRNX IDENTIFIERS|006\"FILE\"00580001005\"IEN\"00212000",
                                "VRNX IDENTIFIERS|006\"FILE\"00880001.03005\"IEN\"0013000"}));
    // Errors are left out, and only this call's lines are read.
    peer.ReplyLines({"[BEGIN_diERRORS]", "No such record", "[Data]", "not a marker here"});
    broker.SetClearResults(false);
    broker.Results = {"[BEGIN_diDATA]", "stale"};
    EXPECT_EQ(GetRecordIdentifiers("80001", "99,", &broker), "");
    EXPECT_EQ(Calls().size(), 3u);
}

// --- the toolset's message texts ---

using MessageLookup = ServerQueries;

// The parameters stop at the first empty piece. The lookup sets the broker's clearing flags.
TEST_F(MessageLookup, SendsTheFourDigitNumberAsVornnumAndTheParametersAsOneTwoAndSoOn) {
    EXPECT_EQ(MessageParameters("abc^DEMO LAB TEST"), (QStringList{"abc", "DEMO LAB TEST"}));
    EXPECT_EQ(MessageParameters("a^^b"), (QStringList{"a"}));
    EXPECT_EQ(MessageParameters("^b"), QStringList());
    EXPECT_EQ(MessageParameters(""), QStringList());
    EXPECT_EQ(MessageParameters("LAB TEST: HB"), (QStringList{"LAB TEST: HB"}));
    peer.ReplyLines({"[Data]", "&No"});
    peer.ReplyLines({"[Data]", "Value \"abc\" is not valid for field DEMO LAB TEST."});
    broker.SetClearParameters(false);
    broker.SetClearResults(false);
    broker.Results = {"old"};
    broker.Param[1].Value = "left over";
    broker.Param[1].ParamKind = TParamType::literal;
    EXPECT_EQ(GetDialogText(7, "", &broker), "&No");
    EXPECT_TRUE(broker.ClearParameters());
    EXPECT_TRUE(broker.ClearResults());
    EXPECT_EQ(broker.Results, (QStringList{"[Data]", "&No"}));
    EXPECT_EQ(broker.Param.Count(), 0);
    EXPECT_EQ(GetDialogText(32, "abc^DEMO LAB TEST", &broker),
              "Value \"abc\" is not valid for field DEMO LAB TEST.");
    const auto calls = peer.Calls();  // the sign-on set-up first
    ASSERT_EQ(calls.size(), 3u);
    // "|\0010" is the version "0" behind its count byte.
    EXPECT_EQ(calls[1], std::string("{XWB}00069|\0010"
                                    "00039007XWB;;;;000241VRNX DIALOG^000060032.x"
                                    "009\"VORNNUM\"0041007000"));
    EXPECT_EQ(ListEntries(calls[2]), "009\"VORNNUM\"00410320011003abc0012013DEMO LAB TEST000");
}

// Without any broker the string table (every id from 1001 to 1095 and nothing else) answers; the
// answers of one give the data lines joined.
TEST_F(MessageLookup, WithoutAnyBrokerTheStringTableAnswersAndAnswersGiveTheDataLinesJoined) {
    for (int id = 1001; id <= 1095; ++id)
        EXPECT_FALSE(LoadStringResource(id).isEmpty()) << id;
    EXPECT_TRUE(LoadStringResource(1000).isEmpty());
    EXPECT_TRUE(LoadStringResource(1096).isEmpty());
    EXPECT_TRUE(LoadStringResource(7).isEmpty());
    EXPECT_EQ(GetDialogText(7), "&No");
    EXPECT_EQ(GetDialogText(58, "LAB TEST"), "Save ");
    EXPECT_EQ(GetDialogText(60), "&Cancel");
    EXPECT_EQ(GetDialogText(96), "");
    EXPECT_EQ(GetDialogText(-3), "");
    EXPECT_EQ(GetMessageText(1, nullptr), "Warning");
    // Ids other than the cached captions, through the message dialog's lookup.
    EXPECT_EQ(DialogText(13), "&Save");
    EXPECT_EQ(DialogText(61), " <<< More >>>");
    EXPECT_EQ(DialogText(0), "");
    EXPECT_EQ(MessageBroker(), nullptr);
    EXPECT_TRUE(peer.Calls().empty());
    peer.ReplyLines({"before", "[BEGIN_diDATA]", "Required field (", "NAME", ") is missing!",
                     "[END_diDATA]", "after", "[BEGIN_diERRORS]", "an error", "[Data]", " again"});
    // This answer has no "[Errors]" marker: such lines are text of the section they are in.
    peer.ReplyLines({"[BEGIN_diERRORS]", "no such message", "[Errors]", "[data]"});
    peer.ReplyLines({});
    EXPECT_EQ(GetDialogText(51, "NAME", &broker), "Required field (NAME) is missing! again");
    EXPECT_EQ(GetDialogText(96, "NAME", &broker), "");
    // Once there is a broker, the string table's "&No" is not taken instead.
    EXPECT_EQ(GetDialogText(7, "NAME", &broker), "");
}

// The broker found first stays the message broker until it is destroyed; then the string table
// answers, or the next broker given.
TEST_F(MessageLookup, TheBrokerFoundFirstStaysTheMessageBrokerUntilItIsDestroyed) {
    TestPeer other;
    test::ScriptNoSignonNeeded(other);
    other.ReplyLines({"[Data]", "&No"}).ReplyLines({"[Data]", "&Ok"});
    peer.ReplyLines({"[Data]", "from the second"});
    auto first = std::make_unique<TRPCBroker>();
    test::Aim(*first, other);
    EXPECT_EQ(GetDialogText(7, "", first.get()), "&No");
    EXPECT_EQ(MessageBroker(), first.get());
    EXPECT_EQ(GetDialogText(8, "", &broker), "&Ok");
    EXPECT_TRUE(peer.Calls().empty());
    // Without a broker argument the string table answers, message broker or not.
    EXPECT_EQ(GetMessageText(9, nullptr), "&Abort");
    EXPECT_EQ(other.Calls().size(), 3u) << "the sign-on set-up and two lookups";
    first.reset();
    EXPECT_EQ(MessageBroker(), nullptr);
    EXPECT_EQ(GetDialogText(8), "&Ok");
    EXPECT_EQ(GetMessageText(9, MessageBroker()), "&Abort");
    EXPECT_EQ(GetDialogText(8, "", &broker), "from the second");
    EXPECT_EQ(MessageBroker(), &broker);
    EXPECT_EQ(Calls().size(), 1u);
    EXPECT_EQ(other.Calls().size(), 3u) << "nothing after the broker was destroyed";
}

TEST_F(MessageLookup, AServerErrorReachesTheCaller) {
    peer.MError("M ERROR=UNDEF");
    EXPECT_ANY_THROW(GetDialogText(7, "", &broker));
    // The link stays; the broker stays the message broker.
    EXPECT_EQ(MessageBroker(), &broker);
}

TEST_F(MessageLookup, FindingTakesTheFirstBrokerInOwnershipOrderAndNothingLeavesItAlone) {
    SetMessageBroker(&broker);
    QObject empty;
    new QObject(&empty);
    EXPECT_EQ(FindBroker(&empty), nullptr);
    EXPECT_EQ(FindBroker(&broker), nullptr) << "the root itself is not among what it owns";
    EXPECT_EQ(MessageBroker(), &broker);
    QObject root;
    new QObject(&root);
    auto* form = new QObject(&root);
    auto* panel = new QObject(form);
    auto* nested = new TRPCBroker(panel);
    auto* later = new TRPCBroker(&root);
    // The form owned before the broker is searched, with everything on it, first.
    EXPECT_EQ(FindBroker(&root), nested);
    EXPECT_EQ(MessageBroker(), nested);
    delete nested;
    EXPECT_EQ(MessageBroker(), nullptr);
    EXPECT_EQ(FindBroker(&root), later);
    EXPECT_EQ(MessageBroker(), later);
}

// A broker the application object owns comes before those on windows; a lookup without a broker
// argument finds the first one, too.
TEST_F(MessageLookup, FindingSearchesTheApplicationsObjectsAndWindowsAndSoDoesALookup) {
    EXPECT_EQ(FindBroker(nullptr), nullptr);
    QWidget form;
    QWidget page(&form);
    auto* onPage = new TRPCBroker(&page);
    EXPECT_EQ(FindBroker(nullptr), onPage);
    EXPECT_EQ(MessageBroker(), onPage);
    auto owned = std::make_unique<TRPCBroker>(qApp);
    EXPECT_EQ(FindBroker(nullptr), owned.get());
    owned.reset();
    EXPECT_EQ(FindBroker(nullptr), onPage);
    SetMessageBroker(nullptr);
    test::Aim(*onPage, peer);
    peer.ReplyLines({"[Data]", "found"});
    EXPECT_EQ(GetDialogText(7), "found");
    EXPECT_EQ(MessageBroker(), onPage);
}

TEST_F(MessageLookup, FindingSearchesAWindowWithAParentThroughItsParent) {
    QWidget main;
    auto* dialog = new QWidget(&main, Qt::Dialog);
    auto* onDialog = new TRPCBroker(dialog);
    ASSERT_TRUE(dialog->isWindow());
    EXPECT_EQ(FindBroker(nullptr), onDialog);
    EXPECT_EQ(FindBroker(&main), onDialog);
}

// The "VORNNUM" values of the recorded "VRNX DIALOG" calls.
std::vector<std::string> Numbers(const TestPeer& peer) {
    const std::string key = "009\"VORNNUM\"004";
    std::vector<std::string> numbers;
    for (const std::string& call : peer.Calls())
        if (call.find(key) != std::string::npos)
            numbers.push_back(call.substr(call.find(key) + key.size(), 4));
    return numbers;
}

// Answers the thirteen lookups of one fill of the caption cache with "<prefix><number>".
void ScriptFill(TestPeer& peer, const std::string& prefix) {
    for (int id : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 60})
        peer.ReplyLines({"[Data]", prefix + std::to_string(1000 + id)});
}

TEST_F(MessageLookup, CaptionsAreFetchedAllThirteenOnceAndAgainAfterTheCacheWasEmptied) {
    ScriptFill(peer, "first ");
    ScriptFill(peer, "second ");
    SetMessageBroker(&broker);
    const std::vector<std::string> fill = {"1001", "1002", "1003", "1004", "1005", "1006", "1007",
                                           "1008", "1009", "1010", "1011", "1012", "1060"};
    EXPECT_EQ(DialogText(3), "first 1003");
    EXPECT_EQ(Numbers(peer), fill);
    EXPECT_EQ(DialogText(60), "first 1060");
    EXPECT_EQ(DialogText(1), "first 1001");
    EXPECT_EQ(DialogText(12), "first 1012");
    EXPECT_EQ(Numbers(peer).size(), 13u);
    ClearDialogTextCache();
    EXPECT_EQ(DialogText(60), "second 1060");
    std::vector<std::string> twice = fill;
    twice.insert(twice.end(), fill.begin(), fill.end());
    EXPECT_EQ(Numbers(peer), twice);
}

}  // namespace
}  // namespace vorn
