// What a malformed or hostile client gets: nothing answered, its connection closed, the reason
// logged, and every other session served as before.
#include "broker/broker_error.h"
#include "broker/internal/socket_transport.h"
#include "common/counted_fields.h"
#include "tests/devserver/server_fixture.h"
#include "tests/support/dev_server_process.h"

namespace vorn::devserver {
namespace {

using namespace std::chrono_literals;
using test::CallBytes;
using test::Client;
using test::RawClient;

class Hostile : public ::testing::Test {
  protected:
    void SetUp() override { StartServer(); }
    void StartServer(const WireLimits& limits = {}) {
        if (server) server->Stop();
        ServerOptions o = test::TestOptions(test::SeededDatabaseCopy(folder));
        o.clock = &clock;
        o.logPath = folder.Path("calls.log");
        o.limits = limits;
        server = std::make_unique<Server>(o);
        server->Start();
    }
    // Waits (bounded) until the server has taken every connection made so far.
    bool PendingSoon(int n) {
        return test::Soon([&] { return server->PendingHandshakes() == n; }, 30);
    }
    std::string Log() const { return vorn::test::FileText(folder.Path("calls.log")); }
    // Waits (bounded) until the log holds `text`.
    bool LogSays(const std::string& text) const {
        return test::Soon([&] { return Log().find(text) != std::string::npos; });
    }
    // A normal client still gets served (after the log says `logged`, when given).
    void ExpectServed(const std::string& logged = "") {
        SCOPED_TRACE("served after: " + logged);
        EXPECT_TRUE(logged.empty() || LogSays(logged)) << logged;
        Client c(server->Port());
        c.SignOnDemo();
        EXPECT_EQ(c.Lines("VRNX USERDATA")[1], "DEMO,USER^DEMO HOSPITAL");
    }
    // The clock is moved to just under `limit` after the wait began: the connection stays
    // open; then just past it: the connection closes. A limit off by a second either way fails.
    void ExpectClosedAtTheLimit(RawClient& raw, std::chrono::milliseconds limit,
                                RawClient* sameAge = nullptr) {
        clock.Advance(limit - kMargin);
        EXPECT_FALSE(raw.ClosedBySilence(0.2)) << "closed before its limit";
        EXPECT_TRUE(!sameAge || !sameAge->ClosedBySilence(0.05)) << "closed before its limit";
        clock.Advance(2 * kMargin);
        EXPECT_TRUE(raw.ClosedBySilence(10)) << "still open past its limit";
    }
    static constexpr std::chrono::milliseconds kMargin = 500ms;

    test::TempFolder folder;
    ManualClock clock;
    std::unique_ptr<Server> server;
};

TEST_F(Hostile, MalformedMessagesAndMisplacedHandshakesAreClosedOrRefusedAndOthersServed) {
    Client good(server->Port());
    good.SignOnDemo();
    // Every reason the parser refuses a message is the call parser's test; here one of them, live.
    RawClient raw(server->Port());
    EXPECT_EQ(raw.Handshake(), std::string("\0\0accept\x04", 9));
    raw.SendRaw(CallBytes("XUS AV CODE", "0x40abc", "", false));
    EXPECT_TRUE(raw.ClosedBySilence());
    ExpectServed("closed: a count that is not 3 decimal digits");
    RawClient before(server->Port());
    before.SendRaw(CallBytes("XUS SIGNON SETUP", "", "", false));
    EXPECT_TRUE(before.ClosedBySilence());
    RawClient twice(server->Port());
    twice.Handshake();
    twice.SendRaw(test::HandshakeBytes("127.0.0.1", 1234));
    EXPECT_TRUE(twice.ClosedBySilence());
    ExpectServed("closed: a handshake on the call-back connection");
    // A call-back address that is not the peer's is refused, and nothing is connected.
    RawClient foreign(server->Port());
    EXPECT_EQ(foreign.Handshake("127.0.0.2"),
              std::string(2, '\0') + "refused: the call-back address must be the client's own\x04");
    EXPECT_FALSE(foreign.CalledBack(0.3));
    ExpectServed("refused a call-back to 127.0.0.2");
    // Garbage does not disturb a session signed on before it.
    for (const std::string& garbage : {std::string("GET / HTTP/1.0\r\n\r\n"),
                                       std::string(5000, '\0'), std::string("{XWB}99999|")}) {
        RawClient sender(server->Port());
        sender.Handshake();
        sender.SendRaw(garbage);
        sender.SendRaw(std::string(100000, 'x'));
    }
    EXPECT_EQ(good.Lines("VRNX USERDATA")[1], "DEMO,USER^DEMO HOSPITAL");
}

TEST_F(Hostile, AFrameCutOffAndNeverFinishedIsClosedTenSecondsAfterItsFirstByte) {
    RawClient raw(server->Port());
    raw.Handshake();
    raw.SendRaw(
        "{XWB}00046|\x01"
        "000038007XWB;;;;0002");
    EXPECT_FALSE(raw.ClosedBySilence(0.2));  // no time has passed
    ExpectClosedAtTheLimit(raw, 10s);
    ExpectServed("not complete within 10000 ms of its first byte");
}

TEST_F(Hostile, AMessageSentSlowlyButWithinTenSecondsIsServed) {
    RawClient raw(server->Port());
    raw.Handshake();
    const std::string call = CallBytes("XUS SIGNON SETUP", "", "", false);
    raw.SendRaw(call.substr(0, 20));
    std::this_thread::sleep_for(50ms);
    clock.Advance(4s);
    std::this_thread::sleep_for(50ms);
    clock.Advance(4s);
    raw.SendRaw(call.substr(20));
    EXPECT_NE(raw.ReadReply().find("TESTSERVER"), std::string::npos);
}

TEST_F(Hostile, AFrameOverSixteenMebibytesIsRefusedWithoutBeingKept) {
    RawClient raw(server->Port());
    raw.Handshake();
    // A list whose entries never end: 20 MiB of 999-byte subscripts and values.
    const std::string entry =
        wire::PadCount(std::string(999, 'S'), 3) + wire::PadCount(std::string(999, 'V'), 3);
    std::string head = CallBytes("DDR LISTER", wire::PadCount("2.x", 3), "", true);
    std::thread sender([&] {
        std::string chunk;
        while (chunk.size() < (1u << 20))
            chunk += entry;
        raw.SendRaw(head);
        for (std::size_t sent = 0; sent < (20u << 20); sent += chunk.size())
            if (!raw.SendRaw(chunk)) break;  // the server has hung up
    });
    EXPECT_TRUE(raw.ClosedBySilence(20));
    sender.join();
    ExpectServed("closed: a message over 16777216 bytes");
}

TEST_F(Hostile, AnIdleSessionIsClosedAfterThirtyMinutes) {
    RawClient raw(server->Port());
    raw.Handshake();
    EXPECT_FALSE(raw.ClosedBySilence(0.2));  // no time has passed
    ExpectClosedAtTheLimit(raw, 30min);
    EXPECT_TRUE(LogSays("closed: idle for 1800 s"));
}

TEST_F(Hostile, SixtyFiveConnectionsAtOnceGetSixtyFourSessionsAndOneRefusal) {
    std::vector<std::unique_ptr<Client>> clients;
    for (int i = 0; i < 64; ++i)
        clients.push_back(std::make_unique<Client>(server->Port()));
    EXPECT_EQ(server->Sessions(), 64);
    RawClient refused(server->Port());
    EXPECT_EQ(refused.Handshake(),
              std::string(2, '\0') + "refused: 64 sessions are open already\x04");
    EXPECT_FALSE(refused.CalledBack(0.3));
    EXPECT_THROW(OpenBrokerLink(false, "127.0.0.1", server->Port(), 30), EBrokerError);
    EXPECT_TRUE(LogSays("refused: 64 sessions are open already"));
    // Every one of the 64 is served.
    for (auto& c : clients)
        EXPECT_EQ(c->Lines("XUS SIGNON SETUP")[0], "TESTSERVER");
    clients.back()->Close();
    clients.pop_back();
    test::Soon([&] { return server->Sessions() <= 63; });
    ExpectServed();
}

TEST_F(Hostile, SilentConnectionsDoNotTakeSessionsAndAreBoundedApart) {
    WireLimits limits;
    limits.maxPendingHandshakes = 80;
    StartServer(limits);
    // More silent connections than there are sessions: a client still signs on.
    std::vector<std::unique_ptr<RawClient>> silent;
    for (int i = 0; i < 70; ++i)
        silent.push_back(std::make_unique<RawClient>(server->Port()));
    ASSERT_TRUE(PendingSoon(70));
    ExpectServed();
    // Beyond their own bound, a further connection is closed at once.
    for (int i = 0; i < 10; ++i)
        silent.push_back(std::make_unique<RawClient>(server->Port()));
    ASSERT_TRUE(PendingSoon(80));
    // The served client's session ends when the server reads its close, which may come after
    // the client is gone; the 80 silent ones never hold one.
    EXPECT_TRUE(test::Soon([&] { return server->Sessions() == 0; }));
    RawClient beyond(server->Port());
    EXPECT_TRUE(beyond.ClosedBySilence());
    EXPECT_TRUE(LogSays("refused: 80 handshakes are pending already"));
    // Each is closed 10 s after it came; then there is room again.
    ExpectClosedAtTheLimit(*silent.back(), 10s, silent.front().get());
    ASSERT_TRUE(PendingSoon(0));
    ExpectServed("closed: no handshake arrived");
}

}  // namespace
}  // namespace vorn::devserver
