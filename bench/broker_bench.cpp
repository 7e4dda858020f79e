// Round trip of a small call and throughput of a large reply through the broker, each beside
// the same bytes moved over the same loopback connection with bare send and recv.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>

#include <memory>
#include <vector>

#include "bench/ratio_reporter.h"
#include "broker/internal/socket_transport.h"
#include "broker/internal/wire_protocol.h"
#include "tests/support/test_peer.h"

namespace {

using vorn::BrokerLink;
using vorn::test::PeerConnection;
using vorn::test::TestPeer;

constexpr std::size_t kBigReply = 20 * 1024 * 1024;

struct Fixture {
    TestPeer peer;
    std::unique_ptr<BrokerLink> link;
    std::string small =
        vorn::test::FrameReply(vorn::test::Lines({"SERVER", "DEV", "VORN", "9200", "5", "0", "0"}));
    std::string big = vorn::test::FrameReply(std::string(kBigReply, 'x'));

    Fixture() {
        peer.SetRecording(false);
        peer.SetDefaultAction([this](PeerConnection& c, const std::string& message) {
            c.Send(message.find("BIG") != std::string::npos ? big : small);
        });
        link = vorn::OpenBrokerLink(false, "127.0.0.1", peer.Port(), 30);
    }
};

Fixture& Shared() {
    static Fixture f;
    return f;
}

// Bare client: the same request bytes, blocking recv until the reply's end marker.
void BareExchange(int fd, const std::string& request, std::vector<char>& buffer) {
    send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    std::size_t got = 0;
    for (;;) {
        const ssize_t n = recv(fd, buffer.data() + got, buffer.size() - got, 0);
        if (n <= 0) return;
        got += static_cast<std::size_t>(n);
        if (buffer[got - 1] == '\x04') return;
    }
}

class BlockingScope {
  public:
    explicit BlockingScope(int fd) : fd_(fd), flags_(fcntl(fd, F_GETFL)) {
        fcntl(fd, F_SETFL, flags_ & ~O_NONBLOCK);
    }
    ~BlockingScope() { fcntl(fd_, F_SETFL, flags_); }

  private:
    int fd_, flags_;
};

void BM_BrokerSmallCall(benchmark::State& state) {
    Fixture& f = Shared();
    for (auto _ : state) {
        const QByteArray reply =
            vorn::ExchangeMessage(*f.link, vorn::ComposeCall("XUS SIGNON SETUP", "0", nullptr));
        benchmark::DoNotOptimize(reply.data());
    }
}

void BM_BareSmallPingPong(benchmark::State& state) {
    Fixture& f = Shared();
    const std::string request =
        "{XWB}" + vorn::ComposeCall("XUS SIGNON SETUP", "0", nullptr).toStdString();
    std::vector<char> buffer(4096);
    BlockingScope blocking(f.link->socket.Descriptor());
    for (auto _ : state)
        BareExchange(f.link->socket.Descriptor(), request, buffer);
}

void BM_BrokerBigReply(benchmark::State& state) {
    Fixture& f = Shared();
    for (auto _ : state) {
        const QByteArray reply =
            vorn::ExchangeMessage(*f.link, vorn::ComposeCall("BIG", "0", nullptr));
        benchmark::DoNotOptimize(reply.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBigReply));
}

void BM_BareBigRecv(benchmark::State& state) {
    Fixture& f = Shared();
    const std::string request = "{XWB}" + vorn::ComposeCall("BIG", "0", nullptr).toStdString();
    std::vector<char> buffer(kBigReply + 16);
    BlockingScope blocking(f.link->socket.Descriptor());
    for (auto _ : state)
        BareExchange(f.link->socket.Descriptor(), request, buffer);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBigReply));
}

BENCHMARK(BM_BareSmallPingPong)->UseRealTime();
BENCHMARK(BM_BrokerSmallCall)->UseRealTime();
BENCHMARK(BM_BareBigRecv)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BrokerBigReply)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return vorn::bench::RunWithRatios(
        argc, argv,
        {{"BM_BrokerSmallCall", "BM_BareSmallPingPong", "round trip, lower is better; goal <= 1.2",
          false},
         {"BM_BrokerBigReply", "BM_BareBigRecv", "20 MB reply throughput, goal >= 0.5", true}});
}
