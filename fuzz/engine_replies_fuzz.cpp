// Every reader of the data source's and the lookups' answers fed the same arbitrary answer: none
// crashes or hangs, and what each returns is made of the answer's own lines.
#include <cstdint>

#include <QString>
#include <QStringList>

#include "broker/rpc_reply.h"
#include "lookup/internal/bound_grid_columns.h"
#include "lookup/internal/finder_request.h"
#include "lookup/internal/logical_listing.h"
#include "source/filer_request.h"
#include "source/internal/source_requests.h"
#include "source/record_requests.h"

namespace {

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

// Every line of `part` is a line of the answer.
void CheckFromAnswer(const QStringList& part, const vorn::RpcReply& reply) {
    Check(part.size() <= reply.Count());
    for (const QString& line : part.mid(0, 16))
        Check(reply.Lines().contains(line));
}

void ReadRecords(const vorn::RpcReply& reply) {
    using namespace vorn::records;
    const RecordAnswer record = ReadRecordAnswer(reply);
    Check(record.lines.size() == record.keys.size());
    CheckFromAnswer(record.lines, reply);
    CheckFromAnswer(record.errors, reply);
    for (const QString& key : record.keys.mid(0, 8)) {
        record.LineOf(key);
        record.WordProcessingLines(key.section(u'^', 0, 0));
    }
    FieldPiece(record.lines, QStringLiteral(".01"), QStringLiteral("12"), 4);

    const ListerAnswer lister = ReadListerAnswer(reply);
    CheckFromAnswer(lister.errors, reply);
    const vorn::ValidatedValue valid = ReadValidatorAnswer(reply);
    CheckFromAnswer(valid.errors, reply);
    ReadIdentifiers(reply);
}

void ReadSourceAnswers(const vorn::RpcReply& reply) {
    using namespace vorn::requests;
    ReadFileAccess(reply);
    ReadUserData(reply);
    ReadFieldHelp(reply);
    ReadPointerLaygo(reply);
    ReadLockDone(reply);
    ReadNoPointers(reply);
    ReadDeletionAllowed(reply);
    for (int from : {0, 3, reply.Count(), reply.Count() + 2})
        CheckFromAnswer(PointerReport(reply, from), reply);
    ReadDeletedText(reply);
    ReadFilerAccepted(reply);
    ReadLocation(reply);

    const vorn::filer::FilerAnswer filed = vorn::filer::ReadFilerAnswer(reply);
    Check(filed.lines.size() == filed.keys.size());
    CheckFromAnswer(filed.lines, reply);
    filed.NumberFor(QStringLiteral("+1"));
}

void ReadLookups(const vorn::RpcReply& reply) {
    const vorn::finder::Reply found = vorn::finder::ReadReply(reply);
    CheckFromAnswer(found.data, reply);
    CheckFromAnswer(found.errors, reply);
    const vorn::logical::Reply listed = vorn::logical::ReadReply(reply);
    CheckFromAnswer(listed.lines, reply);
    CheckFromAnswer(listed.errors, reply);
    for (const QString& line : reply.Lines().mid(0, 8))
        vorn::gridcolumns::Parse(line, 64);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 100000) return 0;
    const vorn::RpcReply reply(
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    ReadRecords(reply);
    ReadSourceAnswers(reply);
    ReadLookups(reply);
    return 0;
}
