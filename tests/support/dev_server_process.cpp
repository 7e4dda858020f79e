#include "tests/support/dev_server_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <regex>
#include <stdexcept>
#include <thread>

#ifndef VORN_SERVER_PROGRAM
#error "VORN_SERVER_PROGRAM names the vorn-server program (the vorn_dev_server_process target)"
#endif

namespace vorn::test {
namespace {

using namespace std::chrono_literals;

// The exit status of a child that has ended: its code, or 128 + the signal that ended it.
int ExitStatus(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Sends `signal` to a child and gives its exit status once it has ended.
int EndChild(pid_t pid, int signal) {
    int status = 0;
    ::kill(pid, signal);
    ::waitpid(pid, &status, 0);
    return ExitStatus(status);
}

// Starts the program with `args`, its standard error appended to `errors`, and reads its first
// line "listening on ADDR:PORT". Gives the process and sets `port`.
pid_t Spawn(const std::vector<std::string>& args, const std::string& errors, int& port) {
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::dup2(out[1], 1);
        ::dup2(::open("/dev/null", O_RDONLY), 0);
        ::dup2(::open(errors.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644), 2);
        // Nothing else of the test program (its listeners, its clients' sockets) goes along.
        for (int fd = 3; fd < 1024; ++fd)
            ::close(fd);
        std::vector<char*> argv{const_cast<char*>(VORN_SERVER_PROGRAM)};
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(VORN_SERVER_PROGRAM, argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    // Seeding a large database takes a while; a server that never says where it listens is
    // given up on all the same.
    static const std::regex listening(R"(^listening on [0-9.]+:([0-9]+)$)");
    std::string line;
    std::smatch m;
    const auto deadline = std::chrono::steady_clock::now() + 120s;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{out[0], POLLIN, 0};
        char c = 0;
        if (::poll(&p, 1, 100) <= 0) continue;
        if (::read(out[0], &c, 1) != 1) break;
        if (c != '\n') {
            line += c;
        } else if (std::regex_match(line, m, listening)) {
            port = std::stoi(m[1]);
            ::close(out[0]);
            return pid;
        } else {
            line.clear();
        }
    }
    ::close(out[0]);
    throw std::runtime_error("vorn-server did not start (exit " +
                             std::to_string(EndChild(pid, SIGKILL)) + "): " + FileText(errors));
}

// The seeded databases of this test program, one per scale, removed when it ends.
class SeedCache {
  public:
    std::string For(int scale) {
        std::lock_guard lock(mutex_);
        auto found = paths_.find(scale);
        if (found != paths_.end()) return found->second;
        const std::string path = folder_.Path("seed-" + std::to_string(scale) + ".db");
        int port = 0;
        const pid_t pid =
            Spawn({"--port", "0", "--data", path, "--seed-scale", std::to_string(scale)},
                  folder_.Path("seed.err"), port);
        // A clean stop checkpoints the write-ahead log into the file, which is then complete.
        if (EndChild(pid, SIGTERM) != 0) throw std::runtime_error("seeding did not end cleanly");
        return paths_[scale] = path;
    }

  private:
    std::mutex mutex_;
    TempFolder folder_;
    std::map<int, std::string> paths_;
};

SeedCache& Seeds() {
    static SeedCache cache;
    return cache;
}

}  // namespace

void CopySeededDatabase(const std::string& path, int seedScale) {
    std::filesystem::copy_file(Seeds().For(seedScale), path,
                               std::filesystem::copy_options::overwrite_existing);
}

DevServerProcess::DevServerProcess() : DevServerProcess(Options()) {}

DevServerProcess::DevServerProcess(Options options) : options_(std::move(options)) {
    database_ = folder_.Path(options_.gtm ? "gtm" : "data.db");
    log_ = folder_.Path("calls.log");
    errors_ = folder_.Path("server.err");
    if (options_.gtm) {
        options_.extraArguments.insert(options_.extraArguments.begin(), {"--engine", "gtm"});
        if (options_.seedScale != 1)
            options_.extraArguments.insert(options_.extraArguments.end(),
                                           {"--seed-scale", std::to_string(options_.seedScale)});
    } else {
        CopySeededDatabase(database_, options_.seedScale);
    }
    Launch(0);
}

DevServerProcess::~DevServerProcess() {
    if (Running()) {
        ::kill(pid_, SIGTERM);
        for (int i = 0; i < 500 && Reap(false) < 0; ++i)
            std::this_thread::sleep_for(10ms);
        if (Running()) Kill();
    }
}

void DevServerProcess::Launch(int port) {
    std::vector<std::string> args = {
        "--port",  std::to_string(port), "--data", database_, "--log", log_,
        "--spool", SpoolFolder()};
    if (options_.logParams) args.push_back("--log-params");
    if (options_.latencyMs > 0)
        args.insert(args.end(), {"--latency", std::to_string(options_.latencyMs)});
    args.insert(args.end(), options_.extraArguments.begin(), options_.extraArguments.end());
    pid_ = Spawn(args, errors_, port_);
}

int DevServerProcess::Reap(bool wait) {
    int status = 0;
    const pid_t done = ::waitpid(pid_, &status, wait ? 0 : WNOHANG);
    if (done != pid_) return -1;
    pid_ = -1;
    return ExitStatus(status);
}

void DevServerProcess::Kill() {
    Stop(SIGKILL);
}

int DevServerProcess::Stop(int signal) {
    if (!Running()) return -1;
    ::kill(pid_, signal);
    return Reap(true);
}

void DevServerProcess::Start() {
    if (Running()) throw std::runtime_error("vorn-server is running already");
    Launch(port_);
}

void DevServerProcess::StartOnAnyPort() {
    if (Running()) throw std::runtime_error("vorn-server is running already");
    Launch(0);
}

std::vector<LoggedCall> DevServerProcess::CallsSince(std::size_t mark) const {
    std::vector<LoggedCall> calls = Calls();
    calls.erase(calls.begin(),
                calls.begin() + static_cast<std::ptrdiff_t>(std::min(mark, calls.size())));
    return calls;
}

std::vector<std::string> DevServerProcess::NamesSince(std::size_t mark) const {
    return Names(CallsSince(mark));
}

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace vorn::test
