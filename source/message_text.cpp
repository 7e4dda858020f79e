#include "source/message_text.h"

#include "broker/rpc_broker.h"
#include "source/internal/message_broker.h"
#include "source/internal/message_table.h"
#include "source/internal/session_texts.h"

namespace vorn {
namespace {

QString FetchText(TRPCBroker& broker, const QString& number, const QStringList& values) {
    RpcRequest request(QStringLiteral("VRNX DIALOG"));
    request.List().Named(QStringLiteral("VORNNUM"), number);
    for (int i = 0; i < values.size(); ++i)
        request.Entry(QString::number(i + 1), values[i]);
    // This answer has no "[Errors]" or "[Misc]" section of its own: such lines are text.
    static const SectionMarkers markers = {{kDataMarker, Section::Data},
                                           {kBeginDataMarker, Section::Data},
                                           {kEndDataMarker, Section::None},
                                           {kBeginErrorsMarker, Section::Errors}};
    return broker.Call(request).Sections(markers).Joined(Section::Data);
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
    if (!broker) return TableText(id);
    if (!MessageBroker()) SetMessageBroker(broker);
    TRPCBroker& messages = *MessageBroker();
    return session_texts::Text(id, messages,
                               [&] { return FetchText(messages, MessageNumber(id), {}); });
}

}  // namespace vorn
