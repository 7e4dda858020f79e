#include "lookup/internal/pick_list.h"

#include "broker/pieces.h"
#include "lookup/internal/record_sort.h"
#include "lookup/vorn_finder.h"
#include "source/internal/source_messages.h"
#include "source/message_text.h"
#include "source/server_queries.h"

namespace vorn::picklist {
namespace {

const QString kComma = QStringLiteral(",");
const QString kPickCaret = QStringLiteral("^");
const QString kRecordNumber = QStringLiteral(".001");

}  // namespace

QList<Column> Columns(const QStringList& entries) {
    QList<Column> columns;
    for (const QString& entry : entries)
        columns.append(
            {Piece(entry, kComma, 1), Piece(entry, kComma, 2), Piece(entry, kComma, 3).toInt()});
    return columns;
}

QStringList FieldNumbers(const QStringList& entries) {
    QStringList fields;
    for (const QString& entry : entries)
        fields.append(Piece(entry, kComma, 1));
    return fields;
}

int ValuePiece(const QStringList& fields, int column) {
    return fields.value(column) == kRecordNumber ? 1 : column + 2;
}

QString CellText(const QString& recordLine, const QStringList& fields, int column) {
    return Piece(recordLine, kPickCaret, ValuePiece(fields, column));
}

int DisplayPiece(const QStringList& entries) {
    const int position = FieldNumbers(entries).indexOf(QStringLiteral(".01"));
    return position < 0 ? 2 : position + 2;
}

void FetchPage(TvornFinder& finder, bool more) {
    if (more)
        finder.GetMore();
    else
        finder.GetList();
    if (!finder.MoreRecords || finder.Part().isEmpty()) return;
    TRPCBroker* broker = finder.RPCBroker();
    if (finder.Number == QLatin1String("*")) {
        say::Information(GetMessageText(21, broker) + GetMessageText(22, broker));
        return;
    }
    say::Information(GetDialogText(23, finder.Number, broker) + say::kLineBreak +
                     GetMessageText(22, broker));
    finder.MoreRecords = false;
}

void SortRecords(TvornFinder& finder, const QString& sortField, TvornGridOrder order) {
    if (sortField.isEmpty() || finder.Records.size() < 2) return;
    const int position = finder.FieldList.indexOf(sortField);
    if (position < 0) return;
    TRPCBroker* broker = finder.RPCBroker();
    const QString file = finder.FileNumber;
    finder.Records =
        SortedLines(finder.Records, position, GetFieldAttribute(file, sortField, broker),
                    order == soDescending, file, sortField, broker);
}

QStringList SortedLines(const QStringList& lines, int position, const QString& fieldType,
                        bool descending, const QString& file, const QString& field,
                        TRPCBroker* broker) {
    return recordsort::Sort(lines, position + 2, recordsort::OrderOfType(fieldType), descending,
                            [&](const QString& external) {
                                return ValidateValue(file, field, external, broker).internal;
                            });
}

}  // namespace vorn::picklist
