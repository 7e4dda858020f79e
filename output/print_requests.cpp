#include "output/internal/print_requests.h"

#include "broker/pieces.h"

namespace vorn::output {
namespace {

const QString kCaret = QStringLiteral("^");

// The sections of the report and paging replies; "[END_diDATA]" closes whatever is open.
const SectionMarkers& OutputMarkers() {
    static const SectionMarkers markers = {
        {kMiscMarker, Section::Misc},          {kDataMarker, Section::Data},
        {kBeginDataMarker, Section::Data},     {kErrorsMarker, Section::Errors},
        {kBeginErrorsMarker, Section::Errors}, {kEndDataMarker, Section::None}};
    return markers;
}

}  // namespace

RpcRequest ReportRequest(const ReportParameters& report) {
    QString fields;
    for (const QString& line : report.fieldNumbers)
        fields += line + u';';
    RpcRequest request(QStringLiteral("VRNX REPORT"));
    request.List(QStringLiteral(".DDR"))
        .Named(QStringLiteral("FILE"), report.file)
        .Named(QStringLiteral("FIELDS"), fields)
        .NamedIfAny(QStringLiteral("FROM"), report.from)
        .NamedIfAny(QStringLiteral("BY"), report.by)
        .NamedIfAny(QStringLiteral("TO"), report.whereTo)
        .NamedIfAny(QStringLiteral("DHD"), report.dhd)
        .NamedIfAny(QStringLiteral("IOP"), report.iop)
        .NamedIfAny(QStringLiteral("DIS0"), report.dis0)
        .NamedIfAny(QStringLiteral("DIS1"), report.dis1)
        .NamedIfAny(QStringLiteral("ROUTINE"), report.routine);
    return request;
}

ReportAnswer ReadReportAnswer(const RpcReply& reply) {
    const SectionedAnswer sections = reply.Sections(OutputMarkers());
    ReportAnswer answer;
    answer.data = sections.Lines(Section::Data);
    answer.errors = sections.Lines(Section::Errors);
    answer.handle = answer.data.value(0);
    return answer;
}

RpcRequest PageRequest(const QString& handle) {
    return RpcRequest(QStringLiteral("VRNX OUTCR")).Literal(handle);
}

PageAnswer ReadPageAnswer(const RpcReply& reply) {
    PageAnswer answer;
    if (reply.Count() <= 1) return answer;
    const QString first = reply.Line(0);
    if (first != kDataMarker && first != kMiscMarker && first != kErrorsMarker) {
        answer.shape = PageAnswer::Shape::Whole;
        answer.lines = reply.Lines();
        return answer;
    }
    answer.shape = PageAnswer::Shape::Sectioned;
    const SectionedAnswer sections = reply.Sections(OutputMarkers());
    for (const QString& line : sections.Lines(Section::Misc)) {
        answer.position = Piece(line, kCaret, 1);
        answer.more = Piece(line, kCaret, 2) == QStringLiteral("1");
    }
    answer.lines = sections.Lines(Section::Data);
    answer.errors = sections.Lines(Section::Errors);
    return answer;
}

bool DocumentPaging::Take(const PageAnswer& answer) {
    ++replies_;
    switch (answer.shape) {
        case PageAnswer::Shape::Nothing:
            return false;
        case PageAnswer::Shape::Whole:
            lines_ = answer.lines;
            errors_.clear();
            return false;
        case PageAnswer::Shape::Sectioned:
            break;
    }
    errors_ = answer.errors;
    lines_ += answer.lines;
    if (!answer.more) return false;
    if (answer.lines.isEmpty() || lines_.size() > kMaxLines) {
        stalled_ = true;
        return false;
    }
    return true;
}

}  // namespace vorn::output
