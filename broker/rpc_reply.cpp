#include "broker/rpc_reply.h"

#include <QRegularExpression>

namespace vorn {

QStringList SplitAnswerLines(const QString& text) {
    if (text.isEmpty()) return {};
    static const QRegularExpression breaks(QStringLiteral("\r\n|\n|\r"));
    QStringList lines = text.split(breaks);
    if (lines.last().isEmpty()) lines.removeLast();
    return lines;
}

const SectionMarkers& StandardMarkers() {
    static const SectionMarkers markers = {
        {kDataMarker, Section::Data},     {kBeginDataMarker, Section::Data},
        {kErrorsMarker, Section::Errors}, {kBeginErrorsMarker, Section::Errors},
        {kMiscMarker, Section::Misc},     {kEndDataMarker, Section::None}};
    return markers;
}

RpcReply::RpcReply(QString text) : text_(std::move(text)), lines_(SplitAnswerLines(text_)) {}

const SectionedAnswer& RpcReply::Sections() const {
    if (!sections_) sections_ = ReadSections(lines_, StandardMarkers());
    return *sections_;
}

SectionedAnswer RpcReply::Sections(const SectionMarkers& markers) const {
    return ReadSections(lines_, markers);
}

bool RpcReply::IsDataMarkerAt(int index) const {
    const QString line = Line(index);
    return line == kDataMarker || line == kBeginDataMarker;
}

}  // namespace vorn
