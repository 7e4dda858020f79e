#include "broker/rpc_broker.h"

#include <utility>

#include "broker/broker_error.h"
#include "broker/broker_ui.h"
#include "broker/internal/broker_connections.h"
#include "broker/internal/broker_link.h"
#include "broker/internal/client_agent.h"
#include "broker/internal/socket_errors.h"
#include "broker/internal/socket_transport.h"
#include "broker/internal/wire_protocol.h"
#include "broker/registry_settings.h"
#include "broker/signon_sequence.h"
#include "common/scramble.h"

namespace vorn {
namespace {

constexpr int kMinimumTimeLimit = 30;
constexpr int kMaxProcedureName = 100;

QString Setting(const QString& name, const QString& fallback) {
    return ReadRegistryDefault(RegistryRoot::LocalMachine, kBrokerKey, name, fallback);
}

bool IsDeadLink(const EBrokerError& e) {
    return (e.ErrorCode() >= 10050 && e.ErrorCode() <= 10058) ||
           e.FailedStep() == QLatin1String("connection lost");
}

// Closes a link that cannot be used any more, so that every broker sharing it reconnects.
void Bury(BrokerLink& link) {
    link.linked = false;
    link.socket.SetLingerZero();
    link.socket.Close();
}

}  // namespace

TRPCBroker::TRPCBroker(QObject* owner) : QObject(owner), Param(*new TParams(this)) {
    clearParameters_ = Setting(QStringLiteral("ClearParameters"), QStringLiteral("1")).toInt() != 0;
    clearResults_ = Setting(QStringLiteral("ClearResults"), QStringLiteral("1")).toInt() != 0;
    server_ = Setting(QStringLiteral("Server"), kDefaultServer);
    listenerPort_ = Setting(QStringLiteral("ListenerPort"), QStringLiteral("9200")).toInt();
    CurrentBrokerUi().ProcessPendingEvents();
}

TRPCBroker::~TRPCBroker() {
    Disconnect();
}

void TRPCBroker::SetClearParameters(bool on) {
    clearParameters_ = on;
    if (on) Param.Clear();
}

void TRPCBroker::SetClearResults(bool on) {
    clearResults_ = on;
    if (on) Results.clear();
}

void TRPCBroker::SetConnected(bool on) {
    if (on && !connected_) Connect();
    if (!on && connected_) Disconnect();
}

void TRPCBroker::SetServer(const QString& server) {
    if (server == server_) return;
    if (connected_) Disconnect();
    server_ = server;
}

void TRPCBroker::SetCallTimeLimit(int seconds) {
    callTimeLimit_ = seconds <= kMinimumTimeLimit ? kMinimumTimeLimit : seconds;
}

QString TRPCBroker::ConnectionKey() const {
    return server_ + ':' + QString::number(listenerPort_);
}

void TRPCBroker::Connect() {
    const QString key = ConnectionKey();
    std::shared_ptr<BrokerLink> link = BrokerConnections::FindLink(key);
    connected_ = true;
    connecting_ = true;
    const auto fail = [&] {
        connecting_ = false;
        if (link && link.get() != BrokerConnections::FindLink(key).get()) CloseBrokerLink(*link);
        link_.reset();
        connected_ = false;
    };
    try {
        if (!link) {
            StartClientAgent();
            link = OpenBrokerLink(debugMode_, server_, listenerPort_, callTimeLimit_);
            // The server dropped the handshake: there is no link to sign on over.
            if (!link->linked)
                RaiseBrokerError(QStringLiteral("connection lost"), kBrokerHandshakeLost);
            link_ = link;
            SignOn(*this);
        }
        link_ = link;
        RestoreContexts();
        try {
            BrokerConnections::Add(key, this, link);
        } catch (const std::bad_alloc&) {
            RaiseBrokerError(QStringLiteral("store connection"), kBrokerListFailed);
        }
    } catch (...) {
        // Whatever failed, a link that is not registered and signed on is of no use to anyone.
        fail();
        throw;
    }
    connecting_ = false;
}

void TRPCBroker::Disconnect() {
    if (!connected_) return;
    const bool last = BrokerConnections::Remove(this);
    if (last && link_) CloseBrokerLink(*link_);
    link_.reset();
    connected_ = false;
}

void TRPCBroker::LeaveDeadLink() {
    if (link_) contextsToRestore_ = link_->contexts;
    Disconnect();
}

void TRPCBroker::RestoreContexts() {
    const QStringList wanted = std::exchange(contextsToRestore_, {});
    for (const QString& name : wanted) {
        if (link_->contexts.contains(name)) continue;
        if (CreateContext(name)) link_->contexts.append(name);
    }
}

bool TRPCBroker::CreateContext(const QString& name) {
    const QString scrambled =
        FromWireText(QByteArray::fromStdString(Scramble(ToWireText(name).toStdString())));
    return Call(RpcRequest(QStringLiteral("XWB CREATE CONTEXT")).Literal(scrambled)).Text() ==
           QLatin1String("1");
}

QString TRPCBroker::Exchange(const QString& name, TParams& params) {
    // Another broker on this link found it dead: reconnect rather than fail.
    if (connected_ && (!link_ || !link_->linked)) LeaveDeadLink();
    try {
        SetConnected(true);
    } catch (...) {
        // The sign-on's own calls may have gone out; this one did not.
        lastCallSent_ = false;
        throw;
    }
    lastCallSent_ = false;
    const std::shared_ptr<BrokerLink> link = link_;
    QByteArray data;
    try {
        if (name.size() > kMaxProcedureName)
            RaiseBrokerError(
                QStringLiteral("ComposeCall: RemoteProcedure of %1 characters exceeds %2")
                    .arg(name.size())
                    .arg(kMaxProcedureName),
                net::WSAEINVAL);
        link_->timeLimit = callTimeLimit_;
        data = ExchangeMessage(*link_, ComposeCall(name, RpcVersion, &params));
    } catch (const EBrokerError& e) {
        lastCallSent_ = link && link->requestSent;
        const EBrokerError copy = e;
        if (IsDeadLink(copy)) {
            if (link_) Bury(*link_);
            // Not while signing on: the connect that is running puts its own state right.
            if (!connecting_) LeaveDeadLink();
        }
        throw copy;
    }
    lastCallSent_ = true;
    if (!link_->lastSecurity.isEmpty())
        CurrentBrokerUi().ShowMessage(FromWireText(link_->lastSecurity));
    return FromWireText(data);
}

QString TRPCBroker::CallPublished() {
    QString text;
    try {
        text = Exchange(RemoteProcedure, Param);
    } catch (...) {
        if (clearParameters_) Param.Clear();
        throw;
    }
    if (clearParameters_) Param.Clear();
    return text;
}

QStringList TRPCBroker::SplitLines(const QString& text) {
    return SplitAnswerLines(text);
}

void TRPCBroker::CallRemote() {
    if (clearResults_) Results.clear();
    Results.append(SplitLines(CallPublished()));
}

QString TRPCBroker::CallText() {
    return CallPublished();
}

void TRPCBroker::CallIntoList(QStringList& list) {
    list = SplitLines(CallPublished());
}

RpcReply TRPCBroker::Call(const RpcRequest& request) {
    TParams params;
    request.FillParams(params);
    const bool publish = !connecting_;
    if (publish) {
        SetClearParameters(true);
        SetClearResults(true);
        RemoteProcedure = request.Procedure();
    }
    RpcReply reply(Exchange(request.Procedure(), params));
    if (publish) Results = reply.Lines();
    return reply;
}

bool TRPCBroker::OpenAppContext(const QString& name) {
    // A link that another broker found dead is replaced first, so that the context is made on
    // the link that this broker's calls will use.
    if (connected_ && (!link_ || !link_->linked)) LeaveDeadLink();
    SetConnected(true);
    TRPCBroker context(this);
    context.Tag = 1234;
    context.SetServer(server_);
    context.SetListenerPort(listenerPort_);
    context.SetDebugMode(debugMode_);
    if (!context.CreateContext(name)) return false;
    // Remembered with the link, so that a link opened in place of this one when it dies gets
    // the context again: without it, no call of the application would be let through.
    if (!link_->contexts.contains(name)) link_->contexts.append(name);
    return true;
}

}  // namespace vorn
