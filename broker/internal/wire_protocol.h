// Every byte the broker puts on the connection, and the reading of each reply.
#pragma once

#include <QByteArray>
#include <QString>

namespace vorn {

class BrokerLink;
class TParams;

// The message (without "{XWB}") that calls `name` with `version` and `params` (may be null).
// Sending changes the list as the server expects it: a list parameter's value becomes ".x"
// and an empty list value the byte 0x01. A value that the message cannot carry (a NUL byte,
// a character that is not single-byte, an empty subscript, a text longer than its counted
// field) raises EBrokerError and leaves `params` untouched. The whole message is counted by the
// last five digits of its length, so a message over 99999 bytes can be sent.
QByteArray ComposeCall(const QString& name, const QString& version, TParams* params);

// "TCPconnect^address^port^host^" announced on a fresh connection (without "{XWB}").
QByteArray ComposeHandshake(const QString& clientAddress, int callbackPort,
                            const QString& hostName);

// The goodbye (without "{XWB}"): the last message on a link.
QByteArray ComposeGoodbye();

// Sends "{XWB}" + `message` on the link and returns the reply's data without its final 0x04.
// The reply's security and application segments are left in the link. An M error reported
// by the server raises EBrokerError 20002 with the server's text as the failed step.
QByteArray ExchangeMessage(BrokerLink& link, const QByteArray& message);

// Reads one length byte and that many bytes.
QByteArray ReadByteCounted(BrokerLink& link);

inline constexpr int kReplyChunk = 32767;

}  // namespace vorn
