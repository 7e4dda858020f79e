// The vorn-server program as the demo launcher and a developer run it.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "devserver/server_options.h"
#include "tests/devserver/server_fixture.h"

namespace vorn::devserver {
namespace {

using namespace std::chrono_literals;

// A child vorn-server with its standard output on a pipe.
class Program {
  public:
    explicit Program(std::vector<std::string> args) {
        int out[2];
        EXPECT_EQ(::pipe(out), 0);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], 1);
            ::close(out[0]);
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 2);
            std::vector<char*> argv{const_cast<char*>(VORN_SERVER_PROGRAM)};
            for (auto& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(VORN_SERVER_PROGRAM, argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        out_ = out[0];
    }
    ~Program() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(out_);
    }
    // The next line of standard output ("" at its end).
    std::string Line() {
        std::string line;
        char c;
        while (::read(out_, &c, 1) == 1 && c != '\n')
            line += c;
        return line;
    }
    std::string Rest() {
        std::string all;
        char buf[4096];
        for (ssize_t n; (n = ::read(out_, buf, sizeof buf)) > 0;)
            all.append(buf, static_cast<std::size_t>(n));
        return all;
    }
    int Signal(int signal) {
        ::kill(pid_, signal);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    int Wait() {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

  private:
    pid_t pid_ = -1;
    int out_ = -1;
};

int PortOf(const std::string& listening) {
    std::smatch m;
    const std::regex re("^listening on 127\\.0\\.0\\.1:([0-9]+)$");
    return std::regex_match(listening, m, re) ? std::stoi(m[1]) : 0;
}

TEST(Program, HelpPrintsTheUsage) {
    Program p({"--help"});
    EXPECT_EQ(p.Line().rfind("Usage: vorn-server [--listen ADDR] [--port N]", 0), 0u);
    EXPECT_NE(p.Rest().find("--auto-signon ACCESS"), std::string::npos);
    EXPECT_EQ(p.Wait(), 0);
}

TEST(Program, AWrongOptionIsRefused) {
    Program p({"--port", "70000"});
    EXPECT_EQ(p.Wait(), 2);
}

TEST(Program, PortZeroPrintsTheChosenPortFirstAndSigtermStopsCleanly) {
    test::TempFolder folder;
    const std::string log = folder.Path("calls.log");
    Program p({"--port", "0", "--data", folder.Path("fresh.db"), "--log", log});
    const int port = PortOf(p.Line());
    ASSERT_GT(port, 0);
    {
        test::Client c(port);
        c.SignOnDemo();
        c.Lines("VRNX USERDATA");
    }
    // Killed while a client is still connected, the server still ends with 0.
    test::Client open(port);
    open.Lines("XUS SIGNON SETUP");
    EXPECT_EQ(p.Signal(SIGTERM), 0);

    std::ifstream in(log);
    std::vector<std::string> calls;
    const std::regex line(
        "^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9:.]{12} session=[0-9]+ call=\"([A-Z ]+)\" params=([0-9]+) "
        "bytes=([0-9]+) ms=[0-9]+\\.[0-9]{3}$");
    for (std::string l; std::getline(in, l);) {
        std::smatch m;
        if (std::regex_match(l, m, line)) calls.push_back(m[1].str() + "/" + m[2].str());
    }
    EXPECT_EQ(calls, (std::vector<std::string>{"XUS AV CODE/1", "XWB CREATE CONTEXT/1",
                                               "VRNX USERDATA/0", "XUS SIGNON SETUP/0"}));
    // The database was created and seeded on the way.
    GlobalStore store(folder.Path("fresh.db"));
    EXPECT_EQ(store.GetOr(GlobalRef{"ZDEMO", {"80001", "1", "0"}}),
              "HB^Hemoglobin^1^3100101^1^6^1^2");
}

TEST(Program, SigintStopsCleanlyToo) {
    test::TempFolder folder;
    Program p({"--port", "0", "--data", test::SeededDatabaseCopy(folder), "--latency", "1"});
    const int port = PortOf(p.Line());
    ASSERT_GT(port, 0);
    test::Client c(port);
    EXPECT_EQ(c.Lines("XUS SIGNON SETUP")[1], "DEV");
    EXPECT_EQ(p.Signal(SIGINT), 0);
}

TEST(Options, ParseEveryOption) {
    const char* argv[] = {
        "vorn-server",   "--listen", "0.0.0.0",      "--port", "0",     "--data",
        "/tmp/x.db",     "--reset",  "--latency",    "250",    "--log", "/tmp/x.log",
        "--auto-signon", "DEMO",     "--seed-scale", "4"};
    const ParsedOptions p = ParseOptions(16, argv);
    EXPECT_EQ(p.error, "");
    EXPECT_EQ(p.options.listenAddress, "0.0.0.0");
    EXPECT_EQ(p.options.port, 0);
    EXPECT_EQ(p.options.dataPath, "/tmp/x.db");
    EXPECT_TRUE(p.options.reset);
    EXPECT_EQ(p.options.latency, 250ms);
    EXPECT_EQ(p.options.logPath, "/tmp/x.log");
    EXPECT_EQ(p.options.autoSignOn, "DEMO");
    EXPECT_EQ(p.options.seedScale, 4);
    const char* bad[] = {"vorn-server", "--seed-scale", "0"};
    EXPECT_EQ(ParseOptions(3, bad).error, "--seed-scale takes a number from 1 to 1000");
    const char* missing[] = {"vorn-server", "--log"};
    EXPECT_EQ(ParseOptions(2, missing).error, "--log needs a value");
    const char* unknown[] = {"vorn-server", "--colour"};
    EXPECT_EQ(ParseOptions(2, unknown).error, "unknown option --colour");
}

}  // namespace
}  // namespace vorn::devserver
