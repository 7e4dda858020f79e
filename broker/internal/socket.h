// A small blocking TCP socket over POSIX. Every wait is cut into short slices and a hook, asked
// after each slice, may cancel it as a blocking hook does on Windows sockets; a cancelled wait
// fails with WSAEINTR.
// Failures return false (or -1) and leave the Windows-socket number in LastSocketError().
#pragma once

#include <netinet/in.h>

#include <cstddef>
#include <functional>
#include <string>

namespace vorn::net {

// Called repeatedly while a blocking call waits; returns true to cancel the call.
using BlockingHook = std::function<bool()>;

// IPv4 address in network byte order and a port in host order.
struct Endpoint {
    in_addr_t address = 0;
    int port = 0;
    std::string DottedAddress() const;
};

class Socket {
  public:
    Socket() = default;
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket();
    Socket(Socket&& other) noexcept : fd_(other.Release()) {}
    Socket& operator=(Socket&& other) noexcept;
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    static Socket CreateStream();  // invalid on failure

    bool Valid() const { return fd_ >= 0; }
    int Descriptor() const { return fd_; }
    int Release();

    bool Connect(const Endpoint& to, const BlockingHook& hook);
    bool Bind(const Endpoint& at);
    bool Listen(int backlog);
    // Waits for a connection; an invalid socket on failure or cancellation.
    Socket Accept(Endpoint& peer, const BlockingHook& hook);
    bool LocalEndpoint(Endpoint& out) const;
    bool PeerEndpoint(Endpoint& out) const;

    // Sends every byte.
    bool SendAll(const char* data, std::size_t size, const BlockingHook& hook);
    // Receives up to `size` bytes: the count, 0 when the peer closed, -1 on failure.
    long Receive(char* data, std::size_t size, const BlockingHook& hook);
    // True when the peer has closed or reset the connection (seen without waiting or
    // taking any data).
    bool PeerClosed() const;

    // Linger on with a time of 0, so that closing resets the connection.
    bool SetLingerZero();
    // Closes the socket; false when the system refused.
    bool Close();

  private:
    static bool Cancelled(const BlockingHook& hook);
    int fd_ = -1;
};

// Resolves `host`: a dotted IPv4 address is taken as it stands, a name goes to the resolver.
// `canonical` receives the resolver's name for the host when asked for.
bool ResolveHost(const std::string& host, in_addr_t& address, std::string* canonical = nullptr);
// The workstation's own host name (gethostname); false on failure.
bool LocalHostName(std::string& name);

// Where the broker learns the workstation's name and looks hosts up. Tests put in a machine
// whose own name does not resolve (a container without /etc/hosts) without changing the
// machine they run on. The defaults are the functions above.
class HostNames {
  public:
    virtual ~HostNames() = default;
    virtual bool LocalHostName(std::string& name) const;
    virtual bool ResolveHost(const std::string& host, in_addr_t& address,
                             std::string* canonical) const;
};

// The process's host names; the system's unless a test installed others.
const HostNames& CurrentHostNames();
// Installs `names` (not owned); nullptr restores the system's.
void SetHostNames(const HostNames* names);

// How long a blocking call waits before the hook is asked again, in milliseconds.
inline constexpr int kHookSliceMs = 20;

}  // namespace vorn::net
