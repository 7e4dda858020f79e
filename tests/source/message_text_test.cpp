#include "source/message_text.h"

#include <gtest/gtest.h>

#include <QWidget>
#include <memory>

#include "broker/rpc_broker.h"
#include "source/dialog_text.h"
#include "source/message_broker.h"
#include "tests/support/manual_clock.h"
#include "tests/support/signon_script.h"
#include "tests/support/test_peer.h"

namespace vorn {
namespace {

using test::TestPeer;

// The list entries of a recorded call whose only parameter is one list.
std::string ListEntries(const std::string& call) {
    const auto at = call.find("0032.x");
    return at == std::string::npos ? std::string() : call.substr(at + 6);
}

class MessageLookup : public ::testing::Test {
  protected:
    void SetUp() override {
        SetMessageBroker(nullptr);
        ClearDialogTextCache();
    }
    void TearDown() override {
        SetMessageBroker(nullptr);
        ClearDialogTextCache();
    }
    static void Aim(TRPCBroker& b, TestPeer& on) {
        b.SetServer("127.0.0.1");
        b.SetListenerPort(on.Port());
    }
    // The calls after the sign-on set-up.
    static std::vector<std::string> Calls(const TestPeer& on) {
        std::vector<std::string> calls = on.Calls();
        if (!calls.empty()) calls.erase(calls.begin());
        return calls;
    }

    test::ClockOverride clock;
    TestPeer peer;
};

TEST(MessageNumber, PutsOneInFrontOfThreeDigits) {
    EXPECT_EQ(MessageNumber(1), "1001");
    EXPECT_EQ(MessageNumber(7), "1007");
    EXPECT_EQ(MessageNumber(58), "1058");
    EXPECT_EQ(MessageNumber(60), "1060");
    EXPECT_EQ(MessageNumber(95), "1095");
    EXPECT_EQ(MessageNumber(119), "1119");
    EXPECT_EQ(MessageNumber(0), "1000");
    EXPECT_EQ(MessageNumber(1119), "1119");
}

TEST(MessageParameters, StopAtTheFirstEmptyPiece) {
    EXPECT_EQ(MessageParameters("abc^DEMO LAB TEST"), (QStringList{"abc", "DEMO LAB TEST"}));
    EXPECT_EQ(MessageParameters("a^^b"), (QStringList{"a"}));
    EXPECT_EQ(MessageParameters("^b"), QStringList());
    EXPECT_EQ(MessageParameters(""), QStringList());
    EXPECT_EQ(MessageParameters("LAB TEST: HB"), (QStringList{"LAB TEST: HB"}));
}

TEST_F(MessageLookup, SendsTheFourDigitNumberAsTheListEntryVornnum) {
    test::ScriptNoSignonNeeded(peer);
    peer.ReplyLines({"[Data]", "&No"});
    TRPCBroker b;
    Aim(b, peer);
    EXPECT_EQ(GetDialogText(7, "", &b), "&No");
    const auto calls = Calls(peer);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], std::string("{XWB}00069|\x01"
                                    "0"
                                    "00039007XWB;;;;000241VRNX DIALOG^000060032.x"
                                    "009\"VORNNUM\"0041007"
                                    "000"));
}

class MessageIds : public MessageLookup, public ::testing::WithParamInterface<int> {};

TEST_P(MessageIds, AreSentWithALeadingOne) {
    test::ScriptNoSignonNeeded(peer);
    peer.ReplyLines({"[Data]", "text"});
    TRPCBroker b;
    Aim(b, peer);
    GetDialogText(GetParam(), "", &b);
    const std::string number = std::to_string(1000 + GetParam());
    ASSERT_EQ(Calls(peer).size(), 1u);
    EXPECT_EQ(ListEntries(Calls(peer)[0]), "009\"VORNNUM\"004" + number + "000");
}

INSTANTIATE_TEST_SUITE_P(Ids, MessageIds, ::testing::Values(1, 7, 58, 60, 95, 119));

TEST_F(MessageLookup, ParametersBecomeTheEntriesOneTwoAndSoOn) {
    test::ScriptNoSignonNeeded(peer);
    peer.ReplyLines({"[Data]", "Value \"abc\" is not valid for field DEMO LAB TEST."});
    TRPCBroker b;
    Aim(b, peer);
    EXPECT_EQ(GetDialogText(32, "abc^DEMO LAB TEST", &b),
              "Value \"abc\" is not valid for field DEMO LAB TEST.");
    EXPECT_EQ(ListEntries(Calls(peer)[0]),
              "009\"VORNNUM\"0041032"
              "0011003abc"
              "0012013DEMO LAB TEST"
              "000");
}

TEST_F(MessageLookup, ParametersStopAtTheFirstEmptyPiece) {
    test::ScriptNoSignonNeeded(peer);
    peer.ReplyLines({"[Data]", "x"}).ReplyLines({"[Data]", "y"});
    TRPCBroker b;
    Aim(b, peer);
    GetDialogText(34, "first^^third", &b);
    GetDialogText(34, "^second", &b);
    const auto calls = Calls(peer);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(ListEntries(calls[0]),
              "009\"VORNNUM\"0041034"
              "0011005first"
              "000");
    EXPECT_EQ(ListEntries(calls[1]),
              "009\"VORNNUM\"0041034"
              "000");
}

TEST_F(MessageLookup, TheDataLinesAreConcatenatedWithoutSeparator) {
    test::ScriptNoSignonNeeded(peer);
    peer.ReplyLines({"before", "[BEGIN_diDATA]", "Required field (", "NAME", ") is missing!",
                     "[END_diDATA]", "after", "[BEGIN_diERRORS]", "an error", "[Data]", " again"});
    TRPCBroker b;
    Aim(b, peer);
    EXPECT_EQ(GetDialogText(51, "NAME", &b), "Required field (NAME) is missing! again");
}

TEST_F(MessageLookup, ErrorsAndUnknownMarkersAreNotPartOfTheText) {
    test::ScriptNoSignonNeeded(peer);
    peer.ReplyLines({"[BEGIN_diERRORS]", "no such message", "[Errors]", "[data]"});
    TRPCBroker b;
    Aim(b, peer);
    EXPECT_EQ(GetDialogText(96, "", &b), "");
}

TEST_F(MessageLookup, AnEmptyAnswerIsAnEmptyTextNotTheStringTable) {
    test::ScriptNoSignonNeeded(peer);
    peer.Reply("").ReplyLines({"[Data]"});
    TRPCBroker b;
    Aim(b, peer);
    EXPECT_EQ(GetDialogText(7, "", &b), "");
    EXPECT_EQ(GetMessageText(7, &b), "");
    EXPECT_EQ(Calls(peer).size(), 2u);
}

TEST_F(MessageLookup, WithoutAnyBrokerTheStringTableAnswers) {
    EXPECT_EQ(GetDialogText(7), "&No");
    EXPECT_EQ(GetDialogText(58, "LAB TEST"), "Save ");
    EXPECT_EQ(GetDialogText(60), "&Cancel");
    EXPECT_EQ(GetDialogText(96), "");
    EXPECT_EQ(GetDialogText(-3), "");
    EXPECT_EQ(GetMessageText(1, nullptr), "Warning");
    EXPECT_EQ(MessageBroker(), nullptr);
    EXPECT_TRUE(peer.Calls().empty());
}

TEST_F(MessageLookup, TheBrokerFoundFirstStaysTheMessageBroker) {
    TestPeer other;
    test::ScriptNoSignonNeeded(peer);
    peer.ReplyLines({"[Data]", "&No"}).ReplyLines({"[Data]", "&Ok"});
    TRPCBroker first, second;
    Aim(first, peer);
    Aim(second, other);
    EXPECT_EQ(GetDialogText(7, "", &first), "&No");
    EXPECT_EQ(MessageBroker(), &first);
    EXPECT_EQ(GetDialogText(8, "", &second), "&Ok");
    EXPECT_EQ(Calls(peer).size(), 2u);
    EXPECT_TRUE(other.Calls().empty());
    // Without a broker argument the string table answers, message broker or not.
    EXPECT_EQ(GetMessageText(9, nullptr), "&Abort");
    EXPECT_EQ(Calls(peer).size(), 2u);
}

TEST_F(MessageLookup, TheLookupSetsTheBrokersClearingFlags) {
    test::ScriptNoSignonNeeded(peer);
    peer.ReplyLines({"[Data]", "&No"});
    TRPCBroker b;
    Aim(b, peer);
    b.SetClearParameters(false);
    b.SetClearResults(false);
    b.Results = {"old"};
    b.Param[1].Value = "left over";
    b.Param[1].ParamKind = TParamType::literal;
    GetDialogText(7, "", &b);
    EXPECT_TRUE(b.ClearParameters());
    EXPECT_TRUE(b.ClearResults());
    EXPECT_EQ(b.Results, (QStringList{"[Data]", "&No"}));
    EXPECT_EQ(b.Param.Count(), 0);
    EXPECT_EQ(ListEntries(Calls(peer)[0]), "009\"VORNNUM\"0041007000");
}

TEST_F(MessageLookup, ADestroyedMessageBrokerIsReplacedByTheNextOneGiven) {
    TestPeer other;
    test::ScriptNoSignonNeeded(peer);
    peer.ReplyLines({"[Data]", "from the first"});
    test::ScriptNoSignonNeeded(other);
    other.ReplyLines({"[Data]", "from the second"});
    auto first = std::make_unique<TRPCBroker>();
    Aim(*first, peer);
    EXPECT_EQ(GetDialogText(7, "", first.get()), "from the first");
    first.reset();
    EXPECT_EQ(MessageBroker(), nullptr);

    TRPCBroker second;
    Aim(second, other);
    EXPECT_EQ(GetDialogText(8, "", &second), "from the second");
    EXPECT_EQ(MessageBroker(), &second);
    EXPECT_EQ(Calls(other).size(), 1u);
}

TEST_F(MessageLookup, ADestroyedMessageBrokerWithNoOtherFallsBackToTheStringTable) {
    test::ScriptNoSignonNeeded(peer);
    peer.ReplyLines({"[Data]", "server text"});
    auto b = std::make_unique<TRPCBroker>();
    Aim(*b, peer);
    EXPECT_EQ(GetDialogText(7, "", b.get()), "server text");
    b.reset();
    EXPECT_EQ(GetDialogText(8), "&Ok");
    EXPECT_EQ(GetMessageText(9, MessageBroker()), "&Abort");
    EXPECT_EQ(Calls(peer).size(), 1u);
}

TEST_F(MessageLookup, WithoutABrokerArgumentTheApplicationsFirstBrokerIsFound) {
    test::ScriptNoSignonNeeded(peer);
    peer.ReplyLines({"[Data]", "found"});
    QWidget form;
    QWidget panel(&form);
    auto* b = new TRPCBroker(&panel);
    Aim(*b, peer);
    EXPECT_EQ(GetDialogText(7), "found");
    EXPECT_EQ(MessageBroker(), b);
    EXPECT_EQ(ListEntries(Calls(peer)[0]), "009\"VORNNUM\"0041007000");
}

TEST_F(MessageLookup, AServerErrorReachesTheCaller) {
    test::ScriptNoSignonNeeded(peer);
    peer.MError("M ERROR=UNDEF");
    TRPCBroker b;
    Aim(b, peer);
    EXPECT_ANY_THROW(GetDialogText(7, "", &b));
    // The link stays; the broker stays the message broker.
    EXPECT_EQ(MessageBroker(), &b);
}

}  // namespace
}  // namespace vorn
