#include "source/internal/session_texts.h"

#include <QHash>

#include "broker/internal/broker_link.h"
#include "broker/rpc_broker.h"

namespace vorn::session_texts {
namespace {

struct Kept {
    quint64 link = 0;
    QHash<int, QString> texts;
};

Kept& TheTexts() {
    static Kept kept;
    return kept;
}

quint64 LinkOf(const TRPCBroker& broker) {
    return broker.Connected() && broker.Link() ? broker.Link()->serial : 0;
}

}  // namespace

QString Text(int id, TRPCBroker& broker, const std::function<QString()>& fetch) {
    Kept& kept = TheTexts();
    if (Has(id, broker)) return kept.texts.value(id);
    const QString text = fetch();
    const quint64 link = LinkOf(broker);
    if (link != kept.link) {
        kept.texts.clear();
        kept.link = link;
    }
    if (link != 0) kept.texts.insert(id, text);
    return text;
}

bool Has(int id, const TRPCBroker& broker) {
    const Kept& kept = TheTexts();
    const quint64 link = LinkOf(broker);
    return link != 0 && link == kept.link && kept.texts.contains(id);
}

void Drop() {
    TheTexts() = Kept();
}

}  // namespace vorn::session_texts
