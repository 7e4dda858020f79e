#include "source/server_queries.h"

#include "broker/pieces.h"
#include "broker/rpc_broker.h"
#include "source/record_requests.h"

namespace vorn {

QString GetFieldAttribute(const QString& fileNumber, const QString& field, TRPCBroker* broker) {
    if (!broker || fileNumber.isEmpty() || field.isEmpty()) return {};
    const RpcReply reply = broker->Call(RpcRequest(QStringLiteral("VRNX DDU FIELDS"))
                                            .List(QStringLiteral(".DDIN"))
                                            .Entry(QStringLiteral("1"), fileNumber)
                                            .Entry(QStringLiteral("2"), QStringLiteral(".001")));
    const QString caret = QStringLiteral("^");
    for (const QString& line : reply.Lines()) {
        if (Piece(line, caret, 1) == field)
            return Piece(Piece(line, caret, 3), QStringLiteral(";"), 1);
    }
    return {};
}

ValidatedValue ValidateValue(const QString& fileNumber, const QString& field, const QString& value,
                             TRPCBroker* broker) {
    if (!broker) return {};
    const RpcReply reply =
        broker->Call(records::ValidatorRequest(fileNumber, QStringLiteral("+1,"), field, value));
    ValidatedValue answer;
    if (!reply.IsDataMarkerAt(1)) return answer;
    answer.valid = true;
    answer.internal = reply.Line(2);
    answer.external = reply.Line(3);
    return answer;
}

QString GetRecordIdentifiers(const QString& fileNumber, const QString& iens, TRPCBroker* broker) {
    if (!broker) return {};
    return records::ReadIdentifiers(
        broker->Call(records::IdentifiersRequest(fileNumber, Piece(iens, QStringLiteral(","), 1))));
}

}  // namespace vorn
