#include "lookup/internal/bound_grid_columns.h"

#include <algorithm>

#include "broker/pieces.h"

namespace vorn::gridcolumns {

Column Parse(const QString& line, int defaultWidth) {
    const QString comma = QStringLiteral(",");
    Column column{Piece(line, comma, 1), Piece(line, comma, 2), defaultWidth};
    bool ok = false;
    const int width = Piece(line, comma, 3).trimmed().toInt(&ok);
    if (ok && width >= 0) column.width = width;
    return column;
}

QString Line(const Column& column) {
    return column.field + u',' + column.caption + u',' + QString::number(column.width);
}

QList<int> Fit(QList<int> widths, int gridWidth, int lineWidth) {
    const int n = static_cast<int>(widths.size());
    if (n == 0) return widths;
    const int slot = lineWidth + kNarrowest;
    if (slot * n <= gridWidth) {
        int sum = 0;
        for (int i = 0; i < n; ++i) {
            sum += widths[i];
            if (sum > gridWidth - (n - i) * slot) {
                sum -= widths[i] - kNarrowest;
                widths[i] = kNarrowest;
            }
        }
    }
    int others = 0;
    for (int i = 0; i < n - 1; ++i)
        others += widths[i] + lineWidth;
    widths[n - 1] = std::max(kNarrowest, gridWidth - others - 5);
    return widths;
}

}  // namespace vorn::gridcolumns
