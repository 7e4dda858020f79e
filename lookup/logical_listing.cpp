#include "lookup/internal/logical_listing.h"

#include "broker/pieces.h"
#include "broker/section_reader.h"

namespace vorn::logical {

RpcRequest Request(const Query& query) {
    QString fields;
    for (const QString& field : query.fields)
        fields += field + u';';
    RpcRequest request(QStringLiteral("VRNX LOGICAL POINTER"));
    request.List(QStringLiteral(".DDR"))
        .Named(QStringLiteral("FILE"), query.file)
        .Named(QStringLiteral("XREF"), query.xref)
        .Named(QStringLiteral("IEN"), query.masterRecord)
        .Named(QStringLiteral("FIELDS"), fields);
    if (query.number != QLatin1String("*")) request.NamedIfAny(QStringLiteral("MAX"), query.number);
    if (query.continues) request.Named(QStringLiteral("FROM"), query.from);
    request.Named(QStringLiteral("SORT"),
                  query.sortField.isEmpty() ? QStringLiteral(".01") : query.sortField);
    if (query.descending) request.Named(QStringLiteral("SORTDIR"), QStringLiteral("DESC"));
    request.NamedIfAny(QStringLiteral("SCREEN"), query.screen);
    return request;
}

Reply ReadReply(const RpcReply& reply) {
    const SectionedAnswer& sections = reply.Sections();
    Reply read;
    for (const QString& line : sections.Lines(Section::Misc)) {
        read.more = true;
        read.from = Piece(line, QStringLiteral("^"), 3);
    }
    read.lines = sections.Lines(Section::Data);
    read.errors = sections.Lines(Section::Errors);
    if (reply.IsDataMarkerAt(0)) {
        read.more = false;
        read.from.clear();
    }
    return read;
}

}  // namespace vorn::logical
