#include "source/filer_request.h"

#include "broker/pieces.h"
#include "broker/section_reader.h"

namespace vorn::filer {
namespace {

const QString kCaret = QStringLiteral("^");

}  // namespace

RpcRequest FilerRequest(const Filing& filing) {
    RpcRequest request(QStringLiteral("DDR FILER"));
    request.Literal(filing.add ? QStringLiteral("ADD") : QStringLiteral("EDIT"));
    request.List(QStringLiteral(".DDR"));
    int n = 0;
    for (const FieldValue& f : filing.fields) {
        ++n;
        const bool empty = f.wordProcessing ? f.lines.isEmpty() : f.value.isEmpty();
        if (filing.add && empty) continue;
        const QString entry = QString::number(n);
        const QString head = filing.file + u'^' + f.field + u'^' + filing.record + u'^';
        if (!f.wordProcessing) {
            request.Entry(entry, head + f.value);
            continue;
        }
        request.Entry(entry, head + QStringLiteral("DDRROOT(") + entry + u')');
        for (int i = 0; i < f.lines.size(); ++i) {
            const QString& line = f.lines[i];
            request.Entry(entry + u',' + QString::number(i + 1),
                          line.isEmpty() ? QStringLiteral(" ") : line);
        }
    }
    for (const ExtraLine& e : filing.extra)
        request.Entry(QString::number(++n),
                      e.file + u'^' + e.field + u'^' + e.iens + u'^' + e.value);
    request.Literal(QString());
    if (!filing.wishedNumbers.isEmpty()) {
        request.List(QStringLiteral(".DDRIEN"));
        for (const QString& wish : filing.wishedNumbers)
            request.Entry(Piece(wish, kCaret, 1), wish.section(u'^', 1));
    }
    return request;
}

FilerAnswer ReadFilerAnswer(const RpcReply& reply) {
    FilerAnswer answer;
    const SectionedAnswer& sections = reply.Sections();
    for (const QString& line : sections.Lines(Section::Data)) {
        answer.lines.append(line);
        answer.keys.append(Piece(Piece(line, kCaret, 1), QStringLiteral(","), 1));
    }
    answer.errors = sections.Lines(Section::Errors);
    return answer;
}

QString FilerAnswer::NumberFor(const QString& key) const {
    const qsizetype at = keys.indexOf(key);
    return at < 0 ? QString() : Piece(lines[at], kCaret, 2);
}

}  // namespace vorn::filer
