// The records of another file that point to a master record, as "VRNX LOGICAL POINTER" lists
// them for a grid: the call and the reading of its reply, as plain functions.
#pragma once

#include <QString>
#include <QStringList>

#include "broker/rpc_reply.h"
#include "broker/rpc_request.h"

namespace vorn::logical {

struct Query {
    QString file;
    QString xref;          // the index on the link field
    QString masterRecord;  // the master's record number ("IEN")
    QStringList fields;
    QString number;  // "MAX"; "*" or empty lists every record
    bool continues = false;
    QString from;  // where the last batch ended; sent only when continuing
    QString sortField;
    bool descending = false;
    QString screen;
};

// The call: "FILE", "XREF", "IEN", "FIELDS" (each field followed by ";"), "MAX", "FROM",
// "SORT" (the sort field, ".01" when none), "SORTDIR" ("DESC" only) and "SCREEN", the
// optional ones only when they have something to say.
RpcRequest Request(const Query& query);

struct Reply {
    QStringList lines;  // "number^values" lines of the data section
    bool more = false;  // the server holds more records
    QString from;       // the continuation: third "^" piece of the miscellaneous line
    QStringList errors;
};

// A reply that begins with its data section ("[Data]" or "[BEGIN_diDATA]") says that nothing
// more follows, whatever comes after.
Reply ReadReply(const RpcReply& reply);

}  // namespace vorn::logical
