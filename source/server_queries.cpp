#include "source/server_queries.h"

#include "broker/pieces.h"
#include "broker/rpc_broker.h"
#include "broker/section_reader.h"

namespace vorn {
namespace {

// A fresh list parameter 0 for the next call. Parameters a caller kept on the broker belong to
// another procedure and are not sent with this one.
TParamRecord& ListParameter(TRPCBroker& broker, const QString& value = QString()) {
    broker.Param.Clear();
    TParamRecord& param = broker.Param[0];
    param.Value = value;
    param.ParamKind = TParamType::list;
    return param;
}

// Calls the broker's procedure like CallRemote (the answer lines go to Results, emptied first
// when ClearResults is set) and returns this call's lines alone: with ClearResults off Results
// also holds older lines, and a sign-on on the way may empty it.
QStringList CallForLines(TRPCBroker& broker) {
    QStringList lines;
    broker.CallIntoList(lines);
    if (broker.ClearResults()) broker.Results.clear();
    broker.Results.append(lines);
    return lines;
}

}  // namespace

QString GetFieldAttribute(const QString& fileNumber, const QString& field, TRPCBroker* broker) {
    if (!broker || fileNumber.isEmpty() || field.isEmpty()) return {};
    broker->RemoteProcedure = QStringLiteral("VRNX DDU FIELDS");
    TParamRecord& param = ListParameter(*broker, QStringLiteral(".DDIN"));
    param.Mult.SetItem(QStringLiteral("1"), fileNumber);
    param.Mult.SetItem(QStringLiteral("2"), QStringLiteral(".001"));
    const QString caret = QStringLiteral("^");
    for (const QString& line : CallForLines(*broker)) {
        if (Piece(line, caret, 1) == field)
            return Piece(Piece(line, caret, 3), QStringLiteral(";"), 1);
    }
    return {};
}

ValidatedValue ValidateValue(const QString& fileNumber, const QString& field, const QString& value,
                             TRPCBroker* broker) {
    if (!broker) return {};
    broker->SetClearResults(true);
    broker->SetClearParameters(true);
    broker->RemoteProcedure = QStringLiteral("DDR VALIDATOR");
    TParamRecord& param = ListParameter(*broker, QStringLiteral(".DDR"));
    param.Mult.SetItem(QStringLiteral("\"FILE\""), fileNumber);
    param.Mult.SetItem(QStringLiteral("\"IENS\""), QStringLiteral("+1,"));
    param.Mult.SetItem(QStringLiteral("\"FIELD\""), field);
    param.Mult.SetItem(QStringLiteral("\"VALUE\""), value);
    broker->CallRemote();
    const QStringList& lines = broker->Results;
    if (lines.size() < 2 || (lines[1] != kDataMarker && lines[1] != kBeginDataMarker)) return {};
    return {lines.value(2), lines.value(3)};
}

QString GetRecordIdentifiers(const QString& fileNumber, const QString& iens, TRPCBroker* broker) {
    if (!broker) return {};
    static const SectionMarkers markers = {{kBeginErrorsMarker, Section::Errors},
                                           {kBeginDataMarker, Section::Data},
                                           {kEndDataMarker, Section::None}};
    broker->RemoteProcedure = QStringLiteral("VRNX IDENTIFIERS");
    TParamRecord& param = ListParameter(*broker);
    param.Mult.SetItem(QStringLiteral("\"FILE\""), fileNumber);
    param.Mult.SetItem(QStringLiteral("\"IEN\""), Piece(iens, QStringLiteral(","), 1));
    return ReadSections(CallForLines(*broker), markers).Joined(Section::Data);
}

}  // namespace vorn
