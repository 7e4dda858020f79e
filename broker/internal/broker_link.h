// One call-back connection to a server and the transport state that goes with it: the time
// limit of a wait, whether an exchange is running, and whether a late reply is still owed.
#pragma once

#include <netinet/in.h>

#include <QByteArray>
#include <QStringList>

#include "broker/internal/socket.h"

#pragma GCC visibility push(default)
namespace vorn {

class BrokerLink {
  public:
    BrokerLink();

    // Tells links apart over the run, also when a new one takes the memory of an old one:
    // what a server session held (a lock, a context) lives only as long as its link.
    const quint64 serial;
    net::Socket socket;           // the call-back connection
    bool linked = false;          // set when the open succeeded, cleared by the close
    bool debugMode = false;       // no time limit applies
    int timeLimit = 30;           // whole seconds one exchange may wait
    double startTime = 0;         // days, when the current wait began
    bool inCall = false;          // the time limit applies only while set
    bool requestSent = false;     // the last exchange began to send its request
    bool drainPending = false;    // a reply cut off by the time limit may still arrive
    in_addr_t serverAddress = 0;  // the only address a call-back may come from
    QStringList contexts;         // application contexts the server created on this link
    QByteArray lastSecurity;      // segments of the most recent reply
    QByteArray lastApplication;

    // The reply being read, and how far its segments have been taken. Kept between exchanges
    // so that its memory is reused when the caller has let go of the previous result.
    QByteArray replyBuffer;
    qsizetype replyPos = 0;

    // True when the running wait has outlived the time limit.
    bool CallTimeLimitHook() const;
    // The hook handed to every blocking socket call on this link; none in debug mode.
    net::BlockingHook Hook() const;
    // Restarts the clock of the time limit.
    void StartWait();

    // Raises the error of a failed socket step; a wait cut off by the time limit arms the drain.
    [[noreturn]] void Fail(const char* failedStep);
};

}  // namespace vorn

#pragma GCC visibility pop
