#include "lookup/internal/record_sort.h"

#include <QHash>
#include <algorithm>

#include "broker/pieces.h"

namespace vorn::recordsort {

Order OrderOfType(const QString& fieldType) {
    if (fieldType == QLatin1String("N")) return Order::Number;
    if (fieldType == QLatin1String("D")) return Order::Date;
    return Order::Text;
}

QStringList Sort(const QStringList& lines, int piece, Order order, bool descending,
                 const DateReader& readDate) {
    const QString caret = QStringLiteral("^");
    QStringList values;
    values.reserve(lines.size());
    qsizetype widest = 0;
    for (const QString& line : lines) {
        values.append(Piece(line, caret, piece));
        widest = std::max(widest, values.last().size());
    }
    QHash<QString, QString> internalDates;
    struct Keyed {
        QString key;
        qsizetype index;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString key = values[i];
        if (order == Order::Number) {
            key = key.rightJustified(widest, u' ');
        } else if (order == Order::Date) {
            auto found = internalDates.constFind(key);
            if (found == internalDates.constEnd())
                found = internalDates.insert(key, readDate ? readDate(key) : key);
            key = *found;
        }
        keyed.push_back({key.toLower(), i});
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
        return QString::localeAwareCompare(a.key, b.key) < 0;
    });
    QStringList sorted;
    sorted.reserve(lines.size());
    for (const Keyed& k : keyed)
        sorted.append(lines[k.index]);
    if (descending) std::reverse(sorted.begin(), sorted.end());
    return sorted;
}

}  // namespace vorn::recordsort
