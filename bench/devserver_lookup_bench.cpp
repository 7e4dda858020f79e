// Listing and lookup calls per second on a 100 000-record file, each beside the bare-call rate
// ("XUS SIGNON SETUP", which touches no data) measured in the same run through the same client,
// so that the ratio is the cost of the walk, the screen-free record reads and the longer reply.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <memory>
#include <string>

#include "bench/ratio_reporter.h"
#include "devserver/files/file_records.h"
#include "devserver/files/seed.h"
#include "devserver/storage/gtm_runtime.h"
#include "devserver/storage/store_engine.h"
#include "tests/devserver/server_fixture.h"

namespace {

using vorn::devserver::Server;
namespace devserver = vorn::devserver;
namespace test = vorn::devserver::test;

constexpr int kRecords = 100000;

// "SPECIMEN KX 4711": two letters that vary, so that a two-letter lookup is selective.
std::string Name(int i) {
    const unsigned h = static_cast<unsigned>(i) * 2654435761u;
    std::string name = "SPECIMEN ";
    name += static_cast<char>('A' + (h >> 8) % 26);
    name += static_cast<char>('A' + (h >> 16) % 26);
    return name + " " + std::to_string(i);
}

struct World {
    test::TempFolder folder;
    std::unique_ptr<Server> server;
    std::unique_ptr<test::Client> client;
    std::vector<std::pair<QString, QString>> lister, finder;
    int pages = 0;  // the batches listed from elsewhere so far

    explicit World(devserver::StoreEngine engine) {
        const std::string path = test::SeededDatabase(folder, engine);
        {
            const auto opened = devserver::OpenStore({engine, path});
            devserver::GlobalStore& store = *opened;
            auto dict =
                devserver::Dictionary::Load(devserver::DefaultSeedFolder() + "/dictionary.vdd");
            const devserver::FileDef& file = *dict->File("80004");
            // In transactions of 1000 records: a GT.M transaction holds its blocks in memory.
            for (int from = 1; from <= kRecords; from += 1000)
                store.Atomically([&] {
                    for (int i = from; i < from + 1000 && i <= kRecords; ++i) {
                        const std::string ien = std::to_string(100 + i);
                        store.Set(file.root.Child(ien).Child("0"), Name(i));
                        devserver::AddIndexEntries(store, *dict, file, file.root, ien);
                    }
                });
            store.Atomically([&] {
                devserver::WriteHeader(store, file, file.root, {100 + kRecords, 10 + kRecords});
            });
        }
        server = std::make_unique<Server>(test::TestOptions(path, engine));
        server->Start();
        client = std::make_unique<test::Client>(server->Port());
        client->SignOnDemo();
        // A batch of 50 from the middle of the file, as the next page of a grid or a finder.
        const int middle = kRecords / 2;
        lister = {{"\"FILE\"", "80004"},
                  {"\"FIELDS\"", ".01;"},
                  {"\"MAX\"", "50"},
                  {"\"XREF\"", "B"},
                  {"\"FROM\"", QString::fromStdString(Name(middle))},
                  {"\"FROM\",\"IEN\"", QString::number(100 + middle)}};
        // A typed lookup, as a dialog edit sends it: about 150 of the records match.
        finder = {{"\"FILE\"", "80004"}, {"\"FIELDS\"", ".01;"},      {"\"FLAGS\"", "M"},
                  {"\"MAX\"", "20"},     {"\"PART\"", "specimen kx"}, {"\"VALUE\"", "specimen kx"},
                  {"\"XREF\"", "B"}};
        const auto listed = test::SplitLines(client->CallList("DDR LISTER", lister));
        const auto found = test::SplitLines(client->CallList("VRNX FINDER", finder));
        std::fprintf(stderr, "lister batch: %zu lines, finder: %zu lines (%s)\n", listed.size(),
                     found.size(), found.size() > 3 ? found[3].c_str() : "");
        if (listed.size() != 53 || found.size() != 23) std::abort();
    }
};

// One world on each engine, made when the first benchmark on it runs.
World& Shared(devserver::StoreEngine engine) {
    if (engine == devserver::StoreEngine::Gtm) {
        static World gtm(devserver::StoreEngine::Gtm);
        return gtm;
    }
    static World sqlite(devserver::StoreEngine::Sqlite);
    return sqlite;
}

double CpuSeconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The server runs in this process: its CPU time is the process's less this (the client's)
// thread's. Wall time on a shared machine moves with the load; the server's CPU time per call
// much less, so it is reported beside it ("server_us").
template <typename F>
void Timed(benchmark::State& state, F&& call) {
    const double process = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const double client = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    for (auto _ : state)
        benchmark::DoNotOptimize(call());
    const double server = (CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - process) -
                          (CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - client);
    state.counters["server_us"] = server * 1e6 / static_cast<double>(state.iterations());
    state.SetItemsProcessed(state.iterations());
}

void BM_BareCall(benchmark::State& state, World& w) {
    Timed(state, [&] { return w.client->Call("XUS SIGNON SETUP"); });
}

void BM_ListerBatch50(benchmark::State& state, World& w) {
    Timed(state, [&] { return w.client->CallList("DDR LISTER", w.lister); });
}

// A batch of 50 from a different place each time, as a user moving about the file: nothing the
// last batch read is asked again.
void BM_ListerPages(benchmark::State& state, World& w) {
    std::vector<std::pair<QString, QString>> request = w.lister;
    Timed(state, [&] {
        const int i = 1 + (w.pages++ * 50) % kRecords;
        request[4].second = QString::fromStdString(Name(i));
        request[5].second = QString::number(100 + i);
        return w.client->CallList("DDR LISTER", request);
    });
}

void BM_FinderLookup(benchmark::State& state, World& w) {
    Timed(state, [&] { return w.client->CallList("VRNX FINDER", w.finder); });
}

// Each benchmark on SQLite, then the same named "..._GTM" on GT.M when it is installed.
void Register() {
    using devserver::StoreEngine;
    const bool gtm = !devserver::FindGtmDist().empty();
    for (const auto& [name, f] :
         std::vector<std::pair<std::string, void (*)(benchmark::State&, World&)>>{
             {"BM_BareCall", BM_BareCall},
             {"BM_ListerBatch50", BM_ListerBatch50},
             {"BM_ListerPages", BM_ListerPages},
             {"BM_FinderLookup", BM_FinderLookup}})
        for (const StoreEngine engine : {StoreEngine::Sqlite, StoreEngine::Gtm}) {
            if (engine == StoreEngine::Gtm && !gtm) continue;
            const std::string full = name + (engine == StoreEngine::Gtm ? "_GTM" : "");
            benchmark::RegisterBenchmark(full.c_str(), [f = f, engine](benchmark::State& state) {
                f(state, Shared(engine));
            })->UseRealTime();
        }
}

}  // namespace

int main(int argc, char** argv) {
    Register();
    // The 100 000 records are made before the timed runs, on each engine, when the benchmarks
    // run that need them.
    return vorn::bench::RunWithRatios(
        argc, argv,
        {{"BM_ListerBatch50/real_time", "BM_BareCall/real_time",
          "\"DDR LISTER\" batches of 50 per second on 100 000 records, against bare calls; "
          "higher is better",
          true, true},
         {"BM_ListerPages/real_time", "BM_BareCall/real_time",
          "\"DDR LISTER\" batches of 50, each from elsewhere in the file, per second, against bare "
          "calls; higher is better",
          true, true},
         {"BM_FinderLookup/real_time", "BM_BareCall/real_time",
          "\"VRNX FINDER\" lookups (20 of ~150 matches, ignoring case) per second, against bare "
          "calls; higher is better",
          true, true},
         // The same calls on GT.M against SQLite: below 1, GT.M serves fewer per second.
         {"BM_BareCall_GTM/real_time", "BM_BareCall/real_time",
          "bare calls per second, GT.M / SQLite", true, true},
         {"BM_ListerBatch50_GTM/real_time", "BM_ListerBatch50/real_time",
          "\"DDR LISTER\" batches of 50 per second, GT.M / SQLite", true, true},
         {"BM_ListerPages_GTM/real_time", "BM_ListerPages/real_time",
          "\"DDR LISTER\" batches of 50 from elsewhere per second, GT.M / SQLite", true, true},
         {"BM_FinderLookup_GTM/real_time", "BM_FinderLookup/real_time",
          "\"VRNX FINDER\" lookups per second, GT.M / SQLite", true, true}});
}
