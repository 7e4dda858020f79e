// The helper that runs the real vorn-server for the client's tests: it starts the program on a
// free port with its own seeded database, stops and kills it, starts it again on the same port,
// and reads back the calls it logged.
#include "tests/support/dev_server_process.h"

#include <signal.h>

#include <gtest/gtest.h>

#include "broker/broker_error.h"
#include "common/scramble.h"
#include "tests/devserver/server_fixture.h"

namespace vorn::test {
namespace {

using devserver::test::Client;

TEST(DevServerProcess, LogsEveryCallAndStopsCleanlyOnSigtermOrSigint) {
    DevServerProcess server;
    {
        Client c(server.Port());
        c.SignOnDemo();
        c.Lines("VRNX USERDATA");
    }
    // Stopped while a client is still connected, the server still ends with 0.
    Client open(server.Port());
    open.Lines("XUS SIGNON SETUP");
    std::vector<std::string> calls;
    for (const LoggedCall& c : server.Calls())
        calls.push_back(c.name + "/" + std::to_string(c.paramCount));
    EXPECT_EQ(calls, (std::vector<std::string>{"XUS AV CODE/1", "XWB CREATE CONTEXT/1",
                                               "VRNX USERDATA/0", "XUS SIGNON SETUP/0"}));
    EXPECT_EQ(server.Stop(SIGTERM), 0);
    server.Start();
    EXPECT_EQ(Client(server.Port()).Lines("XUS SIGNON SETUP")[1], "DEV");
    EXPECT_EQ(server.Stop(SIGINT), 0);
}

TEST(DevServerProcess, RestartsOnTheSamePortRightAfterBeingKilledAndKeepsWhatWasFiled) {
    DevServerProcess server;
    const int port = server.Port();
    Client before(port);
    before.SignOn("CHANGE", "CHANGE.1234");
    const QString cvc = QString::fromStdString(
        Scramble("CHANGE.1234") + "^" + Scramble("AFTER.KILL1") + "^" + Scramble("AFTER.KILL1"));
    ASSERT_EQ(before.Lines("XUS CVC", {cvc})[0], "0");
    server.Kill();
    EXPECT_THROW(before.Call("XUS SIGNON SETUP"), EBrokerError);
    server.Start();
    EXPECT_EQ(server.Port(), port);
    Client after(port);
    EXPECT_EQ(after.SignOn("CHANGE", "AFTER.KILL1")[0], "3");
    EXPECT_EQ(server.NamesSince(0),
              (std::vector<std::string>{"XUS AV CODE", "XUS CVC", "XUS AV CODE"}));
}

TEST(CallLogReader, ReadsCallsParametersAndEscapesAndLeavesOutNotesAndAHalfWrittenEntry) {
    const auto calls = ParseCallLog(
        "2026-12-06T14:03:07.123 session=3 call=\"DDR FILER\" params=4 bytes=21 ms=1.302\n"
        "  p0 literal ADD\n"
        "  p1 list 1=80001^.01^+1^A\\x3dB \\\\ \\r\\n\n"
        "  p1 list \"A\\x3dB\"=x=y\n"
        "  p2 literal \n"
        "  p3 list\n"
        "2026-12-06T14:03:08.000 session=4 closed: a count that is not 5 decimal digits\n"
        "2026-12-06T14:03:09.000 session=3 call=\"XUS AV CODE\" params=1 bytes=9 ms=0.1\n"
        "  p0 literal <scrambled>\n"
        "2026-12-06T14:03:09.500 session=3 call=\"VRNX USERDATA\" par");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].session, 3);
    EXPECT_EQ(calls[0].name, "DDR FILER");
    EXPECT_EQ(calls[0].paramCount, 4);
    EXPECT_EQ(calls[0].Literal(0), "ADD");
    EXPECT_EQ(calls[0].Entry("1", 1), "80001^.01^+1^A=B \\ \r\n");
    EXPECT_EQ(calls[0].Entry("\"A=B\"", 1), "x=y");
    EXPECT_EQ(calls[0].Literal(2), "");
    EXPECT_EQ(calls[0].params.back().kind, "empty list");
    EXPECT_EQ(calls[0].Entry("1"), std::nullopt) << "parameter 0 is no list";
    EXPECT_EQ(calls[1].Literal(0), "<scrambled>");
}

}  // namespace
}  // namespace vorn::test
