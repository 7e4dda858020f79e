// Opening and closing the call-back link to a server.
#pragma once

#include <QString>
#include <memory>

#include "broker/internal/broker_link.h"

namespace vorn {

// Connects to the server's listener, announces a call-back port and accepts the server's
// connection on it. The returned link is usable when its `linked` is set; a handshake that
// the server dropped ("(connection lost)") gives an unlinked link without raising. Every
// failing step raises EBrokerError; sockets made by a failed open are closed.
// The wait for the call-back is bounded by `timeLimit` (except in debug mode), and a
// connection from any address other than the server's is closed while the wait goes on.
std::unique_ptr<BrokerLink> OpenBrokerLink(bool debugMode, const QString& server, int port,
                                           int timeLimit);

// Sends the goodbye, ignores its reply and closes the link. Never raises. After a call that the
// time limit cut off, the goodbye waits at most kGoodbyeAfterCutOffSeconds for its reply.
void CloseBrokerLink(BrokerLink& link) noexcept;

inline constexpr int kGoodbyeAfterCutOffSeconds = 1;

}  // namespace vorn
