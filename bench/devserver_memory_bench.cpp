// The server's resident memory when users ask for reports and never read them: 8 sessions each
// ask for 32 "<CAPTIONED>" reports of file 80001 on the demo data multiplied 50 times, reading
// none. Every call must come back with a handle or with a refusal that says why; the server's
// resident memory at the end is printed beside its memory with the 8 sessions signed on and no
// report asked for, as a ratio. Exits 1 when a call got anything else, or when the server ends
// above the bound (default 256 MB; --bound-mb N).
//
//   build-wt/bin/devserver_memory_bench [--sessions 8] [--reports 32] [--seed-scale 50]
//                                       [-- vorn-server options, e.g. --server-documents 32]
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bench/resident_memory.h"
#include "tests/devserver/server_fixture.h"
#include "tests/support/dev_server_process.h"

namespace {

namespace test = vorn::devserver::test;
using vorn::bench::MiB;
using vorn::bench::StatusKiB;

int Option(int argc, char** argv, const std::string& name, int fallback) {
    for (int i = 1; i + 1 < argc; ++i)
        if (argv[i] == name) return std::atoi(argv[i + 1]);
    return fallback;
}

}  // namespace

int main(int argc, char** argv) {
    const int sessions = Option(argc, argv, "--sessions", 8);
    const int reports = Option(argc, argv, "--reports", 32);
    const int scale = Option(argc, argv, "--seed-scale", 50);
    const long boundKiB = Option(argc, argv, "--bound-mb", 256) * 1000L * 1000L / 1024L;

    vorn::test::DevServerProcess::Options options;
    options.seedScale = scale;
    options.logParams = false;
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "--") options.extraArguments.assign(argv + i + 1, argv + argc);
    vorn::test::DevServerProcess server(options);
    const long atStart = StatusKiB(server.Pid());

    std::vector<std::unique_ptr<test::Client>> clients;
    for (int i = 0; i < sessions; ++i) {
        clients.push_back(std::make_unique<test::Client>(server.Port()));
        clients.back()->SignOnDemo();
    }
    const long signedOn = StatusKiB(server.Pid());

    std::mutex mutex;
    std::map<std::string, int> answers;  // "handle", or the refusal's text
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < sessions; ++i) {
        threads.emplace_back([&, i] {
            for (int r = 0; r < reports; ++r) {
                const auto lines = test::SplitLines(clients[static_cast<std::size_t>(i)]->CallList(
                    "VRNX REPORT", {{"\"FILE\"", "80001"}, {"\"FIELDS\"", "<CAPTIONED>;"}}));
                std::string answer;
                if (lines.size() == 2 && lines[0] == "[Data]" && lines[1].size() >= 16)
                    answer = "handle";
                else if (lines.size() == 2 && lines[0] == "[Errors]" && !lines[1].empty())
                    answer = "refused: " + lines[1];
                else
                    ++wrong;
                std::lock_guard lock(mutex);
                ++answers[answer.empty() ? "neither handle nor reason" : answer];
            }
        });
    }
    for (std::thread& t : threads)
        t.join();
    const long atEnd = StatusKiB(server.Pid());
    const long peak = StatusKiB(server.Pid(), "VmHWM");

    std::printf("%d sessions x %d unread <CAPTIONED> reports of 80001, demo data x %d\n", sessions,
                reports, scale);
    for (const auto& [answer, count] : answers)
        std::printf("  %4d  %s\n", count, answer.c_str());
    std::printf(
        "server resident memory: start %.1f MiB, signed on %.1f MiB, end %.1f MiB "
        "(%.0f MB), peak %.1f MiB\n",
        MiB(atStart), MiB(signedOn), MiB(atEnd), atEnd * 1024.0 / 1e6, MiB(peak));
    std::printf("end / signed on: %.2fx; bound %.0f MB: %s\n",
                static_cast<double>(atEnd) / static_cast<double>(signedOn), boundKiB * 1024.0 / 1e6,
                atEnd <= boundKiB ? "kept" : "EXCEEDED");
    return wrong == 0 && atEnd <= boundKiB ? 0 : 1;
}
