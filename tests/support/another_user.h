// Another user of the development server, on a broker with a session of its own: what a record
// holds now, whether its lock is free, and the lab tests that user adds behind the form's back.
#pragma once

#include <QString>

#include "broker/rpc_broker.h"
#include "source/internal/source_requests.h"
#include "source/record_requests.h"

namespace vorn::test {

// A field of `record` (an address without its trailing comma) as `other` reads it now.
inline QString Stored(TRPCBroker& other, const QString& file, const QString& record,
                      const QString& field) {
    const records::RecordAnswer answer =
        records::ReadRecordAnswer(other.Call(records::ReadRequest(file, {field}, record + u',')));
    return records::FieldPiece(answer.lines, field, record, 4);
}

// Whether `other` may lock `record` of `file` now; a lock taken is let go again at once.
inline bool CanLock(TRPCBroker& other, const QString& file, const QString& record) {
    if (!requests::ReadLockDone(other.Call(requests::Lock(file, record, QStringLiteral("LOCK")))))
        return false;
    other.Call(requests::Lock(file, record, QStringLiteral("UNLOCK")));
    return true;
}

// A DDR FILER call of `other` (ADD or EDIT) of the entries given, numbered from 1.
inline RpcReply File(TRPCBroker& other, const QString& action, const QStringList& entries) {
    RpcRequest request(QStringLiteral("DDR FILER"));
    request.Literal(action).List(QStringLiteral(".DDR"));
    for (int i = 0; i < entries.size(); ++i)
        request.Entry(QString::number(i + 1), entries[i]);
    return other.Call(request.Literal(QString()));
}

// Files a new lab test as `other`; its record number.
inline QString AddLabTest(TRPCBroker& other, const QString& abbreviation, const QString& name) {
    return File(other, "ADD", {"80001^.01^+1^" + abbreviation, "80001^2^+1^" + name})
        .Line(1)
        .section(u'^', 1);
}

}  // namespace vorn::test
