#include "broker/internal/socket_transport.h"

#include <netinet/in.h>

#include <utility>

#include "broker/broker_error.h"
#include "broker/broker_ui.h"
#include "broker/internal/socket_errors.h"
#include "broker/internal/wire_protocol.h"

namespace vorn {
namespace {

// Keeps the busy cursor up for the lifetime of an open or a close.
class BusyScope {
  public:
    BusyScope() { CurrentBrokerUi().BusyCursor(); }
    ~BusyScope() { CurrentBrokerUi().RestoreCursor(); }
};

void CloseReset(net::Socket& socket) {
    socket.SetLingerZero();
    socket.Close();
}

// Waits for the server's call-back; connections from other addresses are reset.
net::Socket AcceptCallback(BrokerLink& link, net::Socket& listener) {
    link.inCall = true;
    link.StartWait();
    for (;;) {
        net::Endpoint peer;
        net::Socket accepted = listener.Accept(peer, link.Hook());
        if (!accepted.Valid()) link.Fail("accept");
        if (peer.address == link.serverAddress) {
            link.inCall = false;
            return accepted;
        }
        CloseReset(accepted);
    }
}

// "localhost" names this machine's loopback whatever the resolver knows: a root without
// /etc/hosts (a container, a fresh minimal install) resolves no name at all, and the default
// server would then be unreachable on the very machine it runs on.
bool LoopbackByName(const std::string& name, in_addr_t& address) {
    QString lower = QString::fromStdString(name).toLower();
    if (lower.endsWith(u'.')) lower.chop(1);
    if (lower != QLatin1String("localhost") && !lower.endsWith(QLatin1String(".localhost")))
        return false;
    address = htonl(INADDR_LOOPBACK);
    return true;
}

}  // namespace

std::unique_ptr<BrokerLink> OpenBrokerLink(bool debugMode, const QString& server, int port,
                                           int timeLimit) {
    BusyScope busy;
    auto link = std::make_unique<BrokerLink>();
    link->debugMode = debugMode;
    link->timeLimit = timeLimit;

    const net::HostNames& names = net::CurrentHostNames();
    std::string clientHost;
    if (names.LocalHostName(clientHost) && !clientHost.empty()) {
        // The name only tells the server who is calling, and the address announced comes from
        // the connected socket: a workstation whose own name does not resolve (a container
        // without /etc/hosts) announces the name as it stands and still connects.
        in_addr_t ownAddress = 0;
        std::string canonical;
        if (names.ResolveHost(clientHost, ownAddress, &canonical)) clientHost = canonical;
    } else {
        clientHost.clear();
    }

    const std::string serverName = ToWireText(server).toStdString();
    if (!names.ResolveHost(serverName, link->serverAddress, nullptr) &&
        !LoopbackByName(serverName, link->serverAddress))
        RaiseBrokerError(QStringLiteral("Error Identifying Remote Host ") + server, 0);

    net::Socket first = net::Socket::CreateStream();
    if (!first.Valid()) link->Fail("socket");
    link->inCall = true;
    link->StartWait();
    if (!first.Connect({link->serverAddress, port}, link->Hook())) link->Fail("connect");
    link->inCall = false;
    net::Endpoint local;
    if (!first.LocalEndpoint(local)) link->Fail("getsockname");

    net::Socket listener = net::Socket::CreateStream();
    if (!listener.Valid()) link->Fail("socket (listening)");
    if (!listener.Bind({local.address, 0})) link->Fail("bind");
    net::Endpoint listening;
    if (!listener.LocalEndpoint(listening)) link->Fail("getsockname");
    if (!listener.Listen(1)) link->Fail("listen");

    const QString clientAddress = QString::fromStdString(local.DottedAddress());
    if (debugMode) {
        CurrentBrokerUi().RestoreCursor();
        CurrentBrokerUi().ShowMessage(QStringLiteral("Start M job D EN^XWBTCP\r\nAddr = ") +
                                      clientAddress + QStringLiteral("\r\nPort = ") +
                                      QString::number(listening.port));
    }

    link->socket = std::move(first);
    // A workstation without a name of its own is known to the server by its address.
    const QString clientName =
        clientHost.empty() ? clientAddress : QString::fromStdString(clientHost);
    const QByteArray reply =
        ExchangeMessage(*link, ComposeHandshake(clientAddress, listening.port, clientName));
    if (reply == "(connection lost)") {
        if (!link->socket.SetLingerZero()) link->Fail("setsockopt (connect)");
        link->socket.Close();
        return link;
    }
    if (reply != "accept") RaiseBrokerError(QStringLiteral("NetCall"), kBrokerMError);

    link->socket.SetLingerZero();
    if (!link->socket.Close()) link->Fail("closesocket");

    net::Socket callback = AcceptCallback(*link, listener);
    listener.SetLingerZero();
    if (!listener.Close()) link->Fail("closesocket (listening)");

    link->socket = std::move(callback);
    link->linked = true;
    return link;
}

void CloseBrokerLink(BrokerLink& link) noexcept {
    if (!link.linked) return;
    BusyScope busy;
    // After a call the time limit cut off, the server is likely still busy with it: its
    // answer to the goodbye would come no sooner, and nothing is lost by not waiting for it.
    if (std::exchange(link.drainPending, false)) link.timeLimit = kGoodbyeAfterCutOffSeconds;
    if (link.socket.Valid()) {
        try {
            ExchangeMessage(link, ComposeGoodbye());
        } catch (...) {
            // The link is going away; a goodbye the server did not answer changes nothing.
        }
        CloseReset(link.socket);
    }
    link.linked = false;
}

}  // namespace vorn
