// Building the calls that read and move through records, and reading their answers: plain
// functions, so that what goes on the wire and what is taken from the reply can be checked
// without a form.
#pragma once

#include <QString>
#include <QStringList>

#include "broker/rpc_reply.h"
#include "broker/rpc_request.h"
#include "source/source_outcome.h"

#pragma GCC visibility push(default)
namespace vorn::records {

// Every field followed by ";": {".01", "2", "4"} gives ".01;2;4;".
QString FieldsText(const QStringList& fields);

// "DDR GETS ENTRY DATA" of `fields` of the record at `fullIens`, internal and external values.
RpcRequest ReadRequest(const QString& file, const QStringList& fields, const QString& fullIens);

// A read record: its data lines in order, the key of each (the field number, or for a line of
// word-processing text the field number, "^" and the line's index in the answer) and the
// lines of its errors section.
struct RecordAnswer {
    bool missing = false;  // the answer began with "[ERROR]": there is no such record
    QStringList lines;
    QStringList keys;
    QStringList errors;

    // The first data line of `field`, or the empty text when the field was not returned.
    QString LineOf(const QString& field) const;
    // The text lines of word-processing field `field` (between its marker line and "$$END$$").
    QStringList WordProcessingLines(const QString& field) const;
};
RecordAnswer ReadRecordAnswer(const RpcReply& reply);

// Piece `piece` of the line whose field (piece 3) is `field` and whose record (piece 2) is
// `record` (a record address without its trailing comma); empty when there is none.
QString FieldPiece(const QStringList& lines, const QString& field, const QString& record,
                   int piece);

inline const QString kWordProcessingMarker = QStringLiteral("[WORD PROCESSING]");
inline const QString kWordProcessingEnd = QStringLiteral("$$END$$");

// One step of browsing along an index: the lister asked for the one record before or after a
// point, or for the first or last record.
enum class Direction { First = 0, Prior = 1, Next = 2, Last = 3 };

struct ListerStep {
    QString file;
    QString fields;  // ".001" for a plain source, the link field for a logical detail
    QString flags;   // not sent when empty
    QString iens;    // the parent address of a sub-file, when not empty
    QString part;    // the master's record number of a logical detail, when not empty
    QString screen;  // when not empty
    QString xref;
    bool continues = false;  // prior and next: the walk goes on from a record
    QString from;
    QString fromIen;
};
RpcRequest ListerRequest(const ListerStep& step);

// The flags of a step: for a logical detail "I" first; "B" for a backward walk (prior, last);
// "P" when the broker's protocol version is not "0".
QString ListerFlags(bool backwards, bool logical, const QString& rpcVersion);

struct ListerAnswer {
    QString found;  // the record number of the last data line; empty when none came
    bool more = false;
    QStringList errors;
};
ListerAnswer ReadListerAnswer(const RpcReply& reply);

// "DDR VALIDATOR" of `value` for `field` of the record at `fullIens`.
RpcRequest ValidatorRequest(const QString& file, const QString& fullIens, const QString& field,
                            const QString& value);
ValidatedValue ReadValidatorAnswer(const RpcReply& reply);

// "VRNX IDENTIFIERS" of record `record` (an address without its trailing comma) and the
// identifier text of its answer.
RpcRequest IdentifiersRequest(const QString& file, const QString& record);
QString ReadIdentifiers(const RpcReply& reply);

}  // namespace vorn::records

#pragma GCC visibility pop
