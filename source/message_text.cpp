#include "source/message_text.h"

#include "broker/rpc_broker.h"
#include "source/message_broker.h"
#include "source/message_table.h"
#include "broker/section_reader.h"

namespace vorn {
namespace {

const SectionMarkers& DialogMarkers() {
    static const SectionMarkers markers = {{kDataMarker, Section::Data},
                                           {kBeginDataMarker, Section::Data},
                                           {kEndDataMarker, Section::None},
                                           {kBeginErrorsMarker, Section::Errors}};
    return markers;
}

QString FetchText(TRPCBroker& broker, const QString& number, const QStringList& values) {
    broker.SetClearParameters(true);
    broker.SetClearResults(true);
    broker.RemoteProcedure = QStringLiteral("VRNX DIALOG");
    TParamRecord& param = broker.Param[0];
    param.ParamKind = TParamType::list;
    param.Mult.SetItem(QStringLiteral("\"VORNNUM\""), number);
    for (int i = 0; i < values.size(); ++i)
        param.Mult.SetItem(QString::number(i + 1), values[i]);
    broker.CallRemote();
    return ReadSections(broker.Results, DialogMarkers()).Joined(Section::Data);
}

// The string table holds message id under the resource id 1000 + id.
QString TableText(int id) {
    return id > 0 && id < 1000 ? LoadStringResource(1000 + id) : QString();
}

}  // namespace

QString MessageNumber(int id) {
    if (id >= 0 && id < 1000) return QString::number(1000 + id);
    return QString::number(id);
}

QStringList MessageParameters(const QString& parameters) {
    QStringList values;
    for (const QString& value : parameters.split(u'^')) {
        if (value.isEmpty()) break;
        values.append(value);
    }
    return values;
}

QString GetDialogText(int id, const QString& parameters, TRPCBroker* broker) {
    const QString number = MessageNumber(id);
    const QStringList values = MessageParameters(parameters);
    if (!MessageBroker()) {
        if (broker)
            SetMessageBroker(broker);
        else
            FindBroker(nullptr);
    }
    if (TRPCBroker* messages = MessageBroker()) return FetchText(*messages, number, values);
    return TableText(id);
}

QString GetMessageText(int id, TRPCBroker* broker) {
    if (broker) return GetDialogText(id, QString(), broker);
    return TableText(id);
}

}  // namespace vorn
