// Scripted server answers of the sign-on calls, for tests that need a signed-on broker.
#pragma once

#include <string>
#include <vector>

#include "broker/rpc_broker.h"
#include "tests/support/test_peer.h"

namespace vorn::test {

// Points the broker at the test peer.
inline void Aim(TRPCBroker& broker, const TestPeer& peer) {
    broker.SetServer("127.0.0.1");
    broker.SetListenerPort(peer.Port());
}

// "XUS SIGNON SETUP" saying that no sign-on is needed.
inline void ScriptNoSignonNeeded(TestPeer& peer) {
    peer.ReplyLines({"TESTSERVER", "DEV", "VORN", "9200", "5", "1", "0"});
}

// "XUS SIGNON SETUP" asking for a sign-on.
inline void ScriptSetupAsksSignon(TestPeer& peer) {
    peer.ReplyLines({"TESTSERVER", "DEV", "VORN", "9200", "5", "0", "0"});
}

// "XUS AV CODE" accepting the codes, with `messages` shown after the sign-on.
inline void ScriptCodesAccepted(TestPeer& peer, const std::vector<std::string>& messages = {}) {
    std::vector<std::string> lines = {"42", "0", "0", "", "0", std::to_string(messages.size())};
    lines.insert(lines.end(), messages.begin(), messages.end());
    peer.ReplyLines(lines);
}

}  // namespace vorn::test
