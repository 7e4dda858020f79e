#include "broker/internal/broker_connections.h"

#include <algorithm>

#include "broker/internal/broker_link.h"

namespace vorn {
namespace {

struct Entry {
    QString key;
    TRPCBroker* broker;
    std::shared_ptr<BrokerLink> link;
};

// Created with the first entry and freed with the last one. Keys compare without regard to
// letter case, as host names do.
std::unique_ptr<std::vector<Entry>> gList;

bool SameKey(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace

std::shared_ptr<BrokerLink> BrokerConnections::FindLink(const QString& key) {
    if (!gList) return nullptr;
    for (const Entry& e : *gList)
        if (SameKey(e.key, key) && e.link && e.link->linked) return e.link;
    return nullptr;
}

void BrokerConnections::Add(const QString& key, TRPCBroker* broker,
                            std::shared_ptr<BrokerLink> link) {
    if (!gList) gList = std::make_unique<std::vector<Entry>>();
    const auto at = std::upper_bound(
        gList->begin(), gList->end(), key,
        [](const QString& k, const Entry& e) { return k.compare(e.key, Qt::CaseInsensitive) < 0; });
    gList->insert(at, Entry{key, broker, std::move(link)});
}

bool BrokerConnections::Remove(TRPCBroker* broker) {
    if (!gList) return true;
    const auto it = std::find_if(gList->begin(), gList->end(),
                                 [broker](const Entry& e) { return e.broker == broker; });
    if (it == gList->end()) return true;
    const QString key = it->key;
    gList->erase(it);
    const bool last = std::none_of(gList->begin(), gList->end(),
                                   [&](const Entry& e) { return SameKey(e.key, key); });
    if (gList->empty()) gList.reset();
    return last;
}

std::vector<QString> BrokerConnections::Keys() {
    std::vector<QString> keys;
    if (gList)
        for (const Entry& e : *gList)
            keys.push_back(e.key);
    return keys;
}

bool BrokerConnections::Exists() {
    return gList != nullptr;
}

}  // namespace vorn
