#include "source/internal/source_requests.h"

#include "broker/pieces.h"
#include "broker/section_reader.h"

namespace vorn::requests {
namespace {

const QString kCaret = QStringLiteral("^");

RpcRequest DdrList(const QString& procedure) {
    return std::move(RpcRequest(procedure).List(QStringLiteral(".DDR")));
}

}  // namespace

RpcRequest FileAccess(const QString& file) {
    return std::move(RpcRequest(QStringLiteral("VRNX DDU FILE ACCESS"))
                         .List(QStringLiteral(".DDIN"))
                         .Entry(QStringLiteral("1"), file));
}

FileAccessAnswer ReadFileAccess(const RpcReply& reply) {
    FileAccessAnswer answer;
    if (reply.Count() < 2 || !reply.IsDataMarkerAt(0)) return answer;
    const QString line = reply.Line(1);
    answer.answered = true;
    answer.userData = Piece(line, kCaret, 2);
    answer.read = Piece(line, kCaret, 3) == QLatin1String("READ");
    answer.write = Piece(line, kCaret, 4) == QLatin1String("WRITE");
    answer.del = Piece(line, kCaret, 5) == QLatin1String("DEL");
    answer.laygo = Piece(line, kCaret, 6) == QLatin1String("LAYGO");
    return answer;
}

RpcRequest UserData() {
    return RpcRequest(QStringLiteral("VRNX USERDATA"));
}

QString ReadUserData(const RpcReply& reply) {
    return reply.IsDataMarkerAt(0) ? reply.Line(1) : QString();
}

RpcRequest FieldHelp(const QString& file, const QString& field, const QString& kind) {
    return std::move(DdrList(QStringLiteral("VRNX HELP"))
                         .Named(QStringLiteral("FILE"), file)
                         .Named(QStringLiteral("FIELD"), field)
                         .Named(QStringLiteral("FLAGS"), kind));
}

QString ReadFieldHelp(const RpcReply& reply) {
    if (reply.Count() <= 2 || reply.Line(0) != kBeginHelpMarker) return {};
    QString text;
    for (int i = 1; i < reply.Count() && reply.Line(i) != kEndHelpMarker; ++i)
        text += reply.Line(i);
    return text;
}

RpcRequest PointerLaygo(const QString& file, const QString& field) {
    return std::move(DdrList(QStringLiteral("VRNX DDU POINTER LAYGO"))
                         .Entry(QStringLiteral("1"), file)
                         .Entry(QStringLiteral("2"), field));
}

bool ReadPointerLaygo(const RpcReply& reply) {
    return reply.Text() == QLatin1String("1");
}

RpcRequest Lock(const QString& file, const QString& record, const QString& action) {
    return std::move(DdrList(QStringLiteral("VRNX LOCKS"))
                         .Named(QStringLiteral("FILE"), file)
                         .Named(QStringLiteral("IEN"), record)
                         .Named(QStringLiteral("ACT"), action));
}

bool ReadLockDone(const RpcReply& reply) {
    return reply.Line(0) == kBeginDataMarker && reply.Line(1) == QLatin1String("1");
}

QStringList ReadLockRefusal(const RpcReply& reply) {
    return reply.Sections().Lines(Section::Errors);
}

RpcRequest PointerCheck(const QString& file, const QString& record, int files, int records,
                        int noXrefs) {
    return std::move(DdrList(QStringLiteral("VRNX RECORD POINTER CHECK"))
                         .Named(QStringLiteral("FILE"), file)
                         .Named(QStringLiteral("IEN"), record)
                         .Named(QStringLiteral("FCNT"), QString::number(files))
                         .Named(QStringLiteral("ECNT"), QString::number(records))
                         .Named(QStringLiteral("FXCNT"), QString::number(noXrefs)));
}

bool ReadNoPointers(const RpcReply& reply) {
    const QString first = Piece(reply.Line(0), kCaret, 1);
    return (first == kDataMarker || first == kBeginDataMarker) &&
           reply.Line(1) == QLatin1String("0");
}

QStringList ReadPointerCheckFailure(const RpcReply& reply) {
    const QString first = Piece(reply.Line(0), kCaret, 1);
    if (first == kDataMarker || first == kBeginDataMarker) return {};
    QStringList reasons = reply.Sections().Lines(Section::Errors);
    if (reasons.isEmpty())
        reasons.append(QStringLiteral("The server did not answer the pointer check."));
    return reasons;
}

bool ReadDeletionAllowed(const RpcReply& reply) {
    return reply.Line(2) == QLatin1String(" ");
}

QStringList PointerReport(const RpcReply& reply, int from) {
    QStringList report;
    for (int i = from; i < reply.Count(); ++i)
        if (reply.Line(i) != kEndDataMarker) report.append(reply.Line(i));
    return report;
}

RpcRequest RecordDelete(const QString& file, const QString& record) {
    return std::move(DdrList(QStringLiteral("VRNX RECORD DELETE"))
                         .Named(QStringLiteral("FILE"), file)
                         .Named(QStringLiteral("IEN"), record));
}

QString ReadDeletedText(const RpcReply& reply) {
    const SectionedAnswer& sections = reply.Sections();
    if (!sections.IsEmpty(Section::Errors) || sections.Opened(Section::Errors)) return {};
    return sections.Lines(Section::Data).value(0);
}

RpcRequest SubFileDelete(const QString& file, const QString& record) {
    return std::move(RpcRequest(QStringLiteral("DDR FILER"))
                         .Literal(QStringLiteral("DELETE"))
                         .List(QStringLiteral(".DDR"))
                         .Entry(QStringLiteral("1"),
                                file + QStringLiteral("^.01^") + record + QStringLiteral("^@")));
}

bool ReadFilerAccepted(const RpcReply& reply) {
    return !reply.Lines().contains(kErrorsMarker) && !reply.Lines().contains(kBeginErrorsMarker);
}

RpcRequest Location(const QString& file, const QString& field) {
    return std::move(DdrList(QStringLiteral("VRNX DDU LOCATION"))
                         .Entry(QStringLiteral("1"), file)
                         .Entry(QStringLiteral("2"), field));
}

std::optional<QString> ReadLocation(const RpcReply& reply) {
    if (reply.Line(0) != kBeginDataMarker) return std::nullopt;
    return reply.Line(1);
}

QString LinkScreen(const QString& masterRecord, const QString& location) {
    return QStringLiteral("I ") + masterRecord + QStringLiteral("=$P($G(^(") +
           Piece(location, QStringLiteral(";"), 1) + QStringLiteral(")),U,") +
           Piece(location, QStringLiteral(";"), 2) + u')';
}

}  // namespace vorn::requests
