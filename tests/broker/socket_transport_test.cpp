// The link to the server and the errors it raises.
#include "broker/internal/socket_transport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <thread>

#include "broker/internal/wire_protocol.h"
#include "tests/broker/raised.h"
#include "tests/support/manual_clock.h"
#include "tests/support/test_peer.h"

namespace vorn {
namespace {

using test::Raised;

class Transport : public ::testing::Test {
  protected:
    auto Open() { return OpenBrokerLink(false, "127.0.0.1", peer.Port(), 30); }
    QByteArray Call(BrokerLink& link, const char* name) {
        return ExchangeMessage(link, ComposeCall(name, "0", nullptr));
    }

    test::ClockOverride clock;
    test::TestPeer peer;
};

// Segments are kept apart from the data, two empty ones give the empty result; a reply split
// over many receives is joined in order, and a lone end marker ends one. An M error raises 20002
// with the server's text as step, and the link stays usable.
TEST_F(Transport, ACallSendsTheExactBytesAndReadsEveryFormOfReply) {
    std::string big;
    for (int i = 0; i < 800; ++i)
        big += "line " + std::to_string(i) + "\r\n";
    peer.ReplyLines({"SERVER", "DEV", "VORN", "9200", "5", "0", "0"})
        .ReplyRaw("\x03SEC\002APdata\x04")
        .ReplyRaw(std::string("\0\0\x04", 3))
        .ReplyInChunks(big, 7)
        .ReplyWithLoneEnd("abc")
        .Reply("next")
        .MError("M  ERROR=<UNDEFINED>ZZ+1^XYZ")
        .Reply("still here");
    auto link = Open();
    EXPECT_EQ(Call(*link, "XUS SIGNON SETUP"), "SERVER\r\nDEV\r\nVORN\r\n9200\r\n5\r\n0\r\n0\r\n");
    EXPECT_EQ(peer.Calls(), std::vector<std::string>{
                                "{XWB}00046|\001000038007XWB;;;;000230XUS SIGNON SETUP^00000"});
    EXPECT_EQ(Call(*link, "X"), "data");
    EXPECT_EQ(link->lastSecurity, "SEC");
    EXPECT_EQ(link->lastApplication, "AP");
    EXPECT_EQ(Call(*link, "Y"), "");
    EXPECT_EQ(Call(*link, "X").toStdString(), big);
    EXPECT_EQ(Call(*link, "Y"), "abc");
    EXPECT_EQ(Call(*link, "Z"), "next");
    const EBrokerError e = Raised([&] { Call(*link, "X"); });
    EXPECT_EQ(e.ErrorCode(), 20002);
    EXPECT_EQ(e.FailedStep(), "M  ERROR=<UNDEFINED>ZZ+1^XYZ");
    EXPECT_EQ(e.Message(),
              "Error encountered.\nFunction was: M  ERROR=<UNDEFINED>ZZ+1^XYZ\nError was: M Error "
              "- Use ^XTER");
    EXPECT_EQ(Call(*link, "Y"), "still here");
}

// A server closing mid-reply or before the segments is a connection lost; closing the link sends
// the goodbye, resets the link, and never raises.
TEST_F(Transport, AServerClosingIsAConnectionLostAndCloseSendsTheGoodbyeAndNeverRaises) {
    peer.CloseMidReply(std::string("\0\0partial", 9)).CloseWithoutReply();
    auto midReply = Open();
    EXPECT_EQ(Raised([&] { Call(*midReply, "X"); }).FailedStep(), "connection lost");
    auto gone = Open();
    EXPECT_EQ(Raised([&] { Call(*gone, "X"); }).FailedStep(), "connection lost");
    EXPECT_NO_THROW(CloseBrokerLink(*gone));
    EXPECT_FALSE(gone->linked);
    auto link = Open();
    CloseBrokerLink(*link);
    EXPECT_FALSE(link->linked);
    EXPECT_FALSE(link->socket.Valid());
    ASSERT_TRUE(peer.WaitForGoodbyes(1));
    EXPECT_EQ(peer.Messages().back(), "{XWB}0001000005#BYE#");
    CloseBrokerLink(*link);  // a second close does nothing
    EXPECT_EQ(peer.Goodbyes(), 1);
}

TEST_F(Transport, AStallPastTheTimeLimitRaisesAndTheNextCallDrainsTheLateReply) {
    peer.Stall("late answer", [this] { clock.clock().AdvanceSeconds(31); }).Reply("fresh answer");
    auto link = Open();
    const EBrokerError e = Raised([&] { Call(*link, "SLOW"); });
    EXPECT_EQ(e.FailedStep(), "recv");
    EXPECT_EQ(e.ErrorCode(), 10004);
    EXPECT_EQ(e.ErrorName(), "WSAEINTR");
    EXPECT_TRUE(link->drainPending);
    peer.Release();
    EXPECT_EQ(Call(*link, "NEXT"), "fresh answer");
    EXPECT_FALSE(link->drainPending);
    EXPECT_EQ(peer.Calls().size(), 2u);
}

TEST_F(Transport, AWaitWithinTheTimeLimitDoesNotRaise) {
    peer.Stall("slow but in time", [this] { clock.clock().AdvanceSeconds(29); });
    auto link = Open();
    std::thread release([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        peer.Release();
    });
    EXPECT_EQ(Call(*link, "SLOW"), "slow but in time");
    release.join();
}

TEST_F(Transport, ADrainThatTimesOutSendsNothingAndStaysPending) {
    peer.Stall("very late", [this] { clock.clock().AdvanceSeconds(31); }).Reply("fresh");
    auto link = Open();
    Raised([&] { Call(*link, "SLOW"); });
    {
        test::ClockTicker ticker(clock.clock(), 0.05);
        const EBrokerError e = Raised([&] { Call(*link, "TOO EARLY"); });
        EXPECT_EQ(e.FailedStep(), "recv");
        EXPECT_EQ(e.ErrorCode(), 10004);
    }
    EXPECT_TRUE(link->drainPending);
    EXPECT_EQ(peer.Calls().size(), 1u) << "nothing may be sent while a late reply is owed";
    peer.Release();
    EXPECT_EQ(Call(*link, "NOW"), "fresh");
}

TEST_F(Transport, AfterACutOffCallTheGoodbyeWaitsOneSecondNotAWholeTimeLimit) {
    peer.Stall("late answer", [this] { clock.clock().AdvanceSeconds(31); });
    auto link = Open();
    Raised([&] { Call(*link, "SLOW"); });
    const double before = clock.clock().Now();
    {
        test::ClockTicker ticker(clock.clock(), 0.05);
        CloseBrokerLink(*link);
    }
    const double waited = (clock.clock().Now() - before) * 86400.0;
    EXPECT_LT(waited, 3.0) << "the goodbye waited " << waited << " s of the clock";
    EXPECT_FALSE(link->linked);
    peer.Release();
}

// Only "accept" lets the connect go on; "(connection lost)" makes it fail quietly.
TEST_F(Transport, AHandshakeAnswerOtherThanAcceptIsRefusedAsNetCall) {
    peer.SetHandshakeReply("refused: the call-back address must be the client's own");
    const EBrokerError e = Raised([&] { Open(); });
    EXPECT_EQ(e.FailedStep(), "NetCall");
    EXPECT_EQ(e.ErrorCode(), 20002);
    peer.SetHandshakeReply("(connection lost)");
    auto link = Open();
    EXPECT_FALSE(link->linked);
    EXPECT_FALSE(link->socket.Valid());
}

TEST_F(Transport, AServerThatNeverCallsBackIsBoundedByTheTimeLimit) {
    peer.SetNoCallback(true);
    test::ClockTicker ticker(clock.clock(), 1.0);
    const EBrokerError e = Raised([&] { Open(); });
    EXPECT_EQ(e.FailedStep(), "accept");
    EXPECT_EQ(e.ErrorName(), "WSAEINTR");
}

TEST_F(Transport, ACallbackFromAnotherAddressIsRefusedAndTheWaitGoesOn) {
    peer.SetIntruderCallback("127.0.0.2");
    peer.Reply("served");
    auto link = Open();
    ASSERT_TRUE(link->linked);
    EXPECT_TRUE(peer.IntruderWasRefused());
    EXPECT_EQ(Call(*link, "X"), "served");
}

// A workstation as a container or a cloud machine may be set up: its own name is whatever
// the table says, and the names the table lists resolve to the loopback address, whatever
// this machine's /etc/hosts holds. The own name resolves only when listed; other names are
// looked up as usual. The table stands for the machine's names while it lives.
class TableHostNames final : public net::HostNames {
  public:
    TableHostNames() { net::SetHostNames(this); }
    ~TableHostNames() override { net::SetHostNames(nullptr); }
    bool hasName = true;
    std::string ownName;
    std::map<std::string, std::string> canonical;  // resolvable names, to their canonical name
    std::vector<std::string> unknown;              // names the resolver does not know

    bool LocalHostName(std::string& name) const override {
        if (!hasName) return false;
        name = ownName;
        return true;
    }
    bool ResolveHost(const std::string& host, in_addr_t& address,
                     std::string* canonicalName) const override {
        if (std::find(unknown.begin(), unknown.end(), host) != unknown.end()) return false;
        const auto found = canonical.find(host);
        if (found == canonical.end())
            return host != ownName && net::HostNames::ResolveHost(host, address, canonicalName);
        address = htonl(INADDR_LOOPBACK);
        if (canonicalName) *canonicalName = found->second;
        return true;
    }
};

// The handshake as the server reads it, counted by hand: five-digit count, the version
// "1.104" byte-counted, then the connect text with a five-digit count.
std::string ExpectedHandshake(int port, const std::string& name) {
    const std::string text = "TCPconnect^127.0.0.1^" + std::to_string(port) + "^" + name + "^";
    auto five = [](std::size_t n) {
        std::string digits = "0000" + std::to_string(n);
        return digits.substr(digits.size() - 5);
    };
    const std::string rest = std::string("|\x05") + "1.104" + five(text.size()) + text;
    return "{XWB}" + five(rest.size()) + rest;
}

struct OwnNameCase {
    const char* what;
    bool hasName;
    std::string ownName;
    std::string canonical;  // of the own name; empty when it does not resolve
    std::string announced;
};

class OwnName : public Transport, public ::testing::WithParamInterface<OwnNameCase> {};

TEST_P(OwnName, TheClientConnectsAndAnnouncesWhatItKnowsOfItsName) {
    const OwnNameCase& c = GetParam();
    TableHostNames names;
    names.hasName = c.hasName;
    names.ownName = c.ownName;
    if (!c.canonical.empty()) names.canonical[c.ownName] = c.canonical;
    peer.Reply("served");
    auto link = Open();
    ASSERT_TRUE(link->linked);
    EXPECT_EQ(Call(*link, "X"), "served");
    const auto messages = peer.Messages();
    ASSERT_EQ(messages.size(), 2u);
    // The call-back port the client announced: the third field of the connect text.
    const auto at = messages[0].find("TCPconnect^127.0.0.1^");
    const int port = at == std::string::npos ? -1 : std::atoi(messages[0].c_str() + at + 21);
    ASSERT_GT(port, 0) << messages[0];
    EXPECT_EQ(messages[0], ExpectedHandshake(port, c.announced));
    EXPECT_EQ(messages[1], std::string("{XWB}00031|\001000023007XWB;;;;000080X^00000"));
}

const OwnNameCase kOwnNames[] = {
    {"ResolvesToItsCanonicalName", true, "ws1", "ws1.ward.example", "ws1.ward.example"},
    {"DoesNotResolveAndGoesAsItStands", true, "ws-nowhere", "", "ws-nowhere"},
    {"IsEmptyAndTheAddressStandsForIt", true, "", "", "127.0.0.1"},
    {"CannotBeReadAndTheAddressStandsForIt", false, "", "", "127.0.0.1"}};
INSTANTIATE_TEST_SUITE_P(Transport, OwnName, ::testing::ValuesIn(kOwnNames),
                         [](const auto& info) { return std::string(info.param.what); });

// A root without /etc/hosts resolves no name, "localhost" included: it still means this
// machine, where the default server is.
TEST_F(Transport, AServerNameIsResolvedLocalhostIsTheLoopbackAndOthersAreNamedInTheStep) {
    TableHostNames names;
    names.canonical = {{"m-server.ward", "m-server.ward"}};
    names.unknown = {"localhost", "Localhost.", "demo.localhost", "localhost.ward"};
    for (const char* name : {"m-server.ward", "localhost", "Localhost.", "demo.localhost"})
        EXPECT_TRUE(OpenBrokerLink(false, name, peer.Port(), 30)->linked) << name;
    const EBrokerError e = Raised([&] { OpenBrokerLink(false, "no-such-host.invalid", 9200, 30); });
    EXPECT_EQ(e.FailedStep(), "Error Identifying Remote Host no-such-host.invalid");
    EXPECT_EQ(e.ErrorCode(), 11001);
    EXPECT_EQ(Raised([&] { OpenBrokerLink(false, "localhost.ward", 9200, 30); }).FailedStep(),
              "Error Identifying Remote Host localhost.ward");
}

TEST(EBrokerError, CodesOutsideTheTableAreNamedByTheirNumber) {
    EXPECT_EQ(BrokerErrorName(10009), "10009");
    EXPECT_EQ(BrokerErrorName(10002), "10002");
    EXPECT_EQ(BrokerErrorName(0), "0");
}

}  // namespace
}  // namespace vorn
