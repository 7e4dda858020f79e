#include "source/record_requests.h"

#include "broker/pieces.h"
#include "broker/section_reader.h"

namespace vorn::records {
namespace {

const QString kCaret = QStringLiteral("^");

}  // namespace

QString FieldsText(const QStringList& fields) {
    QString text;
    for (const QString& field : fields)
        text += field + u';';
    return text;
}

RpcRequest ReadRequest(const QString& file, const QStringList& fields, const QString& fullIens) {
    return std::move(RpcRequest(QStringLiteral("DDR GETS ENTRY DATA"))
                         .List(QStringLiteral(".DDR"))
                         .Named(QStringLiteral("FILE"), file)
                         .Named(QStringLiteral("FIELDS"), FieldsText(fields))
                         .Named(QStringLiteral("IENS"), fullIens)
                         .Named(QStringLiteral("FLAGS"), QStringLiteral("IE")));
}

RecordAnswer ReadRecordAnswer(const RpcReply& reply) {
    RecordAnswer answer;
    answer.missing = reply.Line(0) == QLatin1String("[ERROR]");
    SectionReader reader(reply.Lines(), StandardMarkers());
    while (reader.Next()) {
        if (reader.CurrentSection() == Section::Errors) {
            answer.errors.append(reader.Line());
            continue;
        }
        if (reader.CurrentSection() != Section::Data) continue;
        const QString line = reader.Line();
        const QString field = Piece(line, kCaret, 3);
        answer.lines.append(line);
        answer.keys.append(field);
        if (Piece(line, kCaret, 4) != kWordProcessingMarker) continue;
        // The text is read to its end line whatever it holds: a line of text may look like a
        // marker.
        while (reader.NextRaw()) {
            answer.lines.append(reader.Line());
            answer.keys.append(field + u'^' + QString::number(reader.Index()));
            if (reader.Line() == kWordProcessingEnd) break;
        }
    }
    return answer;
}

QString RecordAnswer::LineOf(const QString& field) const {
    const qsizetype at = keys.indexOf(field);
    return at < 0 ? QString() : lines[at];
}

QStringList RecordAnswer::WordProcessingLines(const QString& field) const {
    QStringList text;
    const qsizetype at = keys.indexOf(field);
    if (at < 0 || Piece(lines[at], kCaret, 4) != kWordProcessingMarker) return text;
    // The server refuses "$$END$$" as a line of text, so the first one ends the field.
    for (qsizetype i = at + 1; i < lines.size() && lines[i] != kWordProcessingEnd; ++i)
        text.append(lines[i]);
    return text;
}

QString FieldPiece(const QStringList& lines, const QString& field, const QString& record,
                   int piece) {
    for (const QString& line : lines)
        if (Piece(line, kCaret, 3) == field && Piece(line, kCaret, 2) == record)
            return Piece(line, kCaret, piece);
    return {};
}

RpcRequest ListerRequest(const ListerStep& step) {
    RpcRequest request(QStringLiteral("DDR LISTER"));
    request.List(QStringLiteral(".DDR"))
        .Named(QStringLiteral("FILE"), step.file)
        .Named(QStringLiteral("FIELDS"), step.fields)
        .NamedIfAny(QStringLiteral("FLAGS"), step.flags)
        .NamedIfAny(QStringLiteral("IENS"), step.iens)
        .Named(QStringLiteral("MAX"), QStringLiteral("1"))
        .NamedIfAny(QStringLiteral("PART"), step.part)
        .NamedIfAny(QStringLiteral("SCREEN"), step.screen)
        .Named(QStringLiteral("XREF"), step.xref);
    if (step.continues) {
        request.Named(QStringLiteral("FROM"), step.from);
        request.Entry(QStringLiteral("\"FROM\",\"IEN\""), step.fromIen);
    }
    return request;
}

QString ListerFlags(bool backwards, bool logical, const QString& rpcVersion) {
    QString flags;
    if (logical) flags += u'I';
    if (backwards) flags += u'B';
    if (rpcVersion != QLatin1String("0")) flags += u'P';
    return flags;
}

ListerAnswer ReadListerAnswer(const RpcReply& reply) {
    ListerAnswer answer;
    const SectionedAnswer& sections = reply.Sections();
    for (const QString& line : sections.Lines(Section::Data))
        answer.found = Piece(line, kCaret, 1);
    answer.more = !sections.IsEmpty(Section::Misc);
    answer.errors = sections.Lines(Section::Errors);
    return answer;
}

RpcRequest ValidatorRequest(const QString& file, const QString& fullIens, const QString& field,
                            const QString& value) {
    return std::move(RpcRequest(QStringLiteral("DDR VALIDATOR"))
                         .List(QStringLiteral(".DDR"))
                         .Named(QStringLiteral("FILE"), file)
                         .Named(QStringLiteral("IENS"), fullIens)
                         .Named(QStringLiteral("FIELD"), field)
                         .Named(QStringLiteral("VALUE"), value));
}

ValidatedValue ReadValidatorAnswer(const RpcReply& reply) {
    ValidatedValue answer;
    const SectionedAnswer& sections = reply.Sections();
    const QStringList& data = sections.Lines(Section::Data);
    answer.errors = sections.Lines(Section::Errors);
    answer.valid = data.value(0) != kCaret;
    if (answer.valid && data.size() >= 2) {
        answer.internal = data[0];
        answer.external = data[1];
    }
    return answer;
}

RpcRequest IdentifiersRequest(const QString& file, const QString& record) {
    return std::move(RpcRequest(QStringLiteral("VRNX IDENTIFIERS"))
                         .List()
                         .Named(QStringLiteral("FILE"), file)
                         .Named(QStringLiteral("IEN"), record));
}

QString ReadIdentifiers(const RpcReply& reply) {
    static const SectionMarkers markers = {{kBeginErrorsMarker, Section::Errors},
                                           {kBeginDataMarker, Section::Data},
                                           {kEndDataMarker, Section::None}};
    return reply.Sections(markers).Joined(Section::Data);
}

}  // namespace vorn::records
