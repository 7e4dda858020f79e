// The answer of one remote procedure call: its text, its lines, and the tagged sections the
// toolset reads from them.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "broker/section_reader.h"

#pragma GCC visibility push(default)
namespace vorn {

class RpcReply {
  public:
    RpcReply() = default;
    // `text` is the whole answer; its lines are split at CR LF, LF or CR.
    explicit RpcReply(QString text);

    // The whole answer as one text ("1" for a single value).
    const QString& Text() const { return text_; }
    const QStringList& Lines() const { return lines_; }
    int Count() const { return static_cast<int>(lines_.size()); }
    // Line `index` (from 0), or the empty text past the end.
    QString Line(int index) const { return lines_.value(index); }
    bool IsEmpty() const { return lines_.isEmpty(); }

    // The sections as the toolset reads most answers: "[Data]" and "[BEGIN_diDATA]" open the
    // data, "[Errors]" and "[BEGIN_diERRORS]" the errors, "[Misc]" the miscellaneous section,
    // and "[END_diDATA]" closes. Read once and kept.
    const SectionedAnswer& Sections() const;
    // The sections read with a caller's own markers.
    SectionedAnswer Sections(const SectionMarkers& markers) const;

    // True when line `index` is "[Data]" or "[BEGIN_diDATA]".
    bool IsDataMarkerAt(int index) const;

  private:
    QString text_;
    QStringList lines_;
    mutable std::optional<SectionedAnswer> sections_;
};

// The markers of RpcReply::Sections().
const SectionMarkers& StandardMarkers();

// Splits an answer into lines at CR LF, LF or CR; a final line break adds no line.
QStringList SplitAnswerLines(const QString& text);

}  // namespace vorn

#pragma GCC visibility pop
