#include "tests/support/test_peer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>

namespace vorn::test {
namespace {

using namespace std::chrono_literals;

const std::string kGoodbye = "{XWB}0001000005#BYE#";

sockaddr_in Loopback(const std::string& address, int port) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(static_cast<uint16_t>(port));
    inet_pton(AF_INET, address.c_str(), &sa.sin_addr);
    return sa;
}

// Binds `fd` to a free loopback port and gives the port; 0 when it cannot.
int BindLoopback(int fd) {
    sockaddr_in sa = Loopback("127.0.0.1", 0);
    socklen_t len = sizeof sa;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) return 0;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len);
    return ntohs(sa.sin_port);
}

// Reads exactly `n` bytes; false when the client went away or the wake pipe fired.
bool ReadExactly(int fd, int wakeFd, std::string& out, std::size_t n) {
    while (n > 0) {
        pollfd p[2] = {{fd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
        if (::poll(p, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (p[1].revents) return false;
        char buf[65536];
        const ssize_t got = ::recv(fd, buf, std::min(n, sizeof buf), 0);
        if (got <= 0) return false;
        out.append(buf, static_cast<std::size_t>(got));
        n -= static_cast<std::size_t>(got);
    }
    return true;
}

}  // namespace

bool PeerConnection::Send(const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

void PeerConnection::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

std::string FrameReply(const std::string& data) {
    return std::string("\0\0", 2) + data + '\x04';
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines)
        out += l + "\r\n";
    return out;
}

int ClosedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int port = BindLoopback(fd);
    ::close(fd);
    return port;
}

TestPeer::TestPeer() {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int yes = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    port_ = BindLoopback(listenFd_);
    if (port_ == 0 || ::listen(listenFd_, 8) != 0)
        throw std::runtime_error("test peer cannot listen");
    if (::pipe2(wakeFd_, O_CLOEXEC) != 0) throw std::runtime_error("test peer cannot make a pipe");
    thread_ = std::thread([this] { Run(); });
}

TestPeer::~TestPeer() {
    Set(stopping_, true);
    changed_.notify_all();
    const char c = 'x';
    (void)!::write(wakeFd_[1], &c, 1);
    thread_.join();
    ::close(listenFd_);
    ::close(wakeFd_[0]);
    ::close(wakeFd_[1]);
}

TestPeer& TestPeer::Then(PeerAction action) {
    std::lock_guard lock(mutex_);
    script_.push_back(std::move(action));
    return *this;
}

TestPeer& TestPeer::ReplyInChunks(const std::string& data, std::size_t chunk) {
    return Then([bytes = FrameReply(data), chunk](PeerConnection& c, const std::string&) {
        for (std::size_t at = 0; at < bytes.size() && c.Send(bytes.substr(at, chunk)); at += chunk)
            std::this_thread::sleep_for(200us);
    });
}

TestPeer& TestPeer::ReplyWithLoneEnd(const std::string& data) {
    return Then([data](PeerConnection& c, const std::string&) {
        c.Send(std::string("\0\0", 2) + data);
        std::this_thread::sleep_for(30ms);
        c.Send("\x04");
    });
}

TestPeer& TestPeer::ReplyRaw(const std::string& bytes) {
    return Then([bytes](PeerConnection& c, const std::string&) { c.Send(bytes); });
}

TestPeer& TestPeer::CloseMidReply(const std::string& partialBytes) {
    return Then([partialBytes](PeerConnection& c, const std::string&) {
        c.Send(partialBytes);
        std::this_thread::sleep_for(10ms);
        c.Close();
    });
}

TestPeer& TestPeer::CloseWithoutReply() {
    return Then([](PeerConnection& c, const std::string&) { c.Close(); });
}

TestPeer& TestPeer::Stall(const std::string& lateData, std::function<void()> onStall) {
    return Then([this, lateData, onStall](PeerConnection& c, const std::string&) {
        if (onStall) onStall();
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, 10s, [this] { return released_ || stopping_; });
        released_ = false;
        lock.unlock();
        c.Send(FrameReply(lateData));
        Set(lateSent_, true);
        changed_.notify_all();
    });
}

void TestPeer::Release() {
    std::unique_lock lock(mutex_);
    lateSent_ = false;
    released_ = true;
    changed_.notify_all();
    changed_.wait_for(lock, 10s, [this] { return lateSent_ || stopping_; });
}

void TestPeer::Record(const std::string& message, bool call, int* count) {
    {
        std::lock_guard lock(mutex_);
        if (recording_) {
            messages_.push_back(message);
            if (call) calls_.push_back(message);
        }
        if (count) ++*count;
    }
    changed_.notify_all();
}

bool TestPeer::ReadMessage(int fd, std::string& message) {
    message.clear();
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    return ReadExactly(fd, wakeFd_[0], message, 10) && message.compare(0, 5, "{XWB}") == 0 &&
           std::all_of(message.begin() + 5, message.end(), digit) &&
           ReadExactly(fd, wakeFd_[0], message, std::stoul(message.substr(5)));
}

int TestPeer::ConnectBack(const std::string& address, int port, const std::string& from) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (!from.empty()) {
        sockaddr_in local = Loopback(from, 0);
        ::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local);
    }
    sockaddr_in sa = Loopback(address, port);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        ::close(fd);
        return -1;
    }
    const int yes = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    return fd;
}

void TestPeer::Run() {
    for (;;) {
        pollfd p[2] = {{listenFd_, POLLIN, 0}, {wakeFd_[0], POLLIN, 0}};
        if (::poll(p, 2, -1) < 0 && errno != EINTR) return;
        if (p[1].revents) return;
        if (!(p[0].revents & POLLIN)) continue;
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        ServeSession(fd);
    }
}

void TestPeer::ServeSession(int handshakeFd) {
    std::string message;
    PeerConnection first(handshakeFd);
    if (!ReadMessage(handshakeFd, message)) return first.Close();
    Record(message, false, &handshakes_);
    const std::string reply = Copy(handshakeReply_), intruder = Copy(intruder_);
    first.Send(FrameReply(reply));
    // The client resets the first connection once it has the answer.
    std::string ignored;
    ReadExactly(handshakeFd, wakeFd_[0], ignored, 1);
    first.Close();
    if (reply != "accept" || Copy(noCallback_)) return;

    // "TCPconnect^address^port^host^" after the version field (stoi stops at the "^").
    const auto at = message.find("TCPconnect^");
    if (at == std::string::npos) return;
    const std::string address = message.substr(at + 11, message.find('^', at + 11) - at - 11);
    const int port = std::stoi(message.substr(at + 12 + address.size()));

    if (const int bad = intruder.empty() ? -1 : ConnectBack(address, port, intruder); bad >= 0) {
        pollfd p{bad, POLLIN, 0};
        char c;
        const bool closed = ::poll(&p, 1, 5000) > 0 && ::recv(bad, &c, 1, 0) <= 0;
        ::close(bad);
        Set(intruderRefused_, closed);
    }

    const int fd = ConnectBack(address, port, "");
    if (fd < 0) return;
    PeerConnection conn(fd);
    ServeCalls(conn);
    conn.Close();
}

void TestPeer::ServeCalls(PeerConnection& conn) {
    std::string message;
    while (conn.fd() >= 0 && ReadMessage(conn.fd(), message)) {
        if (message == kGoodbye) {
            Record(message, false, &goodbyes_);
            conn.Send(FrameReply("#BYE#"));
            return;
        }
        Record(message, true, nullptr);
        PeerAction action;
        {
            std::lock_guard lock(mutex_);
            action = script_.empty() ? default_ : std::move(script_.front());
            if (!script_.empty()) script_.pop_front();
        }
        if (action)
            action(conn, message);
        else
            conn.Send(FrameReply("\x18test peer: no scripted reply for this call"));
    }
}

}  // namespace vorn::test
