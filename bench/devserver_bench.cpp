// Simple calls per second through the development server, from one client and from eight at
// once, each beside a bare loopback ping-pong server answering the same bytes in the same run.
// The clients are the same raw socket loop in both cases, so the ratio is the server's own cost.
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "bench/ratio_reporter.h"
#include "common/counted_fields.h"
#include "tests/devserver/server_fixture.h"

namespace {

using vorn::devserver::Server;
namespace test = vorn::devserver::test;

constexpr int kMaxClients = 8;

std::string SetupCall() {
    const std::string procedure =
        vorn::wire::PadCount("0XUS SIGNON SETUP^" + vorn::wire::PadCount("", 5), 5);
    const std::string rest =
        vorn::wire::ByteCount("0") + vorn::wire::PadCount("007XWB;;;;" + procedure, 5);
    return "{XWB}" + vorn::wire::CountDigits(rest.size(), 5) + rest;
}

// Sends the request and reads to the reply's end marker; the reply's size.
std::size_t Exchange(int fd, const std::string& request, std::vector<char>& buffer) {
    ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    std::size_t got = 0;
    for (;;) {
        const ssize_t n = ::recv(fd, buffer.data() + got, buffer.size() - got, 0);
        if (n <= 0) return 0;
        got += static_cast<std::size_t>(n);
        if (buffer[got - 1] == '\x04') return got;
    }
}

// Reads a request of known size, answers the fixed reply; one thread per connection.
class PingPong {
  public:
    PingPong(std::size_t requestSize, std::string reply)
        : requestSize_(requestSize), reply_(std::move(reply)) {
        listen_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listen_, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
        ::listen(listen_, 16);
        socklen_t len = sizeof sa;
        ::getsockname(listen_, reinterpret_cast<sockaddr*>(&sa), &len);
        port_ = ntohs(sa.sin_port);
    }
    int Connect() {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        sa.sin_port = htons(static_cast<std::uint16_t>(port_));
        ::connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
        const int served = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
        threads_.emplace_back([this, served] {
            std::vector<char> buf(65536);
            for (;;) {
                std::size_t got = 0;
                while (got < requestSize_) {
                    const ssize_t n = ::recv(served, buf.data(), requestSize_ - got, 0);
                    if (n <= 0) {
                        ::close(served);
                        return;
                    }
                    got += static_cast<std::size_t>(n);
                }
                ::send(served, reply_.data(), reply_.size(), MSG_NOSIGNAL);
            }
        });
        return fd;
    }
    ~PingPong() {
        ::close(listen_);
        for (auto& t : threads_)
            t.detach();
    }

  private:
    int listen_ = -1;
    int port_ = 0;
    std::size_t requestSize_;
    std::string reply_;
    std::vector<std::thread> threads_;
};

struct World {
    test::TempFolder folder;
    std::unique_ptr<Server> server;
    std::string request = SetupCall();
    std::string reply;
    std::unique_ptr<PingPong> bare;
    std::array<std::unique_ptr<test::RawClient>, kMaxClients> ours;
    std::array<int, kMaxClients> theirs{};

    World() {
        vorn::devserver::ServerOptions o = test::TestOptions(test::SeededDatabaseCopy(folder));
        server = std::make_unique<Server>(o);
        server->Start();
        for (auto& c : ours) {
            c = std::make_unique<test::RawClient>(server->Port());
            c->Handshake();
        }
        std::vector<char> buf(65536);
        const std::size_t n = Exchange(ours[0]->fd(), request, buf);
        reply.assign(buf.data(), n);
        bare = std::make_unique<PingPong>(request.size(), reply);
        for (int& fd : theirs)
            fd = bare->Connect();
    }
};

World& Shared() {
    static World w;
    return w;
}

void BM_DevServerCall(benchmark::State& state) {
    World& w = Shared();
    const int fd = w.ours[static_cast<std::size_t>(state.thread_index())]->fd();
    std::vector<char> buf(65536);
    for (auto _ : state)
        benchmark::DoNotOptimize(Exchange(fd, w.request, buf));
    state.SetItemsProcessed(state.iterations());
}

void BM_BarePingPong(benchmark::State& state) {
    World& w = Shared();
    const int fd = w.theirs[static_cast<std::size_t>(state.thread_index())];
    std::vector<char> buf(65536);
    for (auto _ : state)
        benchmark::DoNotOptimize(Exchange(fd, w.request, buf));
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_BarePingPong)->UseRealTime()->Threads(1)->Threads(8);
BENCHMARK(BM_DevServerCall)->UseRealTime()->Threads(1)->Threads(8);

}  // namespace

int main(int argc, char** argv) {
    Shared();  // set up before the timed runs start their threads
    return vorn::bench::RunWithRatios(
        argc, argv,
        {{"BM_DevServerCall/real_time/threads:1", "BM_BarePingPong/real_time/threads:1",
          "\"XUS SIGNON SETUP\" calls per second, 1 client; higher is better", true, true},
         {"BM_DevServerCall/real_time/threads:8", "BM_BarePingPong/real_time/threads:8",
          "the same from 8 clients at once", true, true}});
}
