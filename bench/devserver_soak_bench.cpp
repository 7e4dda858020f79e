// The server under a steady crowd: 32 clients signed on at once on loopback, each running the
// demo's mix of calls (find, read, next, save, lister batches, a report read to its end) for a
// set time, against a vorn-server this program starts with its own copy of the demo data.
//
// It prints calls per second, the median and 99th-percentile latency after the warm-up, and the
// server's resident memory (VmRSS) at the start, after the warm-up and at the end. The figures
// set beside each other as ratios are the ones that must stay near 1 and under 10: resident
// memory at the end against after the warm-up (no growth beyond noise), and the 99th
// percentile against the median.
//
//   build-wt/bin/devserver_soak_bench [--seconds 20] [--warmup 5] [--clients 32]
//                                       [--seed-scale 4]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bench/resident_memory.h"
#include "broker/internal/socket_transport.h"
#include "broker/internal/wire_protocol.h"
#include "broker/rpc_params.h"
#include "tests/devserver/server_fixture.h"
#include "tests/support/dev_server_process.h"

namespace {

namespace test = vorn::devserver::test;
using vorn::bench::MiB;
using vorn::bench::StatusKiB;
using Clock = std::chrono::steady_clock;
using Entries = std::vector<std::pair<QString, QString>>;

int Option(int argc, char** argv, const std::string& name, int fallback) {
    for (int i = 1; i + 1 < argc; ++i)
        if (argv[i] == name) return std::atoi(argv[i + 1]);
    return fallback;
}

// What one client saw: each call's latency in microseconds after the warm-up, and failures.
struct Tally {
    std::vector<long> latencies;
    std::map<std::string, std::vector<long>> byCall;
    long failures = 0;
    std::string firstFailure;
};

class Worker {
  public:
    Worker(int port, int index, int records, Tally& tally)
        : client_(port), index_(index), records_(records), tally_(tally) {
        client_.SignOnDemo();
    }

    // Runs rounds until `stop`; counts only what starts after `measureFrom`.
    void Run(const std::atomic<bool>& stop, const std::atomic<bool>& measuring) {
        for (long round = 0; !stop.load(); ++round) {
            measuring_ = measuring.load();
            Round(round);
        }
    }

  private:
    // The demo's everyday actions: look a lab test up by the first letters typed, read it, move
    // to the next, page a grid of 50, and now and then save an edit or print a report.
    void Round(long round) {
        const std::string ien = std::to_string(1 + (index_ + round * 7) % records_);
        static const char* const kLetters[] = {"A", "C", "G", "H", "P", "S", "U", "T"};
        Expect("find",
               List("VRNX FINDER", {{"\"FILE\"", "80001"},
                                    {"\"FIELDS\"", ".01;2;"},
                                    {"\"FLAGS\"", "M"},
                                    {"\"MAX\"", "20"},
                                    {"\"VALUE\"", kLetters[round % 8]},
                                    {"\"XREF\"", "B"}}),
               "[Data]");
        const auto read =
            List("DDR GETS ENTRY DATA", {{"\"FILE\"", "80001"},
                                         {"\"FIELDS\"", "*"},
                                         {"\"IENS\"", QString::fromStdString(ien + ",")},
                                         {"\"FLAGS\"", "IE"}});
        Expect("read", read, "[BEGIN_diDATA]");
        std::string name;
        if (read.size() > 1) name = Piece(read[1], 5);
        Expect("next",
               List("DDR LISTER", {{"\"FILE\"", "80001"},
                                   {"\"FIELDS\"", ".01;"},
                                   {"\"MAX\"", "1"},
                                   {"\"XREF\"", "B"},
                                   {"\"FROM\"", QString::fromStdString(name)},
                                   {"\"FROM\",\"IEN\"", QString::fromStdString(ien)}}),
               "");
        Expect("lister batch",
               List("DDR LISTER", {{"\"FILE\"", "80005"},
                                   {"\"FIELDS\"", ".01;2;3;4;"},
                                   {"\"MAX\"", "50"},
                                   {"\"XREF\"", "B"}}),
               "");
        if (round % 4 == 3) Save();
        if (round % 8 == 5) Report(ien);
    }

    // Each client edits lab tests of its own, so that no two wait on one lock.
    void Save() {
        const std::string ien = std::to_string(1 + index_ % records_);
        const Entries record{{"\"FILE\"", "80001"}, {"\"IEN\"", QString::fromStdString(ien)}};
        Entries lock = record, unlock = record;
        lock.emplace_back("\"ACT\"", "LOCK");
        unlock.emplace_back("\"ACT\"", "UNLOCK");
        const auto locked = List("VRNX LOCKS", lock);
        if (locked.size() < 2 || locked[1] != "1") {
            Fail("save: lock refused");
            return;
        }
        vorn::TParams p;
        p[0].Value = "EDIT";
        p[0].ParamKind = vorn::TParamType::literal;
        p[1].ParamKind = vorn::TParamType::list;
        p[1].Mult["1"] =
            QString::fromStdString("80001^6^" + ien + "^" + std::to_string(1 + ++saves_ % 200));
        p[2].Value = "";
        p[2].ParamKind = vorn::TParamType::literal;
        const auto filed = Timed("save", [&] {
            return test::SplitLines(
                vorn::ExchangeMessage(client_.link(), vorn::ComposeCall("DDR FILER", "0", &p)));
        });
        Expect("save", filed, "[Data]", false);
        List("VRNX LOCKS", unlock);
    }

    void Report(const std::string& ien) {
        const auto stored =
            List("VRNX REPORT", {{"\"FILE\"", "80001"},
                                 {"\"FIELDS\"", "<CAPTIONED>;"},
                                 {"\"BY\"", QString::fromStdString("NUMBER=" + ien)}});
        if (stored.size() != 2 || stored[0] != "[Data]") {
            Fail("report: " + (stored.size() > 1 ? stored[1] : std::string("no handle")));
            return;
        }
        for (int page = 0; page < 1000; ++page) {
            const auto lines = Timed("report page", [&] {
                return test::SplitLines(
                    client_.Call("VRNX OUTCR", {QString::fromStdString(stored[1])}));
            });
            if (lines.size() < 3 || lines[0] != "[Misc]") {
                Fail("report page");
                return;
            }
            if (Piece(lines[1], 2) == "0") return;
        }
    }

    std::vector<std::string> List(const char* name, const Entries& entries) {
        return Timed(name, [&] { return test::SplitLines(client_.CallList(name, entries)); });
    }

    template <typename F>
    std::vector<std::string> Timed(const std::string& what, F&& call) {
        const auto start = Clock::now();
        std::vector<std::string> lines;
        try {
            lines = call();
        } catch (const std::exception& e) {
            Fail(what + ": " + e.what());
        }
        if (measuring_) {
            const long us =
                std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
            tally_.latencies.push_back(us);
            tally_.byCall[what].push_back(us);
        }
        return lines;
    }

    void Expect(const char* what, const std::vector<std::string>& lines, const std::string& first,
                bool errorsAreFailures = true) {
        const bool errors = std::find(lines.begin(), lines.end(), "[Errors]") != lines.end();
        if ((!first.empty() && (lines.empty() || lines[0] != first)) ||
            (errorsAreFailures && errors))
            Fail(std::string(what) + ": " + (lines.empty() ? "" : lines.back()));
    }

    void Fail(const std::string& why) {
        if (tally_.failures++ == 0) tally_.firstFailure = why;
    }

    static std::string Piece(const std::string& s, int n) {
        std::size_t start = 0;
        for (int i = 1; i < n; ++i) {
            start = s.find('^', start);
            if (start == std::string::npos) return {};
            ++start;
        }
        return s.substr(start, s.find('^', start) - start);
    }

    test::Client client_;
    const int index_, records_;
    Tally& tally_;
    bool measuring_ = false;
    long saves_ = 0;
};

long Percentile(std::vector<long>& sorted, double p) {
    if (sorted.empty()) return 0;
    return sorted[std::min(sorted.size() - 1, static_cast<std::size_t>(p * sorted.size()))];
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = Option(argc, argv, "--seconds", 20);
    const int warmup = Option(argc, argv, "--warmup", 5);
    const int clients = Option(argc, argv, "--clients", 32);
    const int scale = Option(argc, argv, "--seed-scale", 4);

    vorn::test::DevServerProcess::Options options;
    options.seedScale = scale;
    options.logParams = false;
    vorn::test::DevServerProcess server(options);
    const long atStart = StatusKiB(server.Pid());

    std::vector<Tally> tallies(static_cast<std::size_t>(clients));
    std::vector<std::unique_ptr<Worker>> workers;
    for (int i = 0; i < clients; ++i)
        workers.push_back(std::make_unique<Worker>(server.Port(), i, 40 * scale,
                                                   tallies[static_cast<std::size_t>(i)]));
    std::atomic<bool> stop{false}, measuring{false};
    std::vector<std::thread> threads;
    for (auto& w : workers)
        threads.emplace_back([&, worker = w.get()] { worker->Run(stop, measuring); });

    std::this_thread::sleep_for(std::chrono::seconds(warmup));
    const long afterWarmup = StatusKiB(server.Pid());
    const auto measureStart = Clock::now();
    measuring = true;
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    measuring = false;
    const double measured = std::chrono::duration<double>(Clock::now() - measureStart).count();
    stop = true;
    for (std::thread& t : threads)
        t.join();
    const long atEnd = StatusKiB(server.Pid());

    std::vector<long> all;
    std::map<std::string, std::vector<long>> calls;
    long failures = 0;
    std::string firstFailure;
    for (Tally& t : tallies) {
        all.insert(all.end(), t.latencies.begin(), t.latencies.end());
        for (const auto& [name, us] : t.byCall)
            calls[name].insert(calls[name].end(), us.begin(), us.end());
        if (t.failures && firstFailure.empty()) firstFailure = t.firstFailure;
        failures += t.failures;
    }
    std::sort(all.begin(), all.end());
    const long median = Percentile(all, 0.5), p99 = Percentile(all, 0.99);

    std::printf("%d clients for %.1f s after a %d s warm-up, demo data x %d\n", clients, measured,
                warmup, scale);
    for (auto& [name, us] : calls) {
        std::sort(us.begin(), us.end());
        std::printf("  %-22s %8zu calls, median %7.2f ms, 99th percentile %7.2f ms\n", name.c_str(),
                    us.size(), Percentile(us, 0.5) / 1000.0, Percentile(us, 0.99) / 1000.0);
    }
    std::printf("calls per second: %.0f; failures: %ld%s%s\n", all.size() / measured, failures,
                failures ? ", first: " : "", firstFailure.c_str());
    std::printf("latency: median %.2f ms, 99th percentile %.2f ms; ratio %.1fx (goal <= 10)\n",
                median / 1000.0, p99 / 1000.0, median ? double(p99) / double(median) : 0.0);
    std::printf(
        "server resident memory: start %.1f MiB, after warm-up %.1f MiB, end %.1f MiB; "
        "end / after warm-up %.2fx (goal: 1 within noise)\n",
        MiB(atStart), MiB(afterWarmup), MiB(atEnd),
        afterWarmup > 0 ? double(atEnd) / double(afterWarmup) : 0.0);
    return failures == 0 ? 0 : 1;
}
