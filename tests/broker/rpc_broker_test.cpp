#include "broker/rpc_broker.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include "broker/internal/broker_connections.h"
#include "broker/internal/broker_link.h"
#include "broker/internal/client_agent.h"
#include "broker/registry_settings.h"
#include "broker/signon_sequence.h"
#include "tests/broker/raised.h"
#include "tests/support/isolated_settings.h"
#include "tests/support/manual_clock.h"
#include "tests/support/recorded_calls.h"
#include "tests/support/signon_script.h"

namespace vorn {
namespace {

using Strings = std::vector<std::string>;

void Store(const char* name, const QString& value) {
    WriteRegistryText(RegistryRoot::LocalMachine, kBrokerKey, name, value);
}

// A broker `b` aimed at the test peer.
class Broker : public ::testing::Test {
  protected:
    void SetUp() override { test::Aim(b, peer); }
    Strings CallNames() const { return test::Names(peer.Calls()); }
    static QString Call(TRPCBroker& broker, const char* procedure) {
        broker.RemoteProcedure = procedure;
        return broker.CallText();
    }

    test::ClockOverride clock;
    test::TestPeer peer;
    TRPCBroker b;
};

// The broker on a peer whose set-up needs no sign-on.
class SignedOn : public Broker {
  protected:
    void SetUp() override {
        Broker::SetUp();
        test::ScriptNoSignonNeeded(peer);
    }
};

TEST(BrokerProperties, DefaultsComeFromTheSettingsAndSettersApplyTheirLimits) {
    test::ScopedSettings settings;
    const auto stored = [](const char* name) {
        return ReadRegistryText(RegistryRoot::LocalMachine, kBrokerKey, name);
    };
    TRPCBroker b;
    EXPECT_EQ(stored("Server"), kDefaultServer);
    EXPECT_EQ(stored("ListenerPort"), "9200");
    EXPECT_EQ(stored("ClearParameters"), "1");
    EXPECT_EQ(stored("ClearResults"), "1");
    Store("Server", "m.example");
    Store("ListenerPort", "9300");
    Store("ClearParameters", "0");
    TRPCBroker configured;
    EXPECT_EQ(configured.Server(), "m.example");
    EXPECT_EQ(configured.ListenerPort(), 9300);
    EXPECT_FALSE(configured.ClearParameters());
    // The time limit is at least thirty seconds, and clearing empties at once.
    b.SetCallTimeLimit(5);
    EXPECT_EQ(b.CallTimeLimit(), 30);
    b.SetCallTimeLimit(31);
    EXPECT_EQ(b.CallTimeLimit(), 31);
    b.SetClearParameters(false);
    b.Param[3].Value = "x";
    b.SetClearParameters(true);
    EXPECT_EQ(b.Param.Count(), 0);
    b.Results = {"a"};
    b.SetClearResults(true);
    EXPECT_TRUE(b.Results.isEmpty());
    // Results are split at every kind of line break.
    EXPECT_EQ(TRPCBroker::SplitLines("a\r\nb\r\n"), (QStringList{"a", "b"}));
    EXPECT_EQ(TRPCBroker::SplitLines("a\nb\rc"), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(TRPCBroker::SplitLines("a\r\n\r\nb"), (QStringList{"a", "", "b"}));
    EXPECT_EQ(TRPCBroker::SplitLines("1"), (QStringList{"1"}));
    EXPECT_TRUE(TRPCBroker::SplitLines("").isEmpty());
}

TEST_F(SignedOn, ACallConnectsSignsOnAndAppendsTheLinesUntilTheServerChanges) {
    peer.ReplyLines({"one", "two"}).ReplyLines({"x", "y"});
    b.SetConnected(true);
    b.SetClearResults(false);
    b.Results = {"kept"};
    b.RemoteProcedure = "ZZ LIST";
    b.CallRemote();
    EXPECT_TRUE(b.Connected());
    EXPECT_EQ(b.Results, (QStringList{"kept", "one", "two"}));
    EXPECT_EQ(CallNames(), (Strings{"XUS SIGNON SETUP", "ZZ LIST"}));
    // Into a list of the caller's: the list is set, the broker's results stay.
    QStringList list{"old"};
    b.CallIntoList(list);
    EXPECT_EQ(list, (QStringList{"x", "y"}));
    EXPECT_EQ(b.Results, (QStringList{"kept", "one", "two"}));
    // Changing the server while connected disconnects; changing the port does not.
    b.SetListenerPort(1);
    b.SetServer("127.0.0.1");
    EXPECT_TRUE(b.Connected());
    b.SetServer("localhost");
    EXPECT_FALSE(b.Connected());
    EXPECT_TRUE(peer.WaitForGoodbyes(1));
}

TEST_F(SignedOn, TwoBrokersOnOneServerShareOneLinkAndOneSignon) {
    peer.Reply("first").Reply("second").Reply("second again");
    TRPCBroker a;
    test::Aim(a, peer);
    EXPECT_EQ(Call(a, "A"), "first");
    EXPECT_EQ(Call(b, "B"), "second");
    EXPECT_EQ(peer.Handshakes(), 1);
    EXPECT_EQ(a.Link(), b.Link());
    EXPECT_EQ(BrokerConnections::Keys().size(), 2u);
    a.SetConnected(false);
    EXPECT_FALSE(a.Connected());
    EXPECT_EQ(peer.Goodbyes(), 0);
    EXPECT_EQ(Call(b, "B"), "second again");
    b.SetConnected(false);
    EXPECT_TRUE(peer.WaitForGoodbyes(1));
    EXPECT_FALSE(BrokerConnections::Exists());
    EXPECT_EQ(CallNames(), (Strings{"XUS SIGNON SETUP", "A", "B", "B"}));
}

TEST_F(SignedOn, ALostConnectionDisconnectsAndTheNextCallSignsOnAgain) {
    peer.CloseMidReply(std::string("\0\0par", 5));
    test::ScriptNoSignonNeeded(peer);
    peer.Reply("back");
    b.RemoteProcedure = "X";
    EXPECT_EQ(test::Raised([&] { b.CallRemote(); }).FailedStep(), "connection lost");
    EXPECT_FALSE(b.Connected());
    EXPECT_EQ(Call(b, "Y"), "back");
    EXPECT_EQ(peer.Handshakes(), 2);
    EXPECT_EQ(CallNames(), (Strings{"XUS SIGNON SETUP", "X", "XUS SIGNON SETUP", "Y"}));
}

// The other broker reconnects, and its context is made on the new link with one sign-on.
TEST_F(SignedOn, ADeadLinkFoundByOneBrokerMakesTheOtherReconnect) {
    peer.CloseWithoutReply();
    test::ScriptNoSignonNeeded(peer);
    peer.Reply("1").Reply("on the new link");
    TRPCBroker a;
    test::Aim(a, peer);
    a.SetConnected(true);
    b.SetConnected(true);
    a.RemoteProcedure = "X";
    EXPECT_THROW(a.CallRemote(), EBrokerError);
    EXPECT_TRUE(b.OpenAppContext("ZAZIRERO"));
    EXPECT_EQ(Call(b, "Y"), "on the new link");
    EXPECT_EQ(peer.Handshakes(), 2);
    EXPECT_EQ(CallNames(),
              (Strings{"XUS SIGNON SETUP", "X", "XUS SIGNON SETUP", "XWB CREATE CONTEXT", "Y"}));
    EXPECT_EQ(peer.Goodbyes(), 0);
}

// A front whose form cannot be made: not a broker error, yet the connect must fail cleanly.
class BrokenFront final : public SignonFront {
  public:
    void Open() override { throw std::runtime_error("no display"); }
    void SetServerInfo(const SignonServerInfo&) override {}
    void ShowModal(SignonSequence&) override {}
    void CodesRejected(const QString&) override {}
    void ShowMessage(const QString&) override {}
    void ShowWarning(const QString&) override {}
    void ShowSignonMessages(const QStringList&) override {}
    bool ChangeVerifyCode(TRPCBroker&, const QString&) override { return false; }
    void Close() override {}
};

TEST_F(Broker, ARefusedConnectOrAFailureDuringSignonLeavesItDisconnectedAndTheLinkClosed) {
    b.SetListenerPort(test::ClosedPort());
    const EBrokerError e = test::Raised([&] { b.SetConnected(true); });
    EXPECT_EQ(e.FailedStep(), "connect");
    EXPECT_EQ(e.ErrorName(), "WSAECONNREFUSED");
    EXPECT_FALSE(b.Connected());
    EXPECT_FALSE(BrokerConnections::Exists());
    // A failure other than a broker error during the sign-on.
    b.SetListenerPort(peer.Port());
    BrokenFront front;
    SetSignonFront(&front);
    EXPECT_THROW(b.SetConnected(true), std::runtime_error);
    SetSignonFront(nullptr);
    EXPECT_FALSE(b.Connected());
    EXPECT_EQ(b.Link(), nullptr);
    EXPECT_FALSE(BrokerConnections::Exists());
    EXPECT_TRUE(peer.WaitForGoodbyes(1)) << "the half-made link is closed";
}

TEST_F(SignedOn, AnMErrorLeavesTheLinkConnectedAndTheParametersClearedUnlessSetToStay) {
    peer.MError("M ERROR").Reply("ok").Reply("1").Reply("2");
    b.RemoteProcedure = "X";
    b.Param[0].Value = "v";
    b.Param[0].ParamKind = TParamType::literal;
    EXPECT_THROW(b.CallRemote(), EBrokerError);
    EXPECT_EQ(b.Param.Count(), 0);
    EXPECT_TRUE(b.Connected());
    EXPECT_EQ(b.CallText(), "ok");
    EXPECT_EQ(peer.Handshakes(), 1);
    // Without ClearParameters the list stays, with the changes made for sending.
    b.SetClearParameters(false);
    b.RemoteProcedure = "DDR LISTER";
    b.Param[0].ParamKind = TParamType::list;
    b.Param[0].Mult["1"] = "200";
    b.Param[0].Mult["2"] = "";
    b.CallRemote();
    EXPECT_EQ(b.Param.Count(), 1);
    EXPECT_EQ(b.Param[0].Value, ".x");
    EXPECT_EQ(b.Param[0].Mult.Item("2"), QString(QChar(1)));
    b.CallRemote();
    ASSERT_TRUE(peer.WaitForCalls(5));
    EXPECT_EQ(peer.Calls()[3], peer.Calls()[4]);
    EXPECT_NE(peer.Calls()[4].find(std::string("0012001\001000")), std::string::npos);
}

class ContextAnswers : public SignedOn, public ::testing::WithParamInterface<const char*> {};

TEST_P(ContextAnswers, OnlyExactlyOneAcceptsTheContext) {
    peer.Reply(GetParam());
    EXPECT_EQ(b.OpenAppContext("ZAZIRERO"), std::string(GetParam()) == "1");
    EXPECT_TRUE(b.Connected());
    ASSERT_EQ(CallNames(), (Strings{"XUS SIGNON SETUP", "XWB CREATE CONTEXT"}));
    EXPECT_EQ(test::UnscrambledLiteral(peer.Calls()[1]), "ZAZIRERO");
    EXPECT_EQ(peer.Goodbyes(), 0) << "the temporary broker must leave the shared link open";
}

INSTANTIATE_TEST_SUITE_P(Results, ContextAnswers,
                         ::testing::Values("1", "0", "", "1\r\n", "11",
                                           "The context 'ZAZIRERO' does not exist on server."));

TEST_F(SignedOn, TheClientAgentIsStartedFromTheBrokerFolder) {
    test::ScopedSettings settings;
    QTemporaryDir dir;
    const QString marker = dir.filePath("started");
    QFile agent(dir.filePath("ZiZedez.Exe"));
    ASSERT_TRUE(agent.open(QIODevice::WriteOnly));
    agent.write(("#!/bin/sh\ntouch '" + marker + "'\n").toUtf8());
    agent.close();
    agent.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    Store("BrokerDr", dir.path());
    b.SetConnected(true);
    for (int i = 0; i < 200 && !QFile::exists(marker); ++i)
        QThread::msleep(10);
    EXPECT_TRUE(QFile::exists(marker));
}

TEST_F(SignedOn, AMissingClientAgentDoesNotStopTheConnection) {
    test::ScopedSettings settings;
    Store("BrokerDr", "/nonexistent/folder");
    EXPECT_FALSE(StartClientAgent()) << "the agent cannot be there";
    peer.Reply("served");
    b.SetConnected(true);
    EXPECT_TRUE(b.Connected());
    ASSERT_NE(b.Link(), nullptr);
    EXPECT_TRUE(b.Link()->linked);
    EXPECT_EQ(peer.Handshakes(), 1);
    EXPECT_TRUE(BrokerConnections::Exists());
    EXPECT_EQ(Call(b, "ZZ PING"), "served");
    EXPECT_EQ(peer.Calls(), (Strings{"{XWB}00046|\001000038007XWB;;;;000230XUS SIGNON SETUP^00000",
                                     "{XWB}00037|\001000029007XWB;;;;000140ZZ PING^00000"}));
    EXPECT_EQ(peer.Goodbyes(), 0);
}

}  // namespace
}  // namespace vorn
