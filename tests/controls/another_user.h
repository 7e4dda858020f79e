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

// Files a new lab test as `other`; its record number.
inline QString AddLabTest(TRPCBroker& other, const QString& abbreviation, const QString& name) {
    return other
        .Call(RpcRequest(QStringLiteral("DDR FILER"))
                  .Literal(QStringLiteral("ADD"))
                  .List(QStringLiteral(".DDR"))
                  .Entry(QStringLiteral("1"), "80001^.01^+1^" + abbreviation)
                  .Entry(QStringLiteral("2"), "80001^2^+1^" + name)
                  .Literal(QString()))
        .Line(1)
        .section(u'^', 1);
}

}  // namespace vorn::test
