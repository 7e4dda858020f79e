#include "broker/internal/wire_protocol.h"

#include <string>
#include <vector>

#include "broker/broker_error.h"
#include "broker/internal/broker_link.h"
#include "broker/internal/socket_errors.h"
#include "broker/rpc_params.h"
#include "common/counted_fields.h"

namespace vorn {
namespace {

using wire::ByteCount;
using wire::PadCount;

// A peer that closes the connection is reported as a reset one.
constexpr int kConnectionLostCode = net::WSAECONNRESET;

// A refusal names the piece of the message that cannot be carried, so that the caller can
// find it.
[[noreturn]] void Refuse(const QString& what, int code) {
    RaiseBrokerError(QStringLiteral("ComposeCall: ") + what, code);
}

std::string Checked(const QString& text, const QString& what) {
    if (!IsWireText(text))
        Refuse(what + QStringLiteral(" holds a character that is not single-byte"), net::WSAEINVAL);
    QByteArray bytes = ToWireText(text);
    if (bytes.contains('\0')) Refuse(what + QStringLiteral(" holds a NUL byte"), net::WSAEINVAL);
    return bytes.toStdString();
}

std::string Pad(const std::string& text, int digits, const QString& what) {
    try {
        return PadCount(text, digits);
    } catch (const wire::FieldTooLong& e) {
        Refuse(QStringLiteral("%1 of %2 bytes exceeds its field of %3 bytes")
                   .arg(what)
                   .arg(e.length())
                   .arg(e.limit()),
               net::WSAEMSGSIZE);
    }
}

QString ParamName(int index) {
    return QStringLiteral("Param[%1]").arg(index);
}

// The five-digit count of `rest` followed by `rest`.
std::string FiveDigitFrame(const std::string& rest, const QString& what) {
    try {
        return wire::CountDigits(rest.size(), 5) + rest;
    } catch (const wire::FieldTooLong& e) {
        Refuse(QStringLiteral("%1 of %2 bytes exceeds its field of %3 bytes")
                   .arg(what)
                   .arg(e.length())
                   .arg(e.limit()),
               net::WSAEMSGSIZE);
    }
}

std::string WrappedCount(std::size_t length) {
    const std::string digits = "00000" + std::to_string(length);
    return digits.substr(digits.size() - 5);
}

}  // namespace

QByteArray ComposeCall(const QString& name, const QString& version, TParams* params) {
    std::string paramText;
    std::string listData;
    bool hasList = false;
    // Changes the message asks of the caller's list, made only once the whole message fits.
    std::vector<TParamRecord*> listParams;
    std::vector<std::pair<TMult*, int>> emptyValues;

    const int count = params ? params->Count() : 0;
    for (int i = 0; i < count; ++i) {
        TParamRecord* p = params->At(i);
        if (!p) continue;
        switch (p->ParamKind) {
            case TParamType::undefined:
                continue;
            case TParamType::literal:
            case TParamType::reference: {
                const char type = p->ParamKind == TParamType::literal ? '0' : '1';
                paramText += Pad(type + Checked(p->Value, ParamName(i)), 3,
                                 ParamName(i) + QStringLiteral(" with its type"));
                break;
            }
            case TParamType::list: {
                hasList = true;
                paramText += PadCount("2.x", 3);
                listParams.push_back(p);
                TMult& mult = p->Mult;
                for (int e = 0; e < mult.Count(); ++e) {
                    const QString where =
                        ParamName(i) + QStringLiteral(".Mult[") + mult.SubscriptAt(e) + ']';
                    const std::string subscript = Checked(mult.SubscriptAt(e), where);
                    // An empty subscript would read as the list's end marker "000".
                    if (subscript.empty())
                        Refuse(ParamName(i) + QStringLiteral(".Mult holds an empty subscript"),
                               net::WSAEINVAL);
                    std::string value = Checked(mult.ValueAt(e), where);
                    if (value.empty()) {
                        value = wire::kEmptyListValue;
                        emptyValues.emplace_back(&mult, e);
                    }
                    listData += Pad(subscript, 3, where + QStringLiteral(" subscript"));
                    listData += Pad(value, 3, where);
                }
                listData += "000";
                break;
            }
        }
    }

    const std::string procedure =
        Pad((hasList ? "1" : "0") + Checked(name, QStringLiteral("RemoteProcedure")) + "^" +
                Pad(paramText, 5, QStringLiteral("the parameter text")),
            5, QStringLiteral("the procedure part"));
    const std::string header = PadCount("XWB;;;;", 3);
    std::string versionField;
    try {
        versionField = ByteCount(Checked(version, QStringLiteral("RpcVersion")));
    } catch (const wire::FieldTooLong& e) {
        Refuse(QStringLiteral("RpcVersion of %1 bytes exceeds its field of %2 bytes")
                   .arg(e.length())
                   .arg(e.limit()),
               net::WSAEMSGSIZE);
    }
    const std::string rest =
        versionField + Pad(header + procedure, 5, QStringLiteral("the call block")) + listData;
    // The whole message is counted by the last five digits of its length: the count wraps, and
    // the server reads a long message by its structure.
    const std::string message = WrappedCount(rest.size()) + rest;

    for (TParamRecord* p : listParams)
        p->Value = QStringLiteral(".x");
    for (auto [mult, e] : emptyValues)
        mult->SetValueAt(e, QString(QChar(wire::kEmptyListValue)));
    return QByteArray::fromStdString(message);
}

QByteArray ComposeHandshake(const QString& clientAddress, int callbackPort,
                            const QString& hostName) {
    const std::string text = "TCPconnect^" + ToWireText(clientAddress).toStdString() + "^" +
                             std::to_string(callbackPort) + "^" +
                             ToWireText(hostName).toStdString() + "^";
    const std::string rest = ByteCount("1.104") + Pad(text, 5, QStringLiteral("the handshake"));
    return QByteArray::fromStdString(FiveDigitFrame(rest, QStringLiteral("the handshake")));
}

QByteArray ComposeGoodbye() {
    return QByteArray::fromStdString(PadCount(PadCount("#BYE#", 5), 5));
}

namespace {

// Receives the next chunk of the reply onto the end of the link's reply buffer; raises for a
// failure or a closed connection.
void ReceiveChunk(BrokerLink& link) {
    QByteArray& buffer = link.replyBuffer;
    const qsizetype had = buffer.size();
    buffer.resize(had + kReplyChunk);
    const long n = link.socket.Receive(buffer.data() + had, kReplyChunk, link.Hook());
    buffer.resize(had + (n > 0 ? n : 0));
    if (n < 0) link.Fail("recv");
    if (n == 0) {
        link.inCall = false;
        RaiseBrokerError(QStringLiteral("connection lost"), kConnectionLostCode);
    }
}

// Discards the reply that an earlier exchange gave up on. Each receive may wait about a
// tenth of a second. When the late reply has not ended by then it may still come and would
// be taken for the answer to the next call, so nothing is sent: the call fails as timed out
// and the drain stays pending for the next one.
void Drain(BrokerLink& link) {
    const int savedLimit = link.timeLimit;
    link.timeLimit = 0;
    link.inCall = true;
    std::vector<char> buffer(kReplyChunk);
    bool ended = false;
    long n = 0;
    for (;;) {
        link.StartWait();
        n = link.socket.Receive(buffer.data(), buffer.size(), link.Hook());
        if (n <= 0) break;
        if (buffer[n - 1] == wire::kEndOfReply) {
            ended = true;
            break;
        }
    }
    link.timeLimit = savedLimit;
    link.inCall = false;
    if (ended) {
        link.drainPending = false;
        return;
    }
    if (n == 0) RaiseBrokerError(QStringLiteral("connection lost"), kConnectionLostCode);
    link.Fail("recv");
}

}  // namespace

QByteArray ReadByteCounted(BrokerLink& link) {
    while (link.replyBuffer.size() <= link.replyPos)
        ReceiveChunk(link);
    const qsizetype length = static_cast<unsigned char>(link.replyBuffer[link.replyPos]);
    while (link.replyBuffer.size() < link.replyPos + 1 + length)
        ReceiveChunk(link);
    const QByteArray text = link.replyBuffer.mid(link.replyPos + 1, length);
    link.replyPos += 1 + length;
    return text;
}

QByteArray ExchangeMessage(BrokerLink& link, const QByteArray& message) {
    link.requestSent = false;
    if (link.drainPending) Drain(link);

    link.inCall = true;
    link.StartWait();
    QByteArray frame;
    frame.reserve(message.size() + 5);
    frame.append(wire::kMessagePrefix.data(), static_cast<qsizetype>(wire::kMessagePrefix.size()));
    frame.append(message);
    // A server that has already closed its end cannot run the call: failing here lets the
    // caller know that nothing went out.
    if (link.socket.PeerClosed()) {
        link.inCall = false;
        RaiseBrokerError(QStringLiteral("connection lost"), kConnectionLostCode);
    }
    // A send that fails part way may have put part of the request on the wire.
    link.requestSent = true;
    if (!link.socket.SendAll(frame.constData(), static_cast<std::size_t>(frame.size()),
                             link.Hook()))
        link.Fail("send");

    // Chunks are received into one buffer. The segments are taken from its front; the data is
    // what follows them, and it ends with a chunk whose last byte is 0x04 (a 0x04 inside a
    // chunk does not end it).
    link.replyBuffer.resize(0);
    link.replyPos = 0;
    link.lastSecurity = ReadByteCounted(link);
    link.lastApplication = ReadByteCounted(link);
    const qsizetype dataStart = link.replyPos;
    if (link.replyBuffer.size() == dataStart || link.replyBuffer.back() != wire::kEndOfReply) {
        do {
            ReceiveChunk(link);
        } while (link.replyBuffer.back() != wire::kEndOfReply);
    }
    link.inCall = false;

    // Hand the data out without copying it: the front of the buffer is dropped in place.
    QByteArray data = std::move(link.replyBuffer);
    data.remove(0, dataStart);
    data.chop(1);
    link.replyBuffer = data;
    link.replyPos = 0;

    if (!data.isEmpty() && data.front() == wire::kServerError)
        RaiseBrokerError(FromWireText(data.mid(1)), kBrokerMError);
    return data;
}

}  // namespace vorn
