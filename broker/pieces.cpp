#include "broker/pieces.h"

namespace vorn {

QString Piece(QStringView text, QStringView delimiter, int n) {
    if (n < 1) return {};
    if (delimiter.isEmpty()) return n == 1 ? text.toString() : QString();
    qsizetype start = 0;
    for (int i = 1; i < n; ++i) {
        const qsizetype at = text.indexOf(delimiter, start);
        if (at < 0) return {};
        start = at + delimiter.size();
    }
    const qsizetype end = text.indexOf(delimiter, start);
    return text.mid(start, end < 0 ? -1 : end - start).toString();
}

int PieceCount(QStringView text, QStringView delimiter) {
    if (delimiter.isEmpty()) return 1;
    int count = 1;
    for (qsizetype at = text.indexOf(delimiter); at >= 0;
         at = text.indexOf(delimiter, at + delimiter.size()))
        ++count;
    return count;
}

}  // namespace vorn
