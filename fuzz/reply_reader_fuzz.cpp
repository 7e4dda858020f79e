// The reply reader fed from a socket pair: whatever the server sends, the reader returns data
// or raises EBrokerError, and never crashes or hangs.
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

#include "broker/broker_error.h"
#include "broker/internal/broker_link.h"
#include "broker/internal/wire_protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 200000) return 0;
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds) != 0) return 0;
    const int big = 1 << 20;
    setsockopt(fds[1], SOL_SOCKET, SO_SNDBUF, &big, sizeof big);
    setsockopt(fds[0], SOL_SOCKET, SO_RCVBUF, &big, sizeof big);
    // The first byte chooses whether a drain is pending, so that both readers are covered.
    const bool drain = size > 0 && (data[0] & 1);
    std::size_t sent = 0;
    while (sent < size) {
        const ssize_t n = send(fds[1], data + sent, size - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
    }
    shutdown(fds[1], SHUT_WR);

    vorn::BrokerLink link;
    link.socket = vorn::net::Socket(fds[0]);
    link.linked = true;
    link.drainPending = drain;
    try {
        const QByteArray result = vorn::ExchangeMessage(link, vorn::ComposeGoodbye());
        if (result.size() > static_cast<qsizetype>(size)) __builtin_trap();
    } catch (const vorn::EBrokerError&) {
    }
    close(fds[1]);
    return 0;
}
