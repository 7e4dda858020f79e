#include "lookup/internal/finder_request.h"

#include "broker/pieces.h"
#include "broker/section_reader.h"

namespace vorn::finder {
namespace {

const QString kRequestCaret = QStringLiteral("^");

}  // namespace

bool IsLookup(const Query& query) {
    return query.lookup && !query.partList.value(0).isEmpty();
}

RpcRequest Request(const Query& query) {
    const bool lookup = IsLookup(query);
    RpcRequest request(lookup ? QStringLiteral("VRNX FINDER") : QStringLiteral("DDR LISTER"));
    QString fields;
    for (const QString& field : query.fields)
        fields += field + u';';
    QString flags;
    if (query.listerFlags.testFlag(lfInternal)) flags += u'I';
    if (query.listerFlags.testFlag(lfBackwards)) flags += u'B';
    if (query.rpcVersion != QLatin1String("0") && !lookup) flags += u'P';
    const bool hasPart = !query.partList.isEmpty();
    if (hasPart && !query.finderFlags.isEmpty() && !query.partList[0].isEmpty())
        flags = query.finderFlags;
    request.List(QStringLiteral(".DDR"))
        .Named(QStringLiteral("FILE"), query.file)
        .Named(QStringLiteral("FIELDS"), fields)
        .NamedIfAny(QStringLiteral("FLAGS"), flags)
        .NamedIfAny(QStringLiteral("ID"), query.identifier)
        .NamedIfAny(QStringLiteral("IENS"), query.iens)
        .NamedIfAny(QStringLiteral("MAX"), query.number);
    if (hasPart) {
        request.Named(QStringLiteral("PART"), query.partList[0]);
        request.Named(QStringLiteral("VALUE"), query.partList[0]);
    }
    request.NamedIfAny(QStringLiteral("SCREEN"), query.screen);
    QString xref = lookup ? query.fmIndex : Piece(query.fmIndex, kRequestCaret, 1);
    if (xref.isEmpty()) xref = QStringLiteral("B");
    request.Named(QStringLiteral("XREF"), xref);
    if (!query.fromLines.isEmpty()) request.Named(QStringLiteral("FROM"), query.fromLines[0]);
    if (!query.fromIen.isEmpty()) request.Entry(QStringLiteral("\"FROM\",\"IEN\""), query.fromIen);
    request.NamedIfAny(QStringLiteral("DDFILE"), query.ddFile);
    request.NamedIfAny(QStringLiteral("DDFIELD"), query.ddField);
    return request;
}

Reply ReadReply(const RpcReply& reply) {
    static const SectionMarkers markers = {{kMiscMarker, Section::Misc},
                                           {kDataMarker, Section::Data},
                                           {kBeginDataMarker, Section::Data},
                                           {kErrorsMarker, Section::Errors},
                                           {kEndDataMarker, Section::None}};
    const SectionedAnswer sections = reply.Sections(markers);
    Reply read;
    for (const QString& line : sections.Lines(Section::Misc)) {
        read.more = true;
        read.fromList.append(Piece(line, kRequestCaret, 2));
        read.fromIen = Piece(line, kRequestCaret, 3);
    }
    read.data = sections.Lines(Section::Data);
    read.errors = sections.Lines(Section::Errors);
    return read;
}

}  // namespace vorn::finder
