// vorn-server on GT.M as a site runs it: the program, a process per session, and real M
// processes on the same database beside it.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "devserver/storage/gtm_runtime.h"
#include "tests/devserver/broker_fixture.h"
#include "tests/support/dev_server_process.h"

namespace vorn::devserver::test {
namespace {

using vorn::test::DevServerProcess;

// `mumps` of the installation, run as a child with the data folder's environment: stdin a pipe
// that the test writes M lines to, stdout read until a marker line arrives.
class MProcess {
  public:
    explicit MProcess(const std::string& dataFolder) {
        int in[2], out[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe failed");
        pid_ = StartMumps(GtmFolder{dataFolder}, {"-direct"}, out[1], in[0]);
        ::close(in[0]);
        ::close(out[1]);
        in_ = in[1];
        out_ = out[0];
    }
    ~MProcess() {
        ::close(in_);  // mumps ends at the end of its input, and its locks with it
        ::waitpid(pid_, nullptr, 0);
        ::close(out_);
    }
    // Runs M lines and waits until the process has done them.
    void Run(const std::string& lines) {
        const std::string marker = "DONE" + std::to_string(++runs_);
        const std::string text = lines + "\nWRITE \"" + marker + "\",!\n";
        ASSERT_EQ(::write(in_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
        std::string seen;
        char c = 0;
        // The echo of the command holds the marker in quotes; its output is the bare line.
        while (seen.find("\n" + marker) == std::string::npos && ::read(out_, &c, 1) == 1)
            seen += c;
        ASSERT_NE(seen.find("\n" + marker), std::string::npos) << seen;
    }

  private:
    pid_t pid_ = -1;
    int in_ = -1, out_ = -1;
    int runs_ = 0;
};

class GtmServer : public BrokerTest {
  protected:
    void SetUp() override {
        VORN_SKIP_WITHOUT(StoreEngine::Gtm);
        DevServerProcess::Options options;
        options.gtm = true;
        program = std::make_unique<DevServerProcess>(options);
        port = program->Port();
    }
    void TearDown() override {
        BrokerTest::TearDown();
        program.reset();
    }
    // The session processes the server runs now.
    std::set<pid_t> Sessions() { return ChildProcesses(program->Pid()); }
    // One line of M through %XCMD beside the server; its output.
    std::string RunM(const std::string& line) {
        return RunMumps(GtmFolder{program->DataPath()}, {"-run", "%XCMD", line});
    }

    std::unique_ptr<DevServerProcess> program;
};

TEST_F(GtmServer, MAndAClientReadEachOthersValuesAndAnMLockRefusesARecordUntilReleased) {
    // M reads what a client filed, and the server reads what M set.
    TRPCBroker& b = Broker();
    EXPECT_EQ(File(b, "EDIT", {"80001^2^1,^Filed through Vorn"}), Lines({"[Data]"}));
    EXPECT_EQ(RunM("ZWRITE ^ZDEMO(80001,1,0)"),
              "^ZDEMO(80001,1,0)=\"HB^Filed through Vorn^1^3100101^1^6^1^2\"\n");
    RunM("SET $PIECE(^ZDEMO(80001,1,0),\"^\",2)=\"Set in M\"");
    EXPECT_EQ(Gets(b, "80001", "2;", "1,"), DiData("80001^1^2^Set in M^Set in M"));
    // An M process's lock of a record refuses it to a client until it is released.
    MProcess m(program->DataPath());
    m.Run("LOCK ^ZDEMO(80001,1)");
    EXPECT_EQ(Lock(b, "80001", "1"), "0");
    EXPECT_EQ(File(b, "EDIT", {"80001^2^1,^Changed while M holds it"}),
              Errors("File 80001 (DEMO LAB TEST), record 1 is being edited by another user."));
    EXPECT_EQ(Lock(b, "80001", "2"), "1");  // only that record
    m.Run("LOCK");
    EXPECT_EQ(Lock(b, "80001", "1"), "1");
    // And the client's lock keeps M out.
    EXPECT_NE(RunM("LOCK +^ZDEMO(80001,1):0 WRITE \"GOT=\",$TEST,!").find("GOT=0"),
              std::string::npos);
}

TEST_F(GtmServer, EachSessionIsAProcessOfItsOwnAndItsCountedLocksEndWithIt) {
    TRPCBroker& a = Broker();
    const std::set<pid_t> first = Sessions();
    ASSERT_EQ(first.size(), 1u);
    TRPCBroker& b = Broker(kDemoCodes, kSecondHost);  // a host of its own: a session of its own
    ASSERT_EQ(Sessions().size(), 2u);
    EXPECT_EQ(Lock(a, "80001", "1"), "1");
    EXPECT_EQ(Lock(a, "80001", "1"), "1");
    EXPECT_EQ(Lock(b, "80001", "1"), "0");
    EXPECT_EQ(Lock(a, "80001", "1", "UNLOCK"), "1");
    EXPECT_EQ(Lock(b, "80001", "1"), "0");  // counted: one unlock of two
    // The session's process dies without a word: its locks go with it (once the server has
    // reaped it and cleared what it left, which the server notes in its log).
    ::kill(*first.begin(), SIGKILL);
    while (vorn::test::FileText(program->LogPath()).find("M locks cleared: ^ZDEMO(80001,1)") ==
           std::string::npos)
        std::this_thread::yield();
    EXPECT_EQ(Lock(b, "80001", "1"), "1");
    EXPECT_EQ(Lock(b, "80001", "1", "UNLOCK"), "1");
    EXPECT_EQ(Lock(b, "80001", "1", "UNLOCK"), "0");  // not held any more
}

// Each session is a process, and the documents' budget is still the whole server's: one
// session's unread reports leave no room for another's, until its process ends, however it ends.
TEST_F(GtmServer, TheDocumentsBudgetIsTheServersAcrossSessionProcesses) {
    // At twice the demo data a report takes about 40 KiB: 32 of them more than the budgets' MiB.
    program = std::make_unique<DevServerProcess>(DevServerProcess::Options{
        .seedScale = 2,
        .extraArguments = {"--session-documents", "1", "--server-documents", "1"},
        .gtm = true});
    port = program->Port();
    const Entries captioned{{"FILE", "80001"}, {"FIELDS", "<CAPTIONED>;"}};
    TRPCBroker& a = Broker();
    const pid_t aProcess = *Sessions().begin();
    for (int i = 0; i < 32; ++i) {
        const Lines reply = CallList(a, "VRNX REPORT", captioned);
        ASSERT_EQ(reply.at(0), "[Data]") << reply.back();
    }
    TRPCBroker& b = Broker(kDemoCodes, kSecondHost);
    const Lines refused = CallList(b, "VRNX REPORT", captioned);
    ASSERT_EQ(refused.size(), 2u);
    EXPECT_EQ(refused[0], "[Errors]");
    EXPECT_EQ(refused[1].rfind("The server is keeping its limit of 1 MiB of documents for other "
                               "sessions, so this document (",
                               0),
              0u)
        << refused[1];
    ::kill(aProcess, SIGKILL);
    ASSERT_TRUE(Soon([&] {
        return vorn::test::FileText(program->LogPath()).find("ended abnormally") !=
               std::string::npos;
    }));
    EXPECT_EQ(CallList(b, "VRNX REPORT", captioned).at(0), "[Data]");
}

TEST(GtmFolder, ADataFolderThatCannotBeMadeIsAClearErrorAtStart) {
    VORN_SKIP_WITHOUT(StoreEngine::Gtm);
    Server server(TestOptions("/proc/vorn-gtm-data", StoreEngine::Gtm));
    try {
        server.Start();
        ADD_FAILURE() << "started";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "the GT.M data folder /proc/vorn-gtm-data cannot be written");
    }
}

// A replication secondary's server: everything reads, nothing changes.
using ReadOnlyServer = OnBothEngines<BrokerTest>;

TEST_P(ReadOnlyServer, ServesReadsAndRefusesEveryChangeWithAClearError) {
    adjustOptions = [](ServerOptions& o) { o.readOnly = true; };
    StartServer();
    Client c(server->Port());
    c.SignOnDemo();
    EXPECT_EQ(Gets(Demo(), "80001", ".01;", "1,"), DiData("80001^1^.01^HB^HB"));
    EXPECT_EQ(Lock(Demo(), "80001", "1"), "1");
    EXPECT_EQ(c.MError("DDR FILER", {"EDIT"}), kReadOnlyRefusal);
    EXPECT_EQ(c.MError("VRNX RECORD DELETE"), kReadOnlyRefusal);
    EXPECT_EQ(c.MError("XUS CVC", {"x"}), kReadOnlyRefusal);
    EXPECT_EQ(FieldOf("80001", "1", "2"), "Hemoglobin");
}

INSTANTIATE_TEST_SUITE_P(Engines, ReadOnlyServer, kBothEngines, EngineName);

}  // namespace
}  // namespace vorn::devserver::test
