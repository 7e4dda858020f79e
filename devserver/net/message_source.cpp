#include "devserver/net/message_source.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace vorn::devserver {

namespace {

int PollFor(int fd, short events, std::chrono::milliseconds slice) {
    pollfd p{fd, events, 0};
    const int rc = ::poll(&p, 1, static_cast<int>(slice.count()));
    if (rc <= 0) return 0;
    return p.revents;
}

}  // namespace

// Feeds the parser from the connection's buffer, receiving more while the message's time lasts.
class Connection::Source final : public MessageSource {
  public:
    explicit Source(Connection& c) : c_(c), deadline_(c.clock_.Now() + c.limits_.messageTime) {}

    void Read(std::string& out, std::size_t n) override {
        if (taken_ + n > c_.limits_.maxMessageBytes)
            throw SourceEnded("a message over " + std::to_string(c_.limits_.maxMessageBytes) +
                              " bytes");
        while (c_.buffer_.size() - c_.pos_ < n) {
            if (c_.stopping_.load()) throw SourceEnded("the server is stopping");
            if (c_.clock_.Now() >= deadline_)
                throw SourceEnded("a message not complete within " +
                                  std::to_string(c_.limits_.messageTime.count()) +
                                  " ms of its first byte");
            const int ready = PollFor(c_.fd_, POLLIN, c_.limits_.slice);
            if (!ready) continue;
            if (!c_.Fill())
                throw SourceEnded("the client closed the connection in the middle of a message");
        }
        out.append(c_.buffer_, c_.pos_, n);
        c_.pos_ += n;
        taken_ += n;
    }

  private:
    Connection& c_;
    std::chrono::steady_clock::time_point deadline_;
    std::size_t taken_ = 0;
};

Connection::Connection(int fd, const Clock& clock, const WireLimits& limits,
                       const std::atomic<bool>& stopping)
    : fd_(fd), clock_(clock), limits_(limits), stopping_(stopping) {
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
}

Connection::~Connection() {
    if (fd_ >= 0) ::close(fd_);
}

bool Connection::Fill() {
    if (pos_ > 0 && pos_ == buffer_.size()) {
        buffer_.clear();
        pos_ = 0;
    } else if (pos_ > (1u << 16)) {
        buffer_.erase(0, pos_);
        pos_ = 0;
    }
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
        if (n > 0) {
            buffer_.append(chunk, static_cast<std::size_t>(n));
            return true;
        }
        if (n == 0) return false;
        if (errno == EINTR) continue;
        return errno == EAGAIN || errno == EWOULDBLOCK;  // nothing yet: not closed
    }
}

Connection::Wait Connection::WaitForMessage(std::chrono::milliseconds limit) {
    const auto deadline = clock_.Now() + limit;
    while (pos_ >= buffer_.size()) {
        if (stopping_.load()) return Wait::Stopping;
        if (clock_.Now() >= deadline) return Wait::TimedOut;
        if (!PollFor(fd_, POLLIN, limits_.slice)) continue;
        if (!Fill()) return Wait::Closed;
    }
    return Wait::Ready;
}

Message Connection::ReadOne() {
    Source source(*this);
    return ReadMessage(source);
}

bool Connection::Send(const std::string& bytes) {
    std::size_t sent = 0;
    auto lastProgress = clock_.Now();
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            lastProgress = clock_.Now();
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (clock_.Now() - lastProgress >= limits_.messageTime) return false;
            const int ready = PollFor(fd_, POLLOUT, limits_.slice);
            if (ready & (POLLERR | POLLHUP)) return false;
            continue;
        }
        return false;
    }
    return true;
}

void Connection::Reset() {
    if (fd_ < 0) return;
    linger l{1, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &l, sizeof l);
    ::close(fd_);
    fd_ = -1;
}

}  // namespace vorn::devserver
