// The development server: the listener, the handshake with its call-back, and one thread per
// session.
//
// Why threads and not an event loop: there are at most 64 sessions (and a few hundred
// connections waiting for their handshake, each for 10 s at most), every call runs SQLite
// synchronously on the session's own connection, and a thread per session keeps each session's
// code straight-line (read a message, answer it) while one slow call (a long listing, a
// --latency delay) never holds up another session. Every wait is sliced so that the stop flag
// and the injected clock are looked at often.
//
// With sessionProcesses (the program on GT.M) the session's thread forks a process that serves
// it, as M servers do, and waits for it: the session's M LOCKs and GT.M state are its own and
// end with it, and the session count, limits and stop work as with threads.
#pragma once

#include <sys/types.h>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "devserver/net/call_log.h"
#include "devserver/net/call_turns.h"
#include "devserver/net/server_options.h"
#include "devserver/net/session.h"
#include "devserver/procedures/procedure_registry.h"

namespace vorn::devserver {

class Connection;

class Server {
  public:
    // `registry` (not owned) defaults to every procedure of RegisterAllProcedures.
    explicit Server(ServerOptions options, const ProcedureRegistry* registry = nullptr);
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Loads the dictionary, opens (and if needed seeds) the database, and starts listening.
    // Throws std::runtime_error saying what failed.
    void Start();
    // Stops accepting, lets the calls in progress finish, ends every session (releasing its locks
    // and documents) and waits for them.
    void Stop();

    int Port() const { return port_; }
    const std::string& Address() const { return options_.listenAddress; }
    // Connections being served now (handshakes and sessions).
    int Connections() const { return active_.load(); }
    // Call-back connections, and connections still waiting for their handshake.
    int Sessions() const { return sessions_.load(); }
    int PendingHandshakes() const { return pending_.load(); }
    ServerContext& context() { return context_; }
    const ServerOptions& options() const { return options_; }

  private:
    void AcceptLoop();
    void Serve(int fd, std::uint32_t peerAddress, int id);
    void RunSession(Connection& link, int id);
    // Serves the session on `fd` in a child process; waits until it ends.
    void ServeInProcess(int fd, int id);
    [[noreturn]] void SessionProcess(int fd, int id);
    // Opens the database, seeds it when needed and finds the --auto-signon user.
    void OpenAndSeed();
    bool TakeSessionSlot();
    void Finished();

    ServerOptions options_;
    ProcedureRegistry ownRegistry_;
    CallLog log_;
    ServerContext context_;
    // Session threads' calls, as many at once as there are cores; a session process has the
    // machine's turns to itself.
    std::unique_ptr<CallTurns> turns_;
    int listenFd_ = -1;
    int wake_[2] = {-1, -1};
    int port_ = 0;
    std::thread acceptor_;
    std::atomic<bool> stopping_{false};
    std::atomic<int> active_{0};
    std::atomic<int> pending_{0};
    std::atomic<int> sessions_{0};
    std::atomic<int> nextId_{1};
    std::mutex mutex_;
    std::condition_variable idle_;
    bool started_ = false;
    std::mutex childrenMutex_;
    std::set<pid_t> children_;  // session processes
    // With session processes: the documents all of them keep, and which parts are taken.
    SharedDocumentBytes* sharedDocuments_ = nullptr;
    std::vector<bool> partTaken_;
    int TakePart();
    void ReturnPart(int part);
};

}  // namespace vorn::devserver
