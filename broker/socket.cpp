#include "broker/internal/socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>

#include "broker/internal/socket_errors.h"

namespace vorn::net {
namespace {

bool Fail(int err) {
    SetLastSocketError(WsaErrorFromErrno(err));
    return false;
}

sockaddr_in ToSockaddr(const Endpoint& e) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = e.address;
    sa.sin_port = htons(static_cast<uint16_t>(e.port));
    return sa;
}

Endpoint FromSockaddr(const sockaddr_in& sa) {
    return {sa.sin_addr.s_addr, ntohs(sa.sin_port)};
}

}  // namespace

std::string Endpoint::DottedAddress() const {
    in_addr a{};
    a.s_addr = address;
    char buf[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &a, buf, sizeof buf);
    return buf;
}

Socket::~Socket() {
    if (fd_ >= 0) ::close(fd_);
}

Socket& Socket::operator=(Socket&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.Release();
    }
    return *this;
}

int Socket::Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

namespace {

// Blocking calls return after one slice without progress, so the hook can watch the clock.
void SetWaitSlices(int fd) {
    timeval slice{0, kHookSliceMs * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &slice, sizeof slice);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &slice, sizeof slice);
}

bool WouldBlock(int err) {
    return err == EAGAIN || err == EWOULDBLOCK || err == EINTR;
}

}  // namespace

Socket Socket::CreateStream() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        Fail(errno);
        return Socket();
    }
    SetWaitSlices(fd);
    return Socket(fd);
}

// Asks the hook after each slice that passed without progress.
bool Socket::Cancelled(const BlockingHook& hook) {
    if (hook && hook()) {
        SetLastSocketError(WSAEINTR);
        return true;
    }
    return false;
}

// A connect cannot be resumed after a time-out of its own, so it runs non-blocking and polls.
bool Socket::Connect(const Endpoint& to, const BlockingHook& hook) {
    const int flags = ::fcntl(fd_, F_GETFL);
    ::fcntl(fd_, F_SETFL, flags | O_NONBLOCK);
    const sockaddr_in sa = ToSockaddr(to);
    bool ok = ::connect(fd_, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0;
    if (!ok && errno == EINPROGRESS) {
        for (;;) {
            pollfd p{fd_, POLLOUT, 0};
            const int n = ::poll(&p, 1, kHookSliceMs);
            if (n > 0) {
                int err = 0;
                socklen_t len = sizeof err;
                ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &err, &len);
                ok = err == 0 || Fail(err);
                break;
            }
            if (n < 0 && errno != EINTR) {
                Fail(errno);
                break;
            }
            if (Cancelled(hook)) break;
        }
    } else if (!ok) {
        Fail(errno);
    }
    ::fcntl(fd_, F_SETFL, flags);
    return ok;
}

bool Socket::Bind(const Endpoint& at) {
    const sockaddr_in sa = ToSockaddr(at);
    return ::bind(fd_, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0 || Fail(errno);
}

bool Socket::Listen(int backlog) {
    return ::listen(fd_, backlog) == 0 || Fail(errno);
}

Socket Socket::Accept(Endpoint& peer, const BlockingHook& hook) {
    for (;;) {
        sockaddr_in sa{};
        socklen_t len = sizeof sa;
        const int fd = ::accept4(fd_, reinterpret_cast<sockaddr*>(&sa), &len, SOCK_CLOEXEC);
        if (fd >= 0) {
            SetWaitSlices(fd);
            peer = FromSockaddr(sa);
            return Socket(fd);
        }
        if (!WouldBlock(errno) && errno != ECONNABORTED) {
            Fail(errno);
            return Socket();
        }
        if (Cancelled(hook)) return Socket();
    }
}

bool Socket::LocalEndpoint(Endpoint& out) const {
    sockaddr_in sa{};
    socklen_t len = sizeof sa;
    if (::getsockname(fd_, reinterpret_cast<sockaddr*>(&sa), &len) != 0) return Fail(errno);
    out = FromSockaddr(sa);
    return true;
}

bool Socket::PeerEndpoint(Endpoint& out) const {
    sockaddr_in sa{};
    socklen_t len = sizeof sa;
    if (::getpeername(fd_, reinterpret_cast<sockaddr*>(&sa), &len) != 0) return Fail(errno);
    out = FromSockaddr(sa);
    return true;
}

bool Socket::SendAll(const char* data, std::size_t size, const BlockingHook& hook) {
    while (size > 0) {
        const ssize_t n = ::send(fd_, data, size, MSG_NOSIGNAL);
        if (n > 0) {
            data += n;
            size -= static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && !WouldBlock(errno)) return Fail(errno);
        if (Cancelled(hook)) return false;
    }
    return true;
}

long Socket::Receive(char* data, std::size_t size, const BlockingHook& hook) {
    for (;;) {
        const ssize_t n = ::recv(fd_, data, size, 0);
        if (n >= 0) return static_cast<long>(n);
        if (!WouldBlock(errno)) {
            Fail(errno);
            return -1;
        }
        if (Cancelled(hook)) return -1;
    }
}

bool Socket::PeerClosed() const {
    // A look that finds nothing must not leave its errno for the call that follows.
    const int saved = errno;
    char byte = 0;
    const ssize_t n = ::recv(fd_, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    const bool closed =
        n == 0 || (n < 0 && (errno == ECONNRESET || errno == EPIPE || errno == ENOTCONN));
    errno = saved;
    return closed;
}

bool Socket::SetLingerZero() {
    linger l{1, 0};
    return ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &l, sizeof l) == 0 || Fail(errno);
}

bool Socket::Close() {
    if (fd_ < 0) return true;
    const int fd = Release();
    return ::close(fd) == 0 || Fail(errno);
}

bool ResolveHost(const std::string& host, in_addr_t& address, std::string* canonical) {
    in_addr numeric{};
    if (inet_pton(AF_INET, host.c_str(), &numeric) == 1) {
        address = numeric.s_addr;
        if (canonical) *canonical = host;
        return true;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = canonical ? AI_CANONNAME : 0;
    addrinfo* found = nullptr;
    const int rc = ::getaddrinfo(host.c_str(), nullptr, &hints, &found);
    if (rc != 0 || found == nullptr) {
        SetLastSocketError(WsaErrorFromResolver(rc == 0 ? EAI_NONAME : rc));
        return false;
    }
    address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    if (canonical) *canonical = found->ai_canonname ? found->ai_canonname : host;
    ::freeaddrinfo(found);
    return true;
}

bool LocalHostName(std::string& name) {
    char buf[256] = {};
    if (::gethostname(buf, 255) != 0) return Fail(errno);
    name = buf;
    return true;
}

bool HostNames::LocalHostName(std::string& name) const {
    return net::LocalHostName(name);
}

bool HostNames::ResolveHost(const std::string& host, in_addr_t& address,
                            std::string* canonical) const {
    return net::ResolveHost(host, address, canonical);
}

namespace {

const HostNames kSystemHostNames;
std::atomic<const HostNames*> gHostNames{nullptr};

}  // namespace

const HostNames& CurrentHostNames() {
    const HostNames* names = gHostNames.load(std::memory_order_acquire);
    return names ? *names : kSystemHostNames;
}

void SetHostNames(const HostNames* names) {
    gHostNames.store(names, std::memory_order_release);
}

}  // namespace vorn::net
