#include "source/dialog_text.h"

#include <gtest/gtest.h>

#include "broker/rpc_broker.h"
#include "source/message_broker.h"
#include "tests/support/manual_clock.h"
#include "tests/support/signon_script.h"
#include "tests/support/test_peer.h"

namespace vorn {
namespace {

// The "VORNNUM" value of a recorded "VRNX DIALOG" call.
std::string NumberOf(const std::string& call) {
    const std::string key = "009\"VORNNUM\"004";
    const auto at = call.find(key);
    return at == std::string::npos ? std::string() : call.substr(at + key.size(), 4);
}

class DialogCaptions : public ::testing::Test {
  protected:
    void SetUp() override {
        SetMessageBroker(nullptr);
        ClearDialogTextCache();
    }
    void TearDown() override {
        SetMessageBroker(nullptr);
        ClearDialogTextCache();
    }
    // Answers the thirteen lookups of one fill with "<prefix><number>".
    void ScriptFill(const std::string& prefix) {
        for (int id : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 60})
            peer.ReplyLines({"[Data]", prefix + std::to_string(1000 + id)});
    }
    std::vector<std::string> Numbers() const {
        std::vector<std::string> numbers;
        const auto calls = peer.Calls();
        for (std::size_t i = 1; i < calls.size(); ++i)
            numbers.push_back(NumberOf(calls[i]));
        return numbers;
    }

    test::ClockOverride clock;
    test::TestPeer peer;
};

const std::vector<std::string> kFillOrder = {"1001", "1002", "1003", "1004", "1005", "1006", "1007",
                                             "1008", "1009", "1010", "1011", "1012", "1060"};

TEST_F(DialogCaptions, WithoutAMessageBrokerComeFromTheStringTable) {
    EXPECT_EQ(DialogText(1), "Warning");
    EXPECT_EQ(DialogText(4), "Confirmation");
    EXPECT_EQ(DialogText(8), "&Ok");
    EXPECT_EQ(DialogText(11), "A&ll");
    EXPECT_EQ(DialogText(12), "&Help");
    EXPECT_EQ(DialogText(60), "&Cancel");
    EXPECT_TRUE(peer.Calls().empty());
}

TEST_F(DialogCaptions, TheFirstUseFetchesAllThirteenOnceThroughTheMessageBroker) {
    test::ScriptNoSignonNeeded(peer);
    ScriptFill("server ");
    TRPCBroker b;
    b.SetServer("127.0.0.1");
    b.SetListenerPort(peer.Port());
    SetMessageBroker(&b);
    EXPECT_EQ(DialogText(3), "server 1003");
    EXPECT_EQ(Numbers(), kFillOrder);
    EXPECT_EQ(DialogText(60), "server 1060");
    EXPECT_EQ(DialogText(1), "server 1001");
    EXPECT_EQ(DialogText(12), "server 1012");
    EXPECT_EQ(Numbers().size(), 13u);
}

TEST_F(DialogCaptions, AnEmptiedCacheIsFilledAgainIdSixtyIncluded) {
    test::ScriptNoSignonNeeded(peer);
    ScriptFill("first ");
    ScriptFill("second ");
    TRPCBroker b;
    b.SetServer("127.0.0.1");
    b.SetListenerPort(peer.Port());
    SetMessageBroker(&b);
    EXPECT_EQ(DialogText(60), "first 1060");
    ClearDialogTextCache();
    EXPECT_EQ(DialogText(60), "second 1060");
    std::vector<std::string> twice = kFillOrder;
    twice.insert(twice.end(), kFillOrder.begin(), kFillOrder.end());
    EXPECT_EQ(Numbers(), twice);
}

TEST_F(DialogCaptions, OtherIdsAreLookedUpEachTime) {
    EXPECT_EQ(DialogText(13), "&Save");
    EXPECT_EQ(DialogText(61), " <<< More >>>");
    EXPECT_EQ(DialogText(0), "");
}

}  // namespace
}  // namespace vorn
