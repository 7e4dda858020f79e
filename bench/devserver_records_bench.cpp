// What reading and filing a record costs on the development server, in calls per second beside
// the bare call ("XUS SIGNON SETUP", which touches no record) measured in the same run through
// the same client link: a "DDR GETS ENTRY DATA" of a ten-field lab test (pointer, dates, set
// codes, word-processing text and the computed field among them) and a "DDR FILER" EDIT of one
// field, which is a durable transaction with its index kept. The ratio is the record work's
// share of a round trip.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/ratio_reporter.h"
#include "broker/rpc_params.h"
#include "broker/socket_transport.h"
#include "broker/wire_protocol.h"
#include "tests/devserver/server_fixture.h"

namespace {

using vorn::TParams;
using vorn::TParamType;
using vorn::devserver::Server;
namespace test = vorn::devserver::test;

struct World {
    test::TempFolder folder;
    std::unique_ptr<Server> server;
    std::unique_ptr<test::Client> client;
    QByteArray bare, gets, edit[2];

    World() {
        server = std::make_unique<Server>(test::TestOptions(test::SeededDatabaseCopy(folder)));
        server->Start();
        client = std::make_unique<test::Client>(server->Port());
        client->SignOnDemo();

        TParams none;
        bare = vorn::ComposeCall("XUS SIGNON SETUP", "0", &none);

        TParams g;
        g[0].ParamKind = TParamType::list;
        g[0].Mult["\"FILE\""] = "80001";
        g[0].Mult["\"FIELDS\""] = ".01;2;3;4;5;6;7;8;100;901;";
        g[0].Mult["\"IENS\""] = "1,";
        g[0].Mult["\"FLAGS\""] = "IE";
        gets = vorn::ComposeCall("DDR GETS ENTRY DATA", "0", &g);

        for (int i = 0; i < 2; ++i) {
            TParams f;
            f[0].Value = "EDIT";
            f[0].ParamKind = TParamType::literal;
            f[1].ParamKind = TParamType::list;
            f[1].Mult["1"] = i ? "80001^.01^2^WBC2" : "80001^.01^2^WBC";
            f[2].Value = "";
            f[2].ParamKind = TParamType::literal;
            edit[i] = vorn::ComposeCall("DDR FILER", "0", &f);
        }
        // Fail loudly rather than measure error replies.
        if (!Exchange(gets).contains("80001^1^901^")) throw std::runtime_error("GETS failed");
        if (Exchange(edit[1]) != "[Data]\r\n" || Exchange(edit[0]) != "[Data]\r\n")
            throw std::runtime_error("FILER failed");
    }
    QByteArray Exchange(const QByteArray& message) {
        return vorn::ExchangeMessage(client->link(), message);
    }
};

World& Shared() {
    static World w;
    return w;
}

void BM_BareCall(benchmark::State& state) {
    World& w = Shared();
    for (auto _ : state)
        benchmark::DoNotOptimize(w.Exchange(w.bare));
    state.SetItemsProcessed(state.iterations());
}

void BM_GetsTenFields(benchmark::State& state) {
    World& w = Shared();
    for (auto _ : state)
        benchmark::DoNotOptimize(w.Exchange(w.gets));
    state.SetItemsProcessed(state.iterations());
}

void BM_FilerEdit(benchmark::State& state) {
    World& w = Shared();
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(w.Exchange(w.edit[++i % 2]));
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_BareCall)->UseRealTime();
BENCHMARK(BM_GetsTenFields)->UseRealTime();
BENCHMARK(BM_FilerEdit)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    Shared();
    return vorn::bench::RunWithRatios(
        argc, argv,
        {{"BM_GetsTenFields/real_time", "BM_BareCall/real_time",
          "\"DDR GETS ENTRY DATA\" of a 10-field record, calls per second against the bare "
          "call; higher is better",
          true, true},
         {"BM_FilerEdit/real_time", "BM_BareCall/real_time",
          "\"DDR FILER\" EDIT of an indexed field (one durable transaction) against the bare "
          "call; higher is better",
          true, true}});
}
