// What reading and filing records costs on the development server, against the bare call
// ("XUS SIGNON SETUP", which touches no record) through the same client link to an in-process
// server that logs every call with its parameters, as vorn-server does under source_bench.
// - Each call that the data source makes to read, move through and save a record, on its own:
//   where source_bench gives the cost of a whole action, this says which of its calls the
//   server spends the time on.
// - A "DDR GETS ENTRY DATA" of a ten-field lab test (pointer, dates, set codes,
//   word-processing text and the computed field among them) and a "DDR FILER" EDIT of the
//   indexed .01 field, a durable transaction with its index kept.
#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

#include "bench/ratio_reporter.h"
#include "broker/internal/socket_transport.h"
#include "broker/internal/wire_protocol.h"
#include "broker/rpc_params.h"
#include "devserver/storage/gtm_runtime.h"
#include "tests/devserver/server_fixture.h"

namespace {

using vorn::TParams;
using vorn::TParamType;
using vorn::devserver::Server;
using vorn::devserver::StoreEngine;
namespace test = vorn::devserver::test;

using Entries = std::vector<std::pair<QString, QString>>;

QByteArray ListCall(const char* name, const Entries& entries) {
    TParams p;
    p[0].ParamKind = TParamType::list;
    for (const auto& [subscript, value] : entries)
        p[0].Mult[subscript] = value;
    return vorn::ComposeCall(name, "0", &p);
}

// A "DDR FILER" EDIT of `field` of lab test 1.
QByteArray FilerEdit(const char* field, const char* value) {
    TParams p;
    p[0].Value = "EDIT";
    p[0].ParamKind = TParamType::literal;
    p[1].ParamKind = TParamType::list;
    p[1].Mult["1"] = QStringLiteral("80001^%1^1^%2").arg(field, value);
    p[2].Value = "";
    p[2].ParamKind = TParamType::literal;
    return vorn::ComposeCall("DDR FILER", "0", &p);
}

struct World {
    test::TempFolder folder;
    std::unique_ptr<Server> server;
    std::unique_ptr<test::Client> client;
    QByteArray bare, gets, first, last, after, identifiers, lock, unlock, validate, edit[2];
    QByteArray getsTen, editIndexed[2];

    explicit World(StoreEngine engine) {
        vorn::devserver::ServerOptions options =
            test::TestOptions(test::SeededDatabase(folder, engine), engine);
        options.logPath = folder.Path("calls.log");
        options.logParams = true;
        server = std::make_unique<Server>(options);
        server->Start();
        client = std::make_unique<test::Client>(server->Port());
        client->SignOnDemo();

        TParams none;
        bare = vorn::ComposeCall("XUS SIGNON SETUP", "0", &none);
        gets = ListCall("DDR GETS ENTRY DATA", {{"\"FILE\"", "80001"},
                                                {"\"FIELDS\"", ".01;2;4;6;"},
                                                {"\"IENS\"", "1,"},
                                                {"\"FLAGS\"", "IE"}});
        const Entries lister{
            {"\"FILE\"", "80001"}, {"\"FIELDS\"", ".001"}, {"\"MAX\"", "1"}, {"\"XREF\"", "B"}};
        first = ListCall("DDR LISTER", lister);
        Entries backwards = lister;
        backwards.push_back({"\"FLAGS\"", "B"});
        last = ListCall("DDR LISTER", backwards);
        Entries from = lister;
        from.push_back({"\"FROM\"", "HB"});
        from.push_back({"\"FROM\",\"IEN\"", "1"});
        after = ListCall("DDR LISTER", from);
        identifiers = ListCall("VRNX IDENTIFIERS", {{"\"FILE\"", "80001"}, {"\"IEN\"", "1"}});
        lock =
            ListCall("VRNX LOCKS", {{"\"FILE\"", "80001"}, {"\"IEN\"", "1"}, {"\"ACT\"", "LOCK"}});
        unlock = ListCall("VRNX LOCKS",
                          {{"\"FILE\"", "80001"}, {"\"IEN\"", "1"}, {"\"ACT\"", "UNLOCK"}});
        validate = ListCall("DDR VALIDATOR", {{"\"FILE\"", "80001"},
                                              {"\"IENS\"", "1,"},
                                              {"\"FIELD\"", "2"},
                                              {"\"VALUE\"", "Haemoglobin"}});
        edit[0] = FilerEdit("2", "Hemoglobin");
        edit[1] = FilerEdit("2", "Haemoglobin");
        getsTen = ListCall("DDR GETS ENTRY DATA", {{"\"FILE\"", "80001"},
                                                   {"\"FIELDS\"", ".01;2;3;4;5;6;7;8;100;901;"},
                                                   {"\"IENS\"", "1,"},
                                                   {"\"FLAGS\"", "IE"}});
        editIndexed[0] = FilerEdit(".01", "WBC");
        editIndexed[1] = FilerEdit(".01", "WBC2");
        // Fail loudly rather than measure error replies.
        if (!Exchange(gets).contains("80001^1^2^")) throw std::runtime_error("GETS failed");
        for (const QByteArray* call : {&first, &last, &after})
            if (!Exchange(*call).contains("[Data]")) throw std::runtime_error("LISTER failed");
        if (!Exchange(getsTen).contains("80001^1^901^")) throw std::runtime_error("GETS failed");
        for (const QByteArray* call : {&edit[1], &edit[0], &editIndexed[1], &editIndexed[0]})
            if (Exchange(*call) != "[Data]\r\n") throw std::runtime_error("FILER failed");
    }
    QByteArray Exchange(const QByteArray& message) {
        return vorn::ExchangeMessage(client->link(), message);
    }
};

// One world on each engine; the GT.M one is made only when its benchmarks run.
StoreEngine gEngine = StoreEngine::Sqlite;
World& Shared(StoreEngine engine = gEngine) {
    if (engine == StoreEngine::Gtm) {
        static World gtm(StoreEngine::Gtm);
        return gtm;
    }
    static World sqlite(StoreEngine::Sqlite);
    return sqlite;
}

void Calls(benchmark::State& state, std::vector<const QByteArray*> calls) {
    World& w = Shared();
    for (auto _ : state)
        for (const QByteArray* call : calls)
            benchmark::DoNotOptimize(w.Exchange(*call));
}

void Bare(benchmark::State& state) {
    World& w = Shared();
    Calls(state, {&w.bare});
}
void Gets(benchmark::State& state) {
    World& w = Shared();
    Calls(state, {&w.gets});
}
void ListerFirst(benchmark::State& state) {
    World& w = Shared();
    Calls(state, {&w.first});
}
void ListerLast(benchmark::State& state) {
    World& w = Shared();
    Calls(state, {&w.last});
}
void ListerAfter(benchmark::State& state) {
    World& w = Shared();
    Calls(state, {&w.after});
}
void Identifiers(benchmark::State& state) {
    World& w = Shared();
    Calls(state, {&w.identifiers});
}
void Validator(benchmark::State& state) {
    World& w = Shared();
    Calls(state, {&w.validate});
}
// Locking and unlocking the record: two calls against two bare ones.
void LockUnlock(benchmark::State& state) {
    World& w = Shared();
    Calls(state, {&w.lock, &w.unlock});
}
void BarePair(benchmark::State& state) {
    World& w = Shared();
    Calls(state, {&w.bare, &w.bare});
}
void GetsTen(benchmark::State& state) {
    World& w = Shared();
    Calls(state, {&w.getsTen});
}
// Each filing changes the value, so that every one is a real write.
void Alternating(benchmark::State& state, const QByteArray (&edits)[2]) {
    World& w = Shared();
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(w.Exchange(edits[++i % 2]));
}
void FilerEdit(benchmark::State& state) {
    Alternating(state, Shared().edit);
}
void FilerEditIndexed(benchmark::State& state) {
    Alternating(state, Shared().editIndexed);
}

}  // namespace

int main(int argc, char** argv) {
    Shared(StoreEngine::Sqlite);
    const bool gtm = !vorn::devserver::FindGtmDist().empty();
    if (gtm) Shared(StoreEngine::Gtm);
    std::vector<std::string> names;
    for (auto [name, f] : std::vector<std::pair<const char*, void (*)(benchmark::State&)>>{
             {"Bare", Bare},
             {"BarePair", BarePair},
             {"Gets", Gets},
             {"ListerFirst", ListerFirst},
             {"ListerLast", ListerLast},
             {"ListerAfter", ListerAfter},
             {"Identifiers", Identifiers},
             {"Validator", Validator},
             {"LockUnlock", LockUnlock},
             {"FilerEdit", FilerEdit},
             {"GetsTen", GetsTen},
             {"FilerEditIndexed", FilerEditIndexed}}) {
        // The same calls on each engine: "Gets" on SQLite, "GTM_Gets" on GT.M.
        benchmark::RegisterBenchmark(name,
                                     [f](benchmark::State& state) {
                                         gEngine = StoreEngine::Sqlite;
                                         f(state);
                                     })
            ->Unit(benchmark::kMicrosecond)
            ->UseRealTime();
        names.push_back(name);
        if (!gtm) continue;
        benchmark::RegisterBenchmark((std::string("GTM_") + name).c_str(),
                                     [f](benchmark::State& state) {
                                         gEngine = StoreEngine::Gtm;
                                         f(state);
                                     })
            ->Unit(benchmark::kMicrosecond)
            ->UseRealTime();
    }
    auto against = [](const char* ours, const char* what, const char* bare = "Bare") {
        return vorn::bench::Pairing{std::string(ours) + "/real_time",
                                    std::string(bare) + "/real_time", what, false};
    };
    std::vector<vorn::bench::Pairing> pairings = {
        against("Gets", "\"DDR GETS ENTRY DATA\" of 4 fields / a bare call"),
        against("ListerFirst", "\"DDR LISTER\" MAX 1, the first record / a bare call"),
        against("ListerLast", "\"DDR LISTER\" MAX 1 backwards, the last record / a bare call"),
        against("ListerAfter", "\"DDR LISTER\" MAX 1 from a record, the next / a bare call"),
        against("Identifiers", "\"VRNX IDENTIFIERS\" of a record / a bare call"),
        against("Validator", "\"DDR VALIDATOR\" of one field / a bare call"),
        against("LockUnlock", "\"VRNX LOCKS\" lock and unlock / two bare calls", "BarePair"),
        against("FilerEdit", "\"DDR FILER\" EDIT of one field (durable) / a bare call"),
        against("GetsTen", "\"DDR GETS ENTRY DATA\" of 10 fields of every kind / a bare call"),
        against("FilerEditIndexed",
                "\"DDR FILER\" EDIT of the indexed .01 field (durable) / a bare call")};
    // Each call on GT.M against the same call on SQLite, measured in the same run.
    if (gtm)
        for (const std::string& name : names)
            pairings.push_back({"GTM_" + name + "/real_time", name + "/real_time",
                                name + " on GT.M / on SQLite", false});
    return vorn::bench::RunWithRatios(argc, argv, std::move(pairings));
}
