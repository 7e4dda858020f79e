#include "lookup/internal/bound_grid_rows.h"

#include "broker/pieces.h"

namespace vorn::gridrows {

QString RecordOf(const QString& line) {
    return Piece(line, QStringLiteral("^"), 1);
}

qsizetype IndexOf(const QStringList& lines, const QString& record) {
    if (record.isEmpty()) return -1;
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (RecordOf(lines[i]) == record) return i;
    return -1;
}

QString Neighbour(const QStringList& lines, TvornGridLink::Direction direction,
                  const QString& record) {
    if (lines.isEmpty()) return {};
    switch (direction) {
        case TvornGridLink::First:
            return RecordOf(lines.first());
        case TvornGridLink::Last:
            return RecordOf(lines.last());
        case TvornGridLink::Prior: {
            const qsizetype i = IndexOf(lines, record);
            return i >= 1 ? RecordOf(lines[i - 1]) : QString();
        }
        case TvornGridLink::Next: {
            const qsizetype i = IndexOf(lines, record);
            return i >= 0 && i + 1 < lines.size() ? RecordOf(lines[i + 1]) : QString();
        }
    }
    return {};
}

}  // namespace vorn::gridrows
