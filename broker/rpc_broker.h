// The broker component: the server address and port, the next remote procedure with its
// parameters, and the result lines of the last call. Connecting opens the link, signs the
// user on and registers the link in the process-wide connection list, so that brokers aimed
// at the same server and port share one link and one sign-on.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

#include "broker/rpc_params.h"
#include "broker/rpc_reply.h"
#include "broker/rpc_request.h"

#pragma GCC visibility push(default)
namespace vorn {

class BrokerLink;

class TRPCBroker : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool ClearParameters READ ClearParameters WRITE SetClearParameters)
    Q_PROPERTY(bool ClearResults READ ClearResults WRITE SetClearResults)
    Q_PROPERTY(bool Connected READ Connected WRITE SetConnected)
    Q_PROPERTY(bool DebugMode READ DebugMode WRITE SetDebugMode)
    Q_PROPERTY(int ListenerPort READ ListenerPort WRITE SetListenerPort)
    Q_PROPERTY(QStringList Results MEMBER Results)
    Q_PROPERTY(QString RemoteProcedure MEMBER RemoteProcedure)
    Q_PROPERTY(QString RpcVersion MEMBER RpcVersion)
    Q_PROPERTY(QString Server READ Server WRITE SetServer)

  public:
    // Reads the defaults from the machine-wide broker settings, writing back missing ones.
    explicit TRPCBroker(QObject* owner = nullptr);
    ~TRPCBroker() override;

    bool ClearParameters() const { return clearParameters_; }
    void SetClearParameters(bool on);
    bool ClearResults() const { return clearResults_; }
    void SetClearResults(bool on);
    bool Connected() const { return connected_; }
    // Connecting opens (or shares) the link and signs on; raises EBrokerError on failure,
    // after putting the broker's state right. Disconnecting closes the link when no other
    // broker uses it.
    void SetConnected(bool on);
    bool DebugMode() const { return debugMode_; }
    void SetDebugMode(bool on) { debugMode_ = on; }
    int ListenerPort() const { return listenerPort_; }
    void SetListenerPort(int port) { listenerPort_ = port; }
    const QString& Server() const { return server_; }
    // A different server disconnects first; the same text changes nothing.
    void SetServer(const QString& server);

    int CallTimeLimit() const { return callTimeLimit_; }
    // Values of 30 seconds or less store 30.
    void SetCallTimeLimit(int seconds);

    // Runs `RemoteProcedure` with `Param`; the result lines are appended to `Results`
    // (emptied first when `ClearResults` is set).
    void CallRemote();
    // Runs the remote procedure and returns its whole result as one text.
    QString CallText();
    // Runs the remote procedure and sets `list` to its result lines.
    void CallIntoList(QStringList& list);
    // True when the server accepts the application context `name` (its answer is exactly "1").
    bool OpenAppContext(const QString& name);

    // Runs `request` the way every toolset call runs: ClearParameters and ClearResults set, the
    // procedure named, its parameters filled, the call made. Afterwards the published call
    // state shows this call (RemoteProcedure, an empty Param, its lines in Results), except
    // while the broker is connecting: the sign-on's calls leave the call state that is waiting
    // to be sent untouched. Raises EBrokerError like CallRemote.
    RpcReply Call(const RpcRequest& request);
    // True while the broker opens its link and signs on.
    bool Connecting() const { return connecting_; }
    // False when the last call failed before any of its request was handed to the socket
    // (no link could be made, or the request could not be composed): the server cannot have
    // run it. True once the request went out, whether or not an answer came.
    bool LastCallSent() const { return lastCallSent_; }

    // The key of this broker's link in the connection list: Server + ":" + ListenerPort.
    QString ConnectionKey() const;
    // The link this broker uses (shared with other brokers on the same key); null when not
    // connected.
    BrokerLink* Link() const { return link_.get(); }

    // Component tag, as forms use it.
    int Tag = 0;
    // "ACCESS;VERIFY": signs on with these codes instead of asking the user.
    QString PresetCodes;
    QString RemoteProcedure;
    QString RpcVersion = QStringLiteral("0");
    QStringList Results;
    TParams& Param;

    // Splits a result text into lines at CR LF, LF or CR; a final line break adds no line.
    static QStringList SplitLines(const QString& text);

  private:
    // Connects when needed and runs `name` with `params` on the link; raises EBrokerError after
    // putting the connection state right.
    QString Exchange(const QString& name, TParams& params);
    // Runs the published call state (RemoteProcedure with Param).
    QString CallPublished();
    // Lets go of a link found dead, remembering its contexts for the link that replaces it.
    void LeaveDeadLink();
    // Creates the contexts of a dead link on the link just connected.
    void RestoreContexts();
    bool CreateContext(const QString& name);
    void Connect();
    void Disconnect();

    bool clearParameters_ = true;
    bool clearResults_ = true;
    bool connected_ = false;
    bool connecting_ = false;
    bool lastCallSent_ = false;
    bool debugMode_ = false;
    int listenerPort_ = 9200;
    int callTimeLimit_ = 30;
    QString server_;
    std::shared_ptr<BrokerLink> link_;
    QStringList contextsToRestore_;
};

// The placeholder host written to the settings when none is stored.
inline const QString kDefaultServer = QStringLiteral("localhost");

}  // namespace vorn

#pragma GCC visibility pop
