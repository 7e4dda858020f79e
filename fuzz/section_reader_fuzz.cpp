// The section reader and the piece functions over any answer: every line lands in exactly one
// section or is a marker, the walk sees the same content lines in the same order, and the
// pieces of a line put back together give the line again.
#include <cstdint>
#include <cstring>

#include <QString>
#include <QStringList>

#include "broker/pieces.h"
#include "broker/section_reader.h"

namespace {

const QString kMarkers[] = {vorn::kDataMarker,      vorn::kBeginDataMarker,   vorn::kEndDataMarker,
                            vorn::kErrorsMarker,    vorn::kBeginErrorsMarker, vorn::kMiscMarker,
                            vorn::kBeginHelpMarker, vorn::kEndHelpMarker};
const QString kDelimiters[] = {QStringLiteral("^"),  QStringLiteral(";"),    QStringLiteral(","),
                               QStringLiteral(" /"), QStringLiteral("  - "), QStringLiteral(": ")};

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

void CheckPieces(const QString& text, const QString& delimiter) {
    const int count = vorn::PieceCount(text, delimiter);
    Check(count >= 1);
    QStringList pieces;
    for (int n = 1; n <= count && n <= 64; ++n)
        pieces << vorn::Piece(text, delimiter, n);
    if (count <= 64) {
        Check(pieces.join(delimiter) == text);
        Check(vorn::Piece(text, delimiter, count + 1).isEmpty());
    }
    Check(vorn::Piece(text, delimiter, 0).isEmpty());
    if (!text.contains(delimiter)) Check(vorn::Piece(text, delimiter, 1) == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2 || size > 100000) return 0;
    // The first two bytes choose the caller's markers and the section each opens.
    const unsigned choice = data[0] | (data[1] << 8);
    vorn::SectionMarkers markers;
    for (int i = 0; i < 8; ++i)
        if (choice & (1u << i))
            markers.Add(kMarkers[i], static_cast<vorn::Section>((choice >> (8 + i % 4)) % 5));
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 2),
                                           static_cast<qsizetype>(size - 2));
    const QStringList lines = text.split(u'\n');

    const vorn::SectionedAnswer answer = vorn::ReadSections(lines, markers);
    qsizetype content = 0;
    for (int s = 0; s < vorn::kSectionCount; ++s)
        content += answer.Lines(static_cast<vorn::Section>(s)).size();
    qsizetype markerLines = 0;
    for (const QString& line : lines)
        if (markers.Opens(line)) ++markerLines;
    Check(content + markerLines == lines.size());

    // The walk meets the same lines, section by section, in order.
    qsizetype seen[vorn::kSectionCount] = {};
    vorn::SectionReader reader(lines, markers);
    qsizetype walked = 0;
    qsizetype last = -1;
    while (reader.Next()) {
        const int s = static_cast<int>(reader.CurrentSection());
        Check(s >= 0 && s < vorn::kSectionCount);
        Check(reader.Index() > last);
        last = reader.Index();
        Check(reader.Line() == answer.Lines(reader.CurrentSection()).value(seen[s]));
        ++seen[s];
        ++walked;
    }
    Check(walked == content);
    Check(reader.AtEnd() && !reader.Next() && !reader.NextRaw());

    // Raw steps mixed in never lose the position.
    vorn::SectionReader mixed(lines, markers, choice % 7);
    for (int step = 0; step < 64 && !mixed.AtEnd(); ++step) {
        const qsizetype before = mixed.Index();
        const bool moved = (step + choice) % 3 ? mixed.Next() : mixed.NextRaw();
        Check(!moved || mixed.Index() > before);
    }

    for (const QString& line : lines.mid(0, 32))
        for (const QString& delimiter : kDelimiters)
            CheckPieces(line, delimiter);
    return 0;
}
