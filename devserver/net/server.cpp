#include "devserver/net/server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "devserver/files/seed.h"
#include "devserver/net/message_source.h"
#include "devserver/storage/gtm_runtime.h"

namespace vorn::devserver {
namespace {

using namespace std::chrono_literals;

std::string Dotted(std::uint32_t address) {
    in_addr a{};
    a.s_addr = address;
    char buf[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &a, buf, sizeof buf);
    return buf;
}

void ResetClose(int fd) {
    linger l{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
    ::close(fd);
}

std::string HostName() {
    char buf[256] = {};
    if (::gethostname(buf, sizeof buf - 1) != 0 || !*buf) return "VORN";
    return buf;
}

}  // namespace

Server::Server(ServerOptions options, const ProcedureRegistry* registry)
    : options_(std::move(options)), log_(*options_.clock) {
    if (!registry) {
        RegisterAllProcedures(ownRegistry_);
        registry = &ownRegistry_;
    }
    context_.registry = registry;
    context_.clock = options_.clock;
    context_.log = &log_;
    context_.hashIterations = options_.hashIterations;
    context_.documents.SetBudget(options_.documentBudget);
    context_.spoolCap = options_.spoolCap;
    log_.SetQuiet(options_.quietLog);
    log_.SetParams(options_.logParams);
}

Server::~Server() {
    Stop();
    if (sharedDocuments_) ::munmap(sharedDocuments_, sizeof(SharedDocumentBytes));
}

void Server::Start() {
    if (options_.dataPath.empty())
        options_.dataPath =
            options_.engine == StoreEngine::Gtm ? DefaultGtmDataPath() : DefaultDataPath();
    const bool gtm = options_.engine == StoreEngine::Gtm;
    if (options_.seedFolder.empty()) options_.seedFolder = DefaultSeedFolder();
    if (!options_.logPath.empty() && !log_.Open(options_.logPath))
        throw std::runtime_error("cannot write the log " + options_.logPath);

    context_.dictionary = Dictionary::Load(options_.seedFolder + "/dictionary.vdd");
    const std::filesystem::path data(options_.dataPath);
    if (!gtm && data.has_parent_path()) std::filesystem::create_directories(data.parent_path());
    context_.databasePath = options_.dataPath;
    context_.storeLocation = StoreLocation{options_.engine, options_.dataPath};
    context_.readOnly = options_.readOnly;
    // Made when the first document is printed: a folder that cannot be written fails that print,
    // not the server.
    context_.spoolFolder = !options_.spoolPath.empty() ? options_.spoolPath
                           : gtm                       ? options_.dataPath + "/spool"
                                                       : DefaultSpoolPath(options_.dataPath);
    try {
        PrepareStore(context_.storeLocation);
    } catch (const StoreError& e) {
        throw std::runtime_error(e.what());
    }
    context_.sessionProcesses = options_.sessionProcesses;
    if (!turns_) {
        // A session process (GT.M) runs one session's calls: the system shares the cores out.
        const int cores = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
        turns_ = std::make_unique<CallTurns>(options_.sessionProcesses || gtm ? 0
                                             : options_.callTurns < 0         ? 4 * cores
                                                                              : options_.callTurns);
    }
    if (options_.sessionProcesses && !sharedDocuments_) {
        // The documents' budget is the server's, not each process's.
        sharedDocuments_ = MapSharedDocumentBytes();
        partTaken_.assign(SharedDocumentBytes::kParts, false);
        context_.documents.Share(sharedDocuments_);
    }
    if (!options_.sessionProcesses) {
        OpenAndSeed();
    } else {
        // The listener never opens the database: GT.M set up in it would be inherited by every
        // session process. A child opens and seeds it and says how it went.
        int result[2];
        if (::pipe(result) != 0) throw std::runtime_error("pipe failed");
        const pid_t pid = ::fork();
        if (pid < 0) throw std::runtime_error("fork failed");
        if (pid == 0) {
            ::close(result[0]);
            std::string said;
            try {
                OpenAndSeed();
                said = "+" + (context_.autoSignOn ? std::to_string(*context_.autoSignOn) : "");
            } catch (const std::exception& e) {
                said = std::string("-") + e.what();
            }
            [[maybe_unused]] const auto n = ::write(result[1], said.data(), said.size());
            GtmRuntime::ExitIfInitialised();
            ::_exit(0);
        }
        ::close(result[1]);
        std::string said;
        char buf[4096];
        for (ssize_t n; (n = ::read(result[0], buf, sizeof buf)) != 0;) {
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) break;
            said.append(buf, static_cast<std::size_t>(n));
        }
        ::close(result[0]);
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        if (said.empty()) throw std::runtime_error("the process opening the database failed");
        if (said[0] == '-') throw std::runtime_error(said.substr(1));
        if (said.size() > 1) context_.autoSignOn = std::stol(said.substr(1));
    }
    context_.serverName = options_.serverName.empty() ? HostName() : options_.serverName;

    in_addr address{};
    if (inet_pton(AF_INET, options_.listenAddress.c_str(), &address) != 1)
        throw std::runtime_error("--listen takes a dotted IPv4 address: " + options_.listenAddress);
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) throw std::runtime_error(std::string("socket: ") + std::strerror(errno));
    const int yes = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr = address;
    sa.sin_port = htons(static_cast<std::uint16_t>(options_.port));
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 ||
        ::listen(listenFd_, 128) != 0) {
        const std::string why = std::strerror(errno);
        ::close(listenFd_);
        listenFd_ = -1;
        throw std::runtime_error("cannot listen on " + options_.listenAddress + ":" +
                                 std::to_string(options_.port) + ": " + why);
    }
    socklen_t len = sizeof sa;
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&sa), &len);
    port_ = ntohs(sa.sin_port);
    context_.port = port_;
    if (::pipe2(wake_, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    started_ = true;
    acceptor_ = std::thread([this] { AcceptLoop(); });
}

void Server::OpenAndSeed() {
    const std::unique_ptr<GlobalStore> opened = OpenStore(context_.storeLocation);
    GlobalStore& store = *opened;
    UserStore users(store, options_.hashIterations);
    if (options_.reset || (!IsSeeded(store) && store.GlobalNames().empty())) {
        Seed(store, *context_.dictionary, SeedFilesIn(options_.seedFolder), options_.seedScale);
    } else if (!IsSeeded(store)) {
        // Data that this server did not seed: never wiped without being asked to.
        throw std::runtime_error(options_.dataPath +
                                 " holds data that were not seeded by vorn-server; use --reset to "
                                 "replace them with the demo data");
    } else if (options_.seedScale != 1) {
        log_.Note(0, "the database is seeded already; --seed-scale takes effect with --reset");
    }
    if (!options_.autoSignOn.empty()) {
        const auto user = users.FindByAccess(options_.autoSignOn);
        if (!user)
            throw std::runtime_error("--auto-signon: no user has the access code " +
                                     options_.autoSignOn);
        if (user->suspended)
            throw std::runtime_error("--auto-signon: the user's access is suspended");
        context_.autoSignOn = user->duz;
    }
}

void Server::Stop() {
    if (!started_) return;
    started_ = false;
    stopping_ = true;
    const char c = 'x';
    [[maybe_unused]] const auto ignored = ::write(wake_[1], &c, 1);
    if (acceptor_.joinable()) acceptor_.join();
    {
        // Each session process finishes its call in progress and ends.
        const std::lock_guard hold(childrenMutex_);
        for (const pid_t child : children_)
            ::kill(child, SIGTERM);
    }
    ::close(listenFd_);
    listenFd_ = -1;
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return active_.load() == 0; });
    lock.unlock();
    ::close(wake_[0]);
    ::close(wake_[1]);
    log_.Note(0, "stopped; " + std::to_string(context_.locks.Size()) + " locks left");
}

void Server::Finished() {
    std::lock_guard lock(mutex_);
    --active_;
    idle_.notify_all();
}

void Server::AcceptLoop() {
    while (!stopping_.load()) {
        pollfd p[2] = {{listenFd_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (::poll(p, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (p[1].revents) return;
        if (!(p[0].revents & POLLIN)) continue;
        sockaddr_in peer{};
        socklen_t len = sizeof peer;
        const int fd = ::accept4(listenFd_, reinterpret_cast<sockaddr*>(&peer), &len, SOCK_CLOEXEC);
        if (fd < 0) {
            // Out of descriptors or a connection reset before it was taken: go on serving.
            if (errno == EMFILE || errno == ENFILE) std::this_thread::sleep_for(50ms);
            continue;
        }
        const int id = nextId_++;
        // Connections that have not said their handshake yet are bounded apart from the
        // sessions: silent ones must not lock signed-on clients out, and must not be unbounded.
        if (pending_.load() >= options_.limits.maxPendingHandshakes) {
            log_.Note(id, "refused: " + std::to_string(options_.limits.maxPendingHandshakes) +
                              " handshakes are pending already");
            ResetClose(fd);
            continue;
        }
        {
            std::lock_guard lock(mutex_);
            ++active_;
            ++pending_;
        }
        try {
            // Finished() comes after every local of Serve is gone, so that Stop() cannot return
            // while a socket of this thread is still open.
            std::thread([this, fd, addr = peer.sin_addr.s_addr, id] {
                Serve(fd, addr, id);
                Finished();
            }).detach();
        } catch (const std::system_error&) {
            ResetClose(fd);
            --pending_;
            Finished();
        }
    }
}

bool Server::TakeSessionSlot() {
    int open = sessions_.load();
    while (open < options_.limits.maxSessions)
        if (sessions_.compare_exchange_weak(open, open + 1)) return true;
    return false;
}

namespace {

// Gives back one count of a bounded kind of connection however the scope is left.
class CountedSlot {
  public:
    explicit CountedSlot(std::atomic<int>& count, bool held = true) : count_(count), held_(held) {}
    ~CountedSlot() { Release(); }
    CountedSlot(const CountedSlot&) = delete;
    CountedSlot& operator=(const CountedSlot&) = delete;
    void Hold() { held_ = true; }
    void Release() {
        if (held_) --count_;
        held_ = false;
    }

  private:
    std::atomic<int>& count_;
    bool held_;
};

}  // namespace

void Server::Serve(int fd, std::uint32_t peerAddress, int id) {
    const auto& limits = options_.limits;
    const Clock& clock = *options_.clock;
    CountedSlot pending(pending_);
    CountedSlot session(sessions_, false);
    int callbackFd = -1;
    Handshake handshake;
    sockaddr_in local{};
    {
        Connection first(fd, clock, limits, stopping_);
        // A handshake comes at once; a connection that says nothing does not keep a slot.
        const auto wait = first.WaitForMessage(limits.messageTime);
        if (wait != Connection::Wait::Ready) {
            if (wait == Connection::Wait::TimedOut) log_.Note(id, "closed: no handshake arrived");
            first.Reset();
            return;
        }
        Message m;
        try {
            m = first.ReadOne();
        } catch (const std::exception& e) {
            log_.Note(id, std::string("closed: ") + e.what());
            first.Reset();
            return;
        }
        if (m.kind != Message::Kind::Handshake) {
            log_.Note(id, "closed: the first message was not a handshake");
            first.Reset();
            return;
        }
        handshake = m.handshake;
        in_addr announced{};
        if (inet_pton(AF_INET, handshake.address.c_str(), &announced) != 1 ||
            announced.s_addr != peerAddress) {
            log_.Note(id, "refused a call-back to " + handshake.address + ":" +
                              std::to_string(handshake.port) + " asked by " + Dotted(peerAddress));
            first.Send(FrameData("refused: the call-back address must be the client's own"));
            return;
        }
        if (!TakeSessionSlot()) {
            log_.Note(id, "refused: " + std::to_string(limits.maxSessions) +
                              " sessions are open already");
            first.Send(FrameData("refused: " + std::to_string(limits.maxSessions) +
                                 " sessions are open already"));
            return;
        }
        session.Hold();
        if (options_.latency.count() > 0) std::this_thread::sleep_for(options_.latency);
        first.Send(FrameData("accept"));
        socklen_t len = sizeof local;
        ::getsockname(first.fd(), reinterpret_cast<sockaddr*>(&local), &len);
    }
    pending.Release();

    // Connect back to the asking peer's own address only.
    callbackFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (callbackFd < 0) return;
    local.sin_port = 0;
    ::bind(callbackFd, reinterpret_cast<sockaddr*>(&local), sizeof local);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = peerAddress;
    to.sin_port = htons(static_cast<std::uint16_t>(handshake.port));
    bool connected = ::connect(callbackFd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0;
    if (!connected && errno == EINPROGRESS) {
        const auto deadline = clock.Now() + limits.messageTime;
        while (!stopping_.load() && clock.Now() < deadline) {
            pollfd p{callbackFd, POLLOUT, 0};
            if (::poll(&p, 1, static_cast<int>(limits.slice.count())) <= 0) continue;
            int error = 0;
            socklen_t elen = sizeof error;
            ::getsockopt(callbackFd, SOL_SOCKET, SO_ERROR, &error, &elen);
            connected = error == 0;
            break;
        }
    }
    if (!connected) {
        log_.Note(id, "could not call back " + Dotted(peerAddress) + ":" +
                          std::to_string(handshake.port));
        ::close(callbackFd);
        return;
    }
    const int yes = 1;
    ::setsockopt(callbackFd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    if (options_.sessionProcesses) return ServeInProcess(callbackFd, id);
    {
        Connection link(callbackFd, clock, limits, stopping_);
        try {
            RunSession(link, id);
        } catch (const std::exception& e) {
            log_.Note(id, std::string("session ended: ") + e.what());
        }
    }
}

namespace {

std::atomic<bool>* gSessionStopping = nullptr;

void StopSession(int) {
    if (gSessionStopping) gSessionStopping->store(true);
}

}  // namespace

int Server::TakePart() {
    const std::lock_guard hold(childrenMutex_);
    for (std::size_t i = 0; i < partTaken_.size(); ++i)
        if (!partTaken_[i]) {
            partTaken_[i] = true;
            return static_cast<int>(i);
        }
    return -1;
}

void Server::ReturnPart(int part) {
    if (part < 0) return;
    // What a process that ended abruptly still counted is the server's again.
    std::atomic<std::size_t>& mine = sharedDocuments_->part[part];
    sharedDocuments_->total.fetch_sub(mine.exchange(0));
    const std::lock_guard hold(childrenMutex_);
    partTaken_[static_cast<std::size_t>(part)] = false;
}

void Server::ServeInProcess(int fd, int id) {
    const int part = TakePart();
    // Taken by the child or left alone: another thread's fork must not inherit it open.
    const pid_t pid = ::fork();
    if (pid == 0) {
        context_.documents.Share(sharedDocuments_, part);
        SessionProcess(fd, id);
    }
    ::close(fd);
    if (pid < 0) {
        ReturnPart(part);
        log_.Note(id, std::string("no process for the session: ") + std::strerror(errno));
        return;
    }
    {
        const std::lock_guard hold(childrenMutex_);
        children_.insert(pid);
    }
    // Stop may have signalled the others before this one was known.
    if (stopping_.load()) ::kill(pid, SIGTERM);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    // LKE takes the locks of a process only once it is gone for good (reaped).
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        const std::string cleared = ClearLocksOf(GtmFolder{context_.storeLocation.path}, pid);
        log_.Note(id, "the session's process ended abnormally; M locks cleared: " + cleared);
    }
    ReturnPart(part);
    const std::lock_guard hold(childrenMutex_);
    children_.erase(pid);
}

void Server::SessionProcess(int fd, int id) {
    // Only this thread goes on in the child: locks that other threads held at the fork are
    // made anew, and what belongs to the listener is closed.
    log_.AfterFork();
    context_.documents.AfterFork();
    new (&context_.spoolLock) std::mutex();
    ::close(listenFd_);
    ::close(wake_[0]);
    ::close(wake_[1]);
    gSessionStopping = &stopping_;
    struct sigaction stop {};
    stop.sa_handler = StopSession;
    ::sigaction(SIGTERM, &stop, nullptr);
    ::sigaction(SIGINT, &stop, nullptr);
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    ::pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
    {
        Connection link(fd, *options_.clock, options_.limits, stopping_);
        try {
            RunSession(link, id);
        } catch (const std::exception& e) {
            log_.Note(id, std::string("session ended: ") + e.what());
        }
    }
    GtmRuntime::ExitIfInitialised();
    ::_exit(0);
}

void Server::RunSession(Connection& link, int id) {
    const auto& limits = options_.limits;
    Session session(context_, id);
    for (;;) {
        switch (link.WaitForMessage(limits.idleTime)) {
            case Connection::Wait::Ready:
                break;
            case Connection::Wait::TimedOut:
                log_.Note(id, "closed: idle for " + std::to_string(limits.idleTime.count() / 1000) +
                                  " s");
                link.Reset();
                return;
            case Connection::Wait::Closed:
            case Connection::Wait::Stopping:
                return;
        }
        Message m;
        try {
            m = link.ReadOne();
        } catch (const std::exception& e) {
            log_.Note(id, std::string("closed: ") + e.what());
            link.Reset();
            return;
        }
        if (m.kind == Message::Kind::Goodbye) {
            link.Send(FrameData("#BYE#"));
            return;
        }
        if (m.kind == Message::Kind::Handshake) {
            log_.Note(id, "closed: a handshake on the call-back connection");
            link.Reset();
            return;
        }
        const auto started = std::chrono::steady_clock::now();
        const std::string frame = [&] {
            const CallTurns::Turn turn(*turns_);
            return session.Handle(m.call).Frame();
        }();
        if (options_.latency.count() > 0) std::this_thread::sleep_for(options_.latency);
        // Logged before it is sent: whoever has the reply can read the call in the log.
        log_.Call(id, m.call, frame.size(), std::chrono::steady_clock::now() - started);
        if (!link.Send(frame)) return;
    }
}

}  // namespace vorn::devserver
