// The vorn-server program as the demo launcher, a developer and the client's end-to-end tests run
// it: options, its log with the parameters of every call, silent connections. Starting, stopping
// and restarting it are the tests of tests/support/dev_server_process.h.
#include <gtest/gtest.h>

#include <QProcess>
#include <chrono>
#include <cstdio>
#include <sstream>

#include "common/scramble.h"
#include "devserver/net/server_options.h"
#include "tests/devserver/server_fixture.h"
#include "tests/support/dev_server_process.h"

namespace vorn::devserver {
namespace {

using namespace std::chrono_literals;
using test::Client;
using test::Soon;
using vorn::test::DevServerProcess;
using vorn::test::FileText;
using vorn::test::LoggedCall;

// Runs the program to its end: its exit status and standard output.
std::pair<int, std::string> RunProgram(const std::string& args, const std::string& env = "") {
    const std::string command =
        (env.empty() ? "" : "env " + env + " ") + VORN_SERVER_PROGRAM + " " + args + " 2>&1";
    std::FILE* p = ::popen(command.c_str(), "r");
    std::string out;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
        out.append(buf, n);
    const int status = ::pclose(p);
    return {WEXITSTATUS(status), out};
}

// The parameter lines the log holds after the last call line.
std::vector<std::string> LastParamLines(const std::string& log) {
    std::vector<std::string> lines;
    std::istringstream in(log);
    for (std::string l; std::getline(in, l);) {
        if (l.find(" call=\"") != std::string::npos)
            lines.clear();
        else if (l.rfind("  p", 0) == 0)
            lines.push_back(l);
    }
    return lines;
}

TEST(Program, HelpWrongOptionsAndWhereGtmWasLookedFor) {
    const auto [status, usage] = RunProgram("--help");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(usage.rfind("Usage: vorn-server [--listen ADDR] [--port N]", 0), 0u);
    EXPECT_NE(usage.find("--log-params         with --log: after each call"), std::string::npos);
    // The budgets a user can count on, as the README gives them.
    for (const char* said :
         {"  --spool-cap MIB      a device's spool file may grow to MIB mebibytes; a document\n"
          "                       that would take it further is refused (default 64)\n",
          "                       them (default 16); a new one pushes out the session's oldest\n",
          "                       all sessions together may keep MIB mebibytes (default 128);\n"})
        EXPECT_NE(usage.find(said), std::string::npos) << said;
    EXPECT_EQ(RunProgram("--port 70000").first, 2);
    EXPECT_EQ(
        RunProgram("--log-params").second.rfind("vorn-server: --log-params needs --log FILE", 0),
        0u);
    // Without GT.M it says where it looked for one.
    const test::TempFolder folder;
    const auto [failed, said] = RunProgram("--engine gtm --data " + folder.Path("gtm"),
                                           "gtm_dist=" + folder.Path("nothing-here"));
    EXPECT_NE(failed, 0);
    EXPECT_NE(said.find("gtm_dist is " + folder.Path("nothing-here") +
                        ", which holds no GT.M (libgtmshr.so): set it to a GT.M installation, or "
                        "unset it to use the fis-gtm package"),
              std::string::npos)
        << said;
}

// The program's own runs in the tests read --port, --data, --log, --log-params, --seed-scale and
// --spool; the budgets' defaults are what --help and the README say.
TEST(Options, ParseEveryOption) {
    const char* argv[] = {"vorn-server",  "--listen",   "0.0.0.0",      "--port",        "0",
                          "--data",       "/tmp/x.db",  "--reset",      "--latency",     "250",
                          "--log",        "/tmp/x.log", "--log-params", "--auto-signon", "DEMO",
                          "--seed-scale", "4",          "--spool",      "/tmp/spool"};
    const ParsedOptions p = ParseOptions(19, argv);
    EXPECT_EQ(p.error, "");
    EXPECT_EQ(p.options.listenAddress, "0.0.0.0");
    EXPECT_TRUE(p.options.reset);
    EXPECT_EQ(p.options.latency, 250ms);
    EXPECT_EQ(p.options.autoSignOn, "DEMO");
    EXPECT_EQ(p.options.spoolPath, "/tmp/spool");
    EXPECT_EQ(p.options.spoolCap, 64u << 20);
    EXPECT_EQ(p.options.documentBudget.perSession, 16u << 20);
    EXPECT_EQ(p.options.documentBudget.total, 128u << 20);
    EXPECT_EQ(p.options.callTurns, -1);
    const char* budgets[] = {
        "vorn-server", "--spool-cap",  "2", "--session-documents", "3", "--server-documents",
        "40",          "--call-turns", "0"};
    const ParsedOptions b = ParseOptions(9, budgets);
    EXPECT_EQ(b.error, "");
    EXPECT_EQ(b.options.callTurns, 0);
    EXPECT_EQ(b.options.spoolCap, 2u << 20);
    EXPECT_EQ(b.options.documentBudget.perSession, 3u << 20);
    EXPECT_EQ(b.options.documentBudget.total, 40u << 20);
    const std::vector<std::pair<std::vector<const char*>, std::string>> wrong = {
        {{"vorn-server", "--seed-scale", "0"}, "--seed-scale takes a number from 1 to 1000"},
        {{"vorn-server", "--latency", "x"}, "--latency takes milliseconds from 0 to 600000"},
        {{"vorn-server", "--log"}, "--log needs a value"},
        {{"vorn-server", "--spool-cap", "0"}, "--spool-cap takes mebibytes from 1 to 1000000"},
        {{"vorn-server", "--session-documents", "4001"},
         "--session-documents takes mebibytes from 1 to 4000"},
        {{"vorn-server", "--server-documents", "-1"},
         "--server-documents takes mebibytes from 1 to 1000000"},
        {{"vorn-server", "--call-turns", "x"}, "--call-turns takes a number from 0 to 10000"},
        {{"vorn-server", "--colour"}, "unknown option --colour"}};
    for (const auto& [args, error] : wrong)
        EXPECT_EQ(ParseOptions(static_cast<int>(args.size()), args.data()).error, error);
}

TEST(Program, TheLogShowsEachParameterAndListEntryInOrderEscaped) {
    DevServerProcess server;
    Client c(server.Port());
    c.SignOnDemo();
    // clang-format off
    c.CallList("DDR LISTER", {{"\"FILE\"", "80001"}, {"\"FIELDS\"", ".01;2;"}, {"\"MAX\"", "2"},
                              {"\"FROM\",\"IEN\"", "x=y"}, {"\"A=B\"", "back\\slash"},
                              {"\"PART\"", "line\r\nbreak\t\x7f"}, {"\"XREF\"", ""}});
    // clang-format on
    EXPECT_EQ(LastParamLines(FileText(server.LogPath())),
              (std::vector<std::string>{
                  "  p0 list \"FILE\"=80001", "  p0 list \"FIELDS\"=.01;2;", "  p0 list \"MAX\"=2",
                  "  p0 list \"FROM\",\"IEN\"=x=y", "  p0 list \"A\\x3dB\"=back\\\\slash",
                  "  p0 list \"PART\"=line\\r\\nbreak\\x09\\x7f", "  p0 list \"XREF\"="}));
    // Literals, an empty one, and a list without entries.
    c.Send("DDR FILER", {{TParamType::literal, "ADD"},
                         {TParamType::list},
                         {TParamType::literal, ""},
                         {TParamType::reference, "DUZ"}});
    EXPECT_EQ(LastParamLines(FileText(server.LogPath())),
              (std::vector<std::string>{"  p0 literal ADD", "  p1 list", "  p2 literal ",
                                        "  p3 reference DUZ"}));
}

TEST(Program, NoCodeOfTheSignOnReachesTheLog) {
    DevServerProcess server;
    const std::vector<std::string> sent = {
        ScrambleWithRows("DEMO;DEMO.1234", 2, 9), ScrambleWithRows("ZAZIRERO", 4, 11),
        ScrambleWithRows("CHANGE;CHANGE.1234", 5, 1),
        ScrambleWithRows("CHANGE.1234", 7, 3) + "^" + ScrambleWithRows("NEW.CODE.77", 8, 6) + "^" +
            ScrambleWithRows("NEW.CODE.77", 12, 0)};
    Client demo(server.Port());
    ASSERT_EQ(demo.Lines("XUS AV CODE", {QString::fromStdString(sent[0])})[0], "1");
    ASSERT_EQ(demo.Call("XWB CREATE CONTEXT", {QString::fromStdString(sent[1])}), "1");
    Client change(server.Port());
    ASSERT_EQ(change.Lines("XUS AV CODE", {QString::fromStdString(sent[2])})[2], "1");
    ASSERT_EQ(change.Lines("XUS CVC", {QString::fromStdString(sent[3])}),
              (std::vector<std::string>{"0"}));
    const std::string log = FileText(server.LogPath());
    for (const char* code :
         {"DEMO.1234", "ZAZIRERO", "CHANGE.1234", "NEW.CODE.77", "CHANGE;", "DEMO;"})
        EXPECT_EQ(log.find(code), std::string::npos) << code;
    for (const std::string& scrambled : sent) {
        EXPECT_EQ(log.find(scrambled), std::string::npos) << scrambled;
        EXPECT_EQ(log.find(scrambled.substr(1, scrambled.size() - 2)), std::string::npos);
    }
    const auto calls = server.Calls();
    ASSERT_EQ(calls.size(), 4u);
    for (const LoggedCall& call : calls)
        EXPECT_EQ(call.Literal(0), "<scrambled>") << call.name;
}

// The server's clock stands still, so the silent connections wait for their handshake for as
// long as the test runs: a client served while all two hundred still wait was not queued
// behind any of them. Once their 10 s have passed on that clock, they are closed.
TEST(Program, TwoHundredSilentConnectionsDoNotKeepAClientOut) {
    test::TempFolder folder;
    ManualClock clock;
    ServerOptions options = test::TestOptions(test::SeededDatabaseCopy(folder));
    options.clock = &clock;
    Server server(options);
    server.Start();
    std::vector<std::unique_ptr<test::RawClient>> silent;
    for (int i = 0; i < 200; ++i)
        silent.push_back(std::make_unique<test::RawClient>(server.Port()));
    ASSERT_TRUE(Soon([&] { return server.PendingHandshakes() == 200; }));
    // vorn-rpc as the demo user: a session of its own.
    QProcess rpc;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VORN_CODES", "DEMO;DEMO.1234");
    rpc.setProcessEnvironment(env);
    rpc.setStandardInputFile(QProcess::nullDevice());
    rpc.start(VORN_RPC_PATH, {"--server", "127.0.0.1", "--port", QString::number(server.Port()),
                              "--context", "ZAZIRERO", "VRNX USERDATA"});
    EXPECT_TRUE(rpc.waitForFinished(20000));
    EXPECT_EQ(rpc.exitCode(), 0) << rpc.readAllStandardError().toStdString();
    EXPECT_EQ(rpc.readAllStandardOutput().toStdString(), "[Data]\nDEMO,USER^DEMO HOSPITAL\n");
    EXPECT_EQ(server.PendingHandshakes(), 200);
    EXPECT_TRUE(Soon([&] { return server.Sessions() == 0; })) << "the client's session stays";
    clock.Advance(10s + 1ms);
    EXPECT_TRUE(Soon([&] { return server.PendingHandshakes() == 0; }));
    EXPECT_TRUE(silent.front()->ClosedBySilence(5));
    EXPECT_TRUE(silent.back()->ClosedBySilence(5));
}

}  // namespace
}  // namespace vorn::devserver
