#include <gtest/gtest.h>

#include <QProcess>
#include <future>
#include <sstream>

#include "broker/cli/rpc_command_line.h"
#include "broker/cli/rpc_program.h"
#include "broker/cli/terminal_signon_front.h"
#include "broker/rpc_broker.h"
#include "broker/rpc_params.h"
#include "tests/broker/raised.h"
#include "tests/support/manual_clock.h"
#include "tests/support/recorded_calls.h"
#include "tests/support/signon_script.h"

namespace vorn::cli {
namespace {

std::optional<RpcCommand> Parse(const QStringList& args) {
    QString error;
    auto c = ParseRpcCommand(args, error);
    if (!c) ADD_FAILURE() << error.toStdString();
    return c;
}

QString ErrorOf(const QStringList& args) {
    QString error;
    EXPECT_FALSE(ParseRpcCommand(args, error).has_value());
    return error;
}

using Entries = std::vector<std::pair<QString, QString>>;

TEST(RpcCommandLine, OptionsAndParametersInOrderAndUsageErrorsExplained) {
    const auto c = Parse(QStringList{"--server", "m1", "--port", "9300", "--context", "ZAZIRERO",
                                     "--rpc-version", "2", "--timeout", "60"} +
                         QStringList{"DDR LISTER", "lit:a", "ref:b", "list:\"FILE\"=80001",
                                     "list:\"FROM\",\"IEN\"=12", "list:", "list:X=a=b",
                                     "list:Y=", "list:", "lit:z", "list:B=2"});
    ASSERT_TRUE(c);
    EXPECT_EQ(*c->server, "m1");
    EXPECT_EQ(*c->port, 9300);
    EXPECT_EQ(*c->context, "ZAZIRERO");
    EXPECT_EQ(*c->rpcVersion, "2");
    EXPECT_EQ(*c->timeout, 60);
    EXPECT_EQ(c->procedure, "DDR LISTER");
    ASSERT_EQ(c->parameters.size(), 7u);
    EXPECT_EQ(c->parameters[0].kind, RpcParameter::Literal);
    EXPECT_EQ(c->parameters[1].kind, RpcParameter::Reference);
    EXPECT_EQ(c->parameters[2].list, (Entries{{"\"FILE\"", "80001"}, {"\"FROM\",\"IEN\"", "12"}}));
    EXPECT_EQ(c->parameters[3].list, (Entries{{"X", "a=b"}, {"Y", ""}}));
    EXPECT_TRUE(c->parameters[4].list.empty());
    // A list after a literal starts a new parameter.
    EXPECT_EQ(c->parameters[6].list, (Entries{{"B", "2"}}));
    TParams params;
    c->FillParams(params);
    EXPECT_EQ(params.Count(), 7);
    EXPECT_EQ(params[2].Mult.Item("\"FROM\",\"IEN\""), "12");
    EXPECT_EQ(params[4].ParamKind, TParamType::list);
    // Usage errors are explained.
    EXPECT_EQ(ErrorOf({}), "the remote procedure's name is missing");
    EXPECT_EQ(ErrorOf({"--port"}), "--port needs a value");
    EXPECT_EQ(ErrorOf({"--port", "x", "X"}), "--port needs a number, not \"x\"");
    EXPECT_EQ(ErrorOf({"--bogus", "1", "X"}), "unknown option --bogus");
    EXPECT_EQ(ErrorOf({"X", "plain"}), "a parameter must start with lit:, ref: or list: : plain");
    EXPECT_EQ(ErrorOf({"X", "list:=v"}), "a list entry needs SUB=VALUE with a subscript: list:=v");
    EXPECT_TRUE(Parse({"--help"})->help);
}

// Runs the real vorn-rpc against the test peer.
struct RpcRun {
    int exit;
    QString out, err;
};

RpcRun RunRpc(const QStringList& args, const QByteArray& codes = {}, int waitMs = 20000) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("VORN_CODES");
    if (!codes.isEmpty()) env.insert("VORN_CODES", QString::fromLatin1(codes));
    p.setProcessEnvironment(env);
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(VORN_RPC_PATH, args);
    p.waitForFinished(waitMs);
    return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

class RpcProgram : public ::testing::Test {
  protected:
    QStringList Aim() { return {"--server", "127.0.0.1", "--port", QString::number(peer.Port())}; }
    test::TestPeer peer;
};

TEST_F(RpcProgram, StatusIsTwoForAUsageErrorAndOneForABrokerErrorOrARefusedContext) {
    const RpcRun usage = RunRpc({"X", "nonsense"});
    EXPECT_EQ(usage.exit, 2);
    EXPECT_TRUE(usage.err.startsWith("vorn-rpc: a parameter must start with"));
    EXPECT_EQ(peer.Handshakes(), 0);
    test::ScriptNoSignonNeeded(peer);
    peer.MError("M  ERROR=<UNDEF>");
    const RpcRun r = RunRpc(Aim() + QStringList{"X"});
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(
        r.err,
        "Error encountered.\nFunction was: M  ERROR=<UNDEF>\nError was: M Error - Use ^XTER\n");
    const std::size_t callsBefore = peer.Calls().size();
    test::ScriptNoSignonNeeded(peer);
    peer.Reply("The context 'NOPE' does not exist on server.");
    const RpcRun refused = RunRpc(Aim() + QStringList{"--context", "NOPE", "X"});
    EXPECT_EQ(refused.exit, 1);
    EXPECT_EQ(refused.err, "vorn-rpc: the server did not accept the context NOPE\n");
    EXPECT_EQ(peer.Calls().size(), callsBefore + 2) << "the set-up and the context, no call";
}

// The program run in this process, on a clock moved by hand: a call cut off after 30 s must not
// be followed by another 30 s wait for the goodbye.
TEST_F(RpcProgram, ACallCutOffByTheTimeLimitEndsTheProgramWithinThirtyFiveSeconds) {
    // The server holds the answer until the program has ended.
    std::promise<void> programEnded;
    const std::shared_future<void> ended = programEnded.get_future().share();
    test::ScriptNoSignonNeeded(peer);
    peer.Then([ended](test::PeerConnection& connection, const std::string&) {
        ended.wait_for(std::chrono::seconds(45));
        connection.Send(test::FrameReply("far too late"));
    });
    test::ClockOverride clock;
    const double start = clock.clock().Now();
    std::istringstream in;
    std::ostringstream out, err, said;
    Terminal terminal{in, said};
    int exit = -1;
    {
        const test::ClockTicker ticker(clock.clock(), 0.25);
        exit =
            RunRpcProgram(Aim() + QStringList{"--timeout", "30", "SLOW"}, terminal, {}, out, err);
    }
    const double seconds = (clock.clock().Now() - start) * 86400.0;
    programEnded.set_value();
    EXPECT_EQ(exit, 1);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "Error encountered.\nFunction was: recv\nError was: WSAEINTR\n");
    EXPECT_GE(seconds, 30.0) << "cut off by the time limit, not before";
    EXPECT_LT(seconds, 35.0);
}

TEST_F(RpcProgram, CodesComeFromTheEnvironmentAndTheContextIsOpened) {
    test::ScriptSetupAsksSignon(peer);
    test::ScriptCodesAccepted(peer, {"Good evening, DEMO."});
    peer.Reply("1").ReplyLines({"done", "twice"});
    const RpcRun r =
        RunRpc(Aim() + QStringList{"--context", "ZAZIRERO", "VRNX USERDATA"}, "DEMO;DEMO.1234");
    EXPECT_EQ(r.exit, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "done\ntwice\n") << "each result line on its own line";
    EXPECT_NE(r.err.indexOf("Good evening, DEMO."), -1) << "sign-on messages go to standard error";
    const auto calls = peer.Calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(test::NameOf(calls[3]), "VRNX USERDATA");
    EXPECT_TRUE(peer.WaitForGoodbyes(1));
    EXPECT_EQ(test::UnscrambledLiteral(calls[1]), "DEMO;DEMO.1234");
    EXPECT_EQ(test::UnscrambledLiteral(calls[2]), "ZAZIRERO");
}

// The terminal front, fed from a script of typed lines, on a server that asks for a sign-on.
class TerminalSignon : public ::testing::Test {
  protected:
    void SetUp() override {
        SetSignonFront(&front);
        test::Aim(b, peer);
        test::ScriptSetupAsksSignon(peer);
        peer.ReplyLines({"Welcome to the test server"});
    }
    void TearDown() override { SetSignonFront(nullptr); }
    std::string SentCodes(int call) { return test::UnscrambledLiteral(peer.Calls()[call]); }
    std::istringstream in;
    std::ostringstream out;
    Terminal terminal{in, out};
    TerminalSignonFront front{terminal};
    test::ClockOverride clock;
    test::TestPeer peer;
    TRPCBroker b;
};

TEST_F(TerminalSignon, WrongCodesAreAskedAgainAndTypedCodesAreUpperCased) {
    in.str("demo\nwrong\ndemo\ndemo.1234\n");
    peer.ReplyLines({"0", "0", "0", "Not a valid ACCESS CODE/VERIFY CODE pair.", "0", "0"});
    test::ScriptCodesAccepted(peer);
    b.SetConnected(true);
    EXPECT_EQ(SentCodes(2), "DEMO;WRONG");
    EXPECT_EQ(SentCodes(3), "DEMO;DEMO.1234");
    EXPECT_NE(out.str().find("Welcome to the test server"), std::string::npos);
    EXPECT_NE(out.str().find("Not a valid ACCESS CODE/VERIFY CODE pair."), std::string::npos);
}

TEST_F(TerminalSignon, EndOfInputCancelsTheSignon) {
    in.str("");
    EXPECT_EQ(test::Raised([&] { b.SetConnected(true); }).ErrorCode(), 20004);
    EXPECT_FALSE(b.Connected());
    EXPECT_TRUE(peer.WaitForGoodbyes(1));
}

TEST_F(TerminalSignon, AVerifyCodeThatMustChangeIsAskedOnTheTerminal) {
    in.str("change\nchange.1234\nnew.code.1\nnew.code.2\nnew.code.1\n");
    peer.ReplyLines({"0", "0", "1", "", "0", "0"});
    peer.ReplyLines({"0"});
    b.SetConnected(true);
    ASSERT_EQ(peer.Calls().size(), 4u);
    EXPECT_EQ(test::ChangedCodes(peer.Calls()[3]),
              (std::vector<std::string>{"CHANGE.1234", "NEW.CODE.1", "NEW.CODE.1"}));
    const std::string said = out.str();
    EXPECT_NE(said.find("You must change your VERIFY CODE at this time."), std::string::npos);
    EXPECT_NE(said.find("Your VERIFY code was not changed.\nThe confirmation code does not match.  "
                        "Try again.\n"),
              std::string::npos);
    EXPECT_NE(said.find("Your VERIFY CODE has been changed"), std::string::npos);
}

}  // namespace
}  // namespace vorn::cli
