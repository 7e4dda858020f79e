#include "output/internal/file_help.h"

#include "broker/pieces.h"
#include "broker/rpc_broker.h"
#include "broker/section_reader.h"
#include "source/internal/source_core.h"
#include "source/internal/source_requests.h"
#include "source/record_requests.h"
#include "source/vorn_source.h"

namespace vorn {
namespace filehelp {
namespace {

const QString kCaret = QStringLiteral("^");
const QString kFileOfFiles = QStringLiteral("1");
const QString kNameField = QStringLiteral(".01");
const QString kDescriptionField = QStringLiteral("4");

}  // namespace

RpcRequest FieldsRequest(const QString& file) {
    return std::move(RpcRequest(QStringLiteral("VRNX DDU FIELDS"))
                         .List(QStringLiteral(".DDIN"))
                         .Entry(QStringLiteral("1"), file)
                         .Entry(QStringLiteral("2"), QStringLiteral(".001")));
}

SubFileField ReadSubFileField(const RpcReply& reply, const QString& subFile) {
    SubFileField found;
    if (!reply.IsDataMarkerAt(0)) return found;
    for (int i = 1; i < reply.Count(); ++i) {
        const QString line = reply.Line(i);
        if (Piece(line, kCaret, 4) != subFile) continue;
        if (found.field.isEmpty()) found.field = Piece(line, kCaret, 1);
        found.name = Piece(line, kCaret, 2);
    }
    return found;
}

QStringList ReadHelpLines(const RpcReply& reply) {
    QStringList lines;
    if (reply.Count() < 3 || reply.Line(0) != kBeginHelpMarker) return lines;
    for (int i = 1; i < reply.Count() && reply.Line(i) != kEndHelpMarker; ++i)
        lines.append(reply.Line(i));
    return lines;
}

RpcRequest FileEntryRequest(const QString& file, const QStringList& fields) {
    return records::ReadRequest(kFileOfFiles, fields, file + u',');
}

QString ReadFileName(const RpcReply& reply, const QString& file) {
    return records::FieldPiece(records::ReadRecordAnswer(reply).lines, kNameField, file, 5);
}

QStringList ReadDescription(const RpcReply& reply) {
    return records::ReadRecordAnswer(reply).WordProcessingLines(kDescriptionField);
}

}  // namespace filehelp

namespace {

// The master whose records hold `source`'s file, when it is such a sub-file.
TvornSource* HoldingMaster(TvornSource& source) {
    TvornSource* master = SourceCore::Of(source).Master();
    if (source.TypeIfSubFile != TvornSubFileType::Hierarchical || !master ||
        master->FileNumber.isEmpty())
        return nullptr;
    return master;
}

// The name only for a broker that names a server; the lines whenever there is a broker.
FileHelp Fetch(TvornSource& source, bool wantName, bool wantLines) {
    FileHelp help;
    TRPCBroker* broker = source.RPCBroker();
    if (!broker || source.FileNumber.isEmpty()) return help;
    wantName = wantName && !broker->Server().isEmpty() && broker->ListenerPort() != 0;
    const bool hierarchical = source.TypeIfSubFile == TvornSubFileType::Hierarchical;
    if (TvornSource* master = HoldingMaster(source)) {
        if (!wantName && !wantLines) return help;
        const filehelp::SubFileField holder = filehelp::ReadSubFileField(
            broker->Call(filehelp::FieldsRequest(master->FileNumber)), source.FileNumber);
        if (wantName) help.name = holder.name;
        if (wantLines && !holder.field.isEmpty())
            help.lines = filehelp::ReadHelpLines(broker->Call(
                requests::FieldHelp(master->FileNumber, holder.field, QStringLiteral("D"))));
        return help;
    }
    // A sub-file without its master has no lines; the file of files is asked for its name.
    wantLines = wantLines && !hierarchical;
    QStringList fields;
    if (wantName) fields.append(QStringLiteral(".01"));
    if (wantLines) fields.append(QStringLiteral("4"));
    if (fields.isEmpty()) return help;
    const RpcReply reply = broker->Call(filehelp::FileEntryRequest(source.FileNumber, fields));
    if (wantName) help.name = filehelp::ReadFileName(reply, source.FileNumber);
    if (wantLines) help.lines = filehelp::ReadDescription(reply);
    return help;
}

}  // namespace

QString GetFileName(TvornSource& source) {
    return Fetch(source, true, false).name;
}

QStringList FileHelpLines(TvornSource& source) {
    return Fetch(source, false, true).lines;
}

FileHelp GetFileHelp(TvornSource& source) {
    return Fetch(source, true, true);
}

}  // namespace vorn
