// The bound grid on a file of about 100 000 records (the demo's lab results, seeded 334 times
// over): the first rows come with one batch call and the grid holds only the rows fetched;
// walking down 1 000 rows with the arrow key costs 20 further batch calls. Each figure is
// printed beside the same number of bare calls ("XUS SIGNON SETUP", which touches no data)
// made on the same link in the same run. Calls are counted in the server's call log.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "bench/ratio_reporter.h"
#include "broker/broker_ui.h"
#include "broker/rpc_broker.h"
#include "devserver/net/server.h"
#include "lookup/bound_grid.h"
#include "lookup/vorn_finder.h"
#include "tests/devserver/server_fixture.h"
#include "tests/support/isolated_settings.h"
#include "tests/support/silent_broker_ui.h"
#include "toolkit/component_loading.h"

namespace {

namespace devtest = vorn::devserver::test;

constexpr int kSeedScale = 334;  // 300 lab results x 334
constexpr int kFileRecords = 300 * kSeedScale;
constexpr int kWalk = 1000;
constexpr int kBatch = 50;

vorn::test::SilentBrokerUi gQuiet;

struct World {
    devtest::TempFolder folder;
    std::string logPath = folder.Path("calls.log");
    std::unique_ptr<vorn::devserver::Server> server;
    vorn::TRPCBroker broker;
    QWidget form;
    vorn::TvornFinder* finder = nullptr;
    vorn::TvornGrid* grid = nullptr;

    void BareCall() { broker.Call(vorn::RpcRequest(QStringLiteral("XUS SIGNON SETUP"))); }

    World() {
        vorn::SetBrokerUi(&gQuiet);
        vorn::devserver::ServerOptions options =
            devtest::TestOptions(devtest::SeededDatabaseCopy(folder, kSeedScale));
        options.logPath = logPath;
        server = std::make_unique<vorn::devserver::Server>(options);
        server->Start();
        broker.SetServer(QStringLiteral("127.0.0.1"));
        broker.SetListenerPort(server->Port());
        broker.PresetCodes = QStringLiteral("DEMO;DEMO.1234");
        if (!broker.OpenAppContext(QStringLiteral("ZAZIRERO"))) std::abort();

        finder = new vorn::TvornFinder(&form);
        finder->setObjectName(QStringLiteral("fndLabResult"));
        finder->SetRPCBroker(&broker);
        finder->FileNumber = QStringLiteral("80005");
        grid = new vorn::TvornGrid(&form);
        grid->setObjectName(QStringLiteral("grdLabResult"));
        grid->SetvornFinder(finder);
        grid->SetFields({QStringLiteral(".01,Patient or specimen,200"),
                         QStringLiteral("3,Date,120"), QStringLiteral("4,Result,150")});
        grid->setGeometry(0, 0, 600, 400);
        form.resize(600, 400);
        vorn::ui::LoadComponents(form);
        form.show();
    }

    // The calls of `name` in the server's log. The server logs a call after sending its reply:
    // a bare call first makes sure the last call of the grid is written.
    long Calls(const std::string& name) {
        BareCall();
        std::ifstream log(logPath);
        const std::string wanted = " call=\"" + name + "\"";
        long count = 0;
        for (std::string line; std::getline(log, line);)
            if (line.find(wanted) != std::string::npos) ++count;
        return count;
    }
};

World* gWorld = nullptr;

World& Shared() {
    return *gWorld;
}

void BM_GridFirstRows(benchmark::State& state) {
    World& w = Shared();
    const long before = w.Calls("DDR LISTER");
    for (auto _ : state)
        benchmark::DoNotOptimize(w.grid->Fill());
    const double calls = double(w.Calls("DDR LISTER") - before) / double(state.iterations());
    state.counters["batch_calls"] = calls;
    state.counters["rows_held"] = double(w.finder->Records.size());
    state.counters["grid_rows"] = double(w.grid->RowCount() - 1);
    state.counters["file_records"] = kFileRecords;
    if (calls != 1.0 || w.finder->Records.size() != kBatch) state.SkipWithError("not one batch");
}

void BM_BareCall(benchmark::State& state) {
    World& w = Shared();
    for (auto _ : state)
        w.BareCall();
}

void BM_GridWalk1000Rows(benchmark::State& state) {
    World& w = Shared();
    long walkCalls = 0;
    for (auto _ : state) {
        state.PauseTiming();
        w.grid->Fill();
        w.grid->setCurrentCell(0, 0);
        const long before = w.Calls("DDR LISTER");
        state.ResumeTiming();
        for (int i = 0; i < kWalk; ++i)
            QTest::keyClick(w.grid, Qt::Key_Down);
        state.PauseTiming();
        walkCalls += w.Calls("DDR LISTER") - before;
        if (w.grid->Row() != kWalk + 1) state.SkipWithError("the walk did not reach row 1001");
        state.ResumeTiming();
    }
    const double calls = double(walkCalls) / double(state.iterations());
    state.counters["batch_calls"] = calls;
    state.counters["rows_held"] = double(w.finder->Records.size());
    state.counters["file_records"] = kFileRecords;
    if (calls != kWalk / kBatch) state.SkipWithError("not 20 batch calls");
}

void BM_Bare20Calls(benchmark::State& state) {
    World& w = Shared();
    for (auto _ : state)
        for (int i = 0; i < kWalk / kBatch; ++i)
            w.BareCall();
}

// The walk's 20 batches fetched by a finder alone, without a grid: what the server and the
// finder cost, so that the walk's ratio to it is the grid's own share.
void BM_Finder20Batches(benchmark::State& state) {
    World& w = Shared();
    vorn::TvornFinder finder;
    finder.SetRPCBroker(&w.broker);
    finder.FileNumber = QStringLiteral("80005");
    finder.Number = QString::number(kBatch);
    finder.FieldList = {QStringLiteral(".01"), QStringLiteral("3"), QStringLiteral("4")};
    for (auto _ : state) {
        state.PauseTiming();
        finder.GetList();
        state.ResumeTiming();
        for (int i = 0; i < kWalk / kBatch; ++i)
            finder.GetMore();
    }
    if (finder.Records.size() != kWalk + kBatch) state.SkipWithError("not 1 050 records");
}

BENCHMARK(BM_BareCall)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GridFirstRows)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Bare20Calls)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Finder20Batches)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GridWalk1000Rows)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    vorn::test::IsolateSettings();
    QApplication app(argc, argv);
    World world;  // the 100 000 records are seeded before the timed runs; gone before the app
    gWorld = &world;
    std::fprintf(stderr, "lab results on file: %d\n", kFileRecords);
    return vorn::bench::RunWithRatios(
        argc, argv,
        {{"BM_GridFirstRows/real_time", "BM_BareCall/real_time",
          "a grid's first 50 rows (one batch call) against one bare call; lower is better", false},
         {"BM_GridWalk1000Rows/real_time", "BM_Bare20Calls/real_time",
          "walking down 1 000 rows (20 batch calls) against 20 bare calls; lower is better", false},
         {"BM_GridWalk1000Rows/real_time", "BM_Finder20Batches/real_time",
          "the same walk against its 20 batches fetched by a finder alone (the grid's own "
          "share); lower is better",
          false}});
}
