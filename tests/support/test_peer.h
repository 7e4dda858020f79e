// A scripted stand-in for the server side of the broker protocol. It listens on a free
// loopback port, answers the handshake, connects back to the client's call-back port and
// answers each call from a script, recording the exact bytes of every message it received.
// Sessions are served one after another, so a client that reconnects meets the same peer.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vorn::test {

class PeerConnection;

// What the peer does with one received call. It may send anything, stall, or close.
using PeerAction = std::function<void(PeerConnection&, const std::string& message)>;

class PeerConnection {
  public:
    explicit PeerConnection(int fd) : fd_(fd) {}
    // Sends bytes as they stand; false when the client has gone.
    bool Send(const std::string& bytes);
    void Close();
    int fd() const { return fd_; }

  private:
    int fd_;
};

// Framing of a reply: empty security and application segments, the data, 0x04.
std::string FrameReply(const std::string& data);
// A list of lines as the server sends it: each line followed by CR LF.
std::string Lines(const std::vector<std::string>& lines);
// A loopback port that nothing listens on.
int ClosedPort();

class TestPeer {
  public:
    TestPeer();
    ~TestPeer();
    TestPeer(const TestPeer&) = delete;
    TestPeer& operator=(const TestPeer&) = delete;

    int Port() const { return port_; }

    // --- handshake behaviour (set before the client connects) ---
    // Reply data to the handshake; "accept" by default.
    void SetHandshakeReply(const std::string& data) { Set(handshakeReply_, data); }
    // Answers the handshake but never connects back.
    void SetNoCallback(bool on) { Set(noCallback_, on); }
    // Before the real call-back, connects once from `address` (such as "127.0.0.2").
    void SetIntruderCallback(const std::string& address) { Set(intruder_, address); }
    // True once the intruding call-back was closed by the client.
    bool IntruderWasRefused() const { return Copy(intruderRefused_); }

    // --- the script: one action per call, in order ---
    TestPeer& Then(PeerAction action);
    TestPeer& Reply(const std::string& data) { return ReplyRaw(FrameReply(data)); }
    TestPeer& ReplyLines(const std::vector<std::string>& lines) { return Reply(Lines(lines)); }
    TestPeer& ReplyInChunks(const std::string& data, std::size_t chunk);
    // The data, then after a pause the 0x04 on its own.
    TestPeer& ReplyWithLoneEnd(const std::string& data);
    TestPeer& ReplyRaw(const std::string& bytes);
    TestPeer& MError(const std::string& text) { return Reply('\x18' + text); }
    // Sends `partialBytes` of a reply and closes the connection.
    TestPeer& CloseMidReply(const std::string& partialBytes);
    // Closes the connection without answering.
    TestPeer& CloseWithoutReply();
    // Calls `onStall` (the client is waiting by then), holds the reply until Release().
    TestPeer& Stall(const std::string& lateData, std::function<void()> onStall = {});
    // Lets a stalled reply go and waits until it was sent.
    void Release();

    // --- what the peer saw ---
    // Every complete message received ("{XWB}" and all), handshakes included, in order.
    std::vector<std::string> Messages() const { return Copy(messages_); }
    // The calls only: messages on call-back connections, goodbyes excluded.
    std::vector<std::string> Calls() const { return Copy(calls_); }
    int Handshakes() const { return Copy(handshakes_); }
    int Goodbyes() const { return Copy(goodbyes_); }
    // Waits (at most `seconds`) until `n` calls were received; false on time-out.
    bool WaitForCalls(std::size_t n, double seconds = 5) const {
        return WaitUntil(seconds, [&] { return calls_.size() >= n; });
    }
    bool WaitForGoodbyes(int n, double seconds = 5) const {
        return WaitUntil(seconds, [&] { return goodbyes_ >= n; });
    }
    // What to do with a call when the script has run out (by default: an M error).
    void SetDefaultAction(PeerAction action) { Set(default_, std::move(action)); }
    // Off: received messages, handshakes included, are counted but not kept (for long
    // benchmark runs).
    void SetRecording(bool on) { Set(recording_, on); }

  private:
    // A member of the peer's state set, or copied, under the lock.
    template <typename T>
    void Set(T& member, T value) {
        std::lock_guard lock(mutex_);
        member = std::move(value);
    }
    template <typename T>
    T Copy(const T& value) const {
        std::lock_guard lock(mutex_);
        return value;
    }
    template <typename Done>
    bool WaitUntil(double seconds, Done done) const {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::duration<double>(seconds), done);
    }
    void Run();
    void ServeSession(int handshakeFd);
    void ServeCalls(PeerConnection& conn);
    bool ReadMessage(int fd, std::string& message);
    int ConnectBack(const std::string& address, int port, const std::string& from);
    // Keeps a received message (a call also among the calls) and adds one to `count`, if any.
    void Record(const std::string& message, bool call, int* count);

    int listenFd_ = -1;
    int wakeFd_[2] = {-1, -1};
    int port_ = 0;
    std::thread thread_;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool stopping_ = false;
    std::string handshakeReply_ = "accept";
    bool noCallback_ = false;
    std::string intruder_;
    bool intruderRefused_ = false;
    std::deque<PeerAction> script_;
    PeerAction default_;
    bool recording_ = true;
    std::vector<std::string> messages_;
    std::vector<std::string> calls_;
    int handshakes_ = 0;
    int goodbyes_ = 0;
    bool released_ = false;
    bool lateSent_ = false;
};

}  // namespace vorn::test
