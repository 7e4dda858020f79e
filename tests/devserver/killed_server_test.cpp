// A server killed outright while several sessions file at once keeps every filing it answered:
// an answer goes out only after the flush that made the filing durable, even when the filings
// of many sessions share one flush.
#include <signal.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "tests/devserver/broker_fixture.h"
#include "tests/support/dev_server_process.h"

namespace vorn::devserver::test {
namespace {

using vorn::test::DevServerProcess;

constexpr std::size_t kFilers = 4;
constexpr std::size_t kAnsweredBeforeTheKill = 40;

class KilledServer : public OnBothEngines<BrokerTest> {
  protected:
    void SetUp() override {
        OnBothEngines<BrokerTest>::SetUp();
        if (IsSkipped()) return;
        DevServerProcess::Options options;
        options.gtm = engine == StoreEngine::Gtm;
        program = std::make_unique<DevServerProcess>(options);
    }
    void TearDown() override {
        BrokerTest::TearDown();
        program.reset();
    }

    // Adds lab test "K<filer>-<n>" until the server stops answering, noting every answer.
    void File(int filer) {
        try {
            test::Client c(program->Port());
            c.SignOnDemo();
            for (int n = 1;; ++n) {
                const QString name = QString("K%1-%2").arg(filer).arg(n);
                const std::vector<std::string> lines = SplitLines(
                    c.Send("DDR FILER",
                           {{TParamType::literal, "ADD"},
                            {TParamType::list,
                             ".DDR",
                             {{"1", "80001^.01^+1,^" + name}, {"2", "80001^2^+1,^Kept " + name}}},
                            {TParamType::literal}}));
                if (lines.size() != 2 || lines[1].rfind("+1,^", 0) != 0) break;
                const std::lock_guard hold(mutex);
                answered.push_back({name.toStdString(), lines[1].substr(4)});
                changed.notify_all();
            }
        } catch (const std::exception&) {
            // The server went while this filer was signing on or filing.
        }
        const std::lock_guard hold(mutex);
        ++stopped;
        changed.notify_all();
    }

    std::unique_ptr<DevServerProcess> program;
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::pair<std::string, std::string>> answered;  // (name, record number)
    int stopped = 0;
};

TEST_P(KilledServer, KeepsEveryFilingItAnsweredToSessionsFilingAtOnce) {
    std::vector<std::thread> filers;
    for (int f = 1; f <= static_cast<int>(kFilers); ++f)
        filers.emplace_back([this, f] { File(f); });
    {
        std::unique_lock hold(mutex);
        changed.wait(
            hold, [&] { return answered.size() >= kAnsweredBeforeTheKill || stopped == kFilers; });
    }
    // Every process of the server at once, as when the machine loses power.
    for (const pid_t session : ChildProcesses(program->Pid()))
        ::kill(session, SIGKILL);
    program->Kill();
    for (std::thread& t : filers)
        t.join();
    ASSERT_GE(answered.size(), kAnsweredBeforeTheKill) << "the filers stopped before the kill";
    program->StartOnAnyPort();  // on GT.M this recovers the database from its journal
    port = program->Port();
    TRPCBroker& broker = Broker();
    for (const auto& [name, ien] : answered)
        EXPECT_EQ(Gets(broker, "80001", ".01;2;", ien + ","),
                  DiData("80001^" + ien + "^.01^" + name + "^" + name,
                         "80001^" + ien + "^2^Kept " + name + "^Kept " + name))
            << "filing " << name;
}

INSTANTIATE_TEST_SUITE_P(Engines, KilledServer, kBothEngines, EngineName);

}  // namespace
}  // namespace vorn::devserver::test
