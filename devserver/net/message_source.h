// One TCP connection of the server: waiting for the next message, reading it under the limits
// (time from its first byte, size), and sending replies that a slow reader cannot stall for ever.
// Every wait is cut into short slices so that an injected clock and the server's stop flag are
// looked at often.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <string>

#include "devserver/net/call_parser.h"
#include "devserver/net/clock.h"

namespace vorn::devserver {

struct WireLimits {
    std::chrono::milliseconds messageTime{10'000};    // a message must be complete this soon
    std::chrono::milliseconds idleTime{30 * 60'000};  // a session with no message is closed
    std::size_t maxMessageBytes = 16u << 20;          // 16 MiB
    int maxSessions = 64;                             // call-back connections
    int maxPendingHandshakes = 256;                   // connections not yet past the handshake
    std::chrono::milliseconds slice{50};              // how often waits look at the clock
};

class Connection {
  public:
    // Takes over `fd` (made non-blocking); closes it when destroyed.
    Connection(int fd, const Clock& clock, const WireLimits& limits,
               const std::atomic<bool>& stopping);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    enum class Wait { Ready, TimedOut, Closed, Stopping };
    // Waits at most `limit` for the first byte of the next message.
    Wait WaitForMessage(std::chrono::milliseconds limit);
    // Reads one message; its time runs from its first byte. Throws SourceEnded (closed, too
    // slow, too large, stopping) or MalformedMessage.
    Message ReadOne();
    // Sends every byte; false when the peer went away or took no bytes for the message time.
    bool Send(const std::string& bytes);
    // Closes at once with a reset, so that nothing more is read or answered.
    void Reset();
    int fd() const { return fd_; }

  private:
    class Source;
    bool Fill();  // one receive into the buffer; false when the peer closed
    int fd_;
    const Clock& clock_;
    const WireLimits& limits_;
    const std::atomic<bool>& stopping_;
    std::string buffer_;
    std::size_t pos_ = 0;
};

}  // namespace vorn::devserver
