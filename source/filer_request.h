// The filing call: the changed fields of a record (or all fields of a new one) sent to
// "DDR FILER" in one call, and the reading of its answer.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "broker/rpc_reply.h"
#include "broker/rpc_request.h"

#pragma GCC visibility push(default)
namespace vorn::filer {

// One changed field as a control holds it.
struct FieldValue {
    QString field;
    QString value;                // the internal value
    bool wordProcessing = false;  // the text lines below are filed instead of `value`
    QStringList lines;
};

// A value filed beside the controls' values.
struct ExtraLine {
    QString file;
    QString field;
    QString iens;
    QString value;
};

struct Filing {
    bool add = false;  // "ADD" for a new record, else "EDIT"
    QString file;
    QString record;  // the record address without its trailing comma ("+1", "12", "3,12")
    QList<FieldValue> fields;
    QList<ExtraLine> extra;
    QStringList wishedNumbers;  // "placeholder^record number"
};

// Every field and extra line takes the next entry number; a new record's empty field keeps its
// number unused, so the numbers may have gaps. Word-processing text goes under "n,1", "n,2"...
// with an empty line sent as " ".
RpcRequest FilerRequest(const Filing& filing);

struct FilerAnswer {
    QStringList lines;  // the data lines
    QStringList keys;   // for each, the first comma piece of its first "^" piece ("+1")
    QStringList errors;
    bool Succeeded() const { return errors.isEmpty(); }
    // The record number the filer gave placeholder `key` ("+1"); empty when none.
    QString NumberFor(const QString& key) const;
};
FilerAnswer ReadFilerAnswer(const RpcReply& reply);

}  // namespace vorn::filer

#pragma GCC visibility pop
