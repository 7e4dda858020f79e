// The process-wide list of connected brokers, keyed by server and port. Brokers with the same
// key share one link; the link closes when the last of them lets go.
#pragma once

#include <QString>
#include <memory>
#include <vector>

namespace vorn {

class BrokerLink;
class TRPCBroker;

class BrokerConnections {
  public:
    // The live link of a connected broker registered under `key`, or null. A link that a
    // broker found dead is passed over.
    static std::shared_ptr<BrokerLink> FindLink(const QString& key);
    static void Add(const QString& key, TRPCBroker* broker, std::shared_ptr<BrokerLink> link);
    // Removes this broker's entry (by the broker, not by key); true when no other entry with
    // the same key remains.
    static bool Remove(TRPCBroker* broker);
    // Entries in key order (duplicates kept), for tests and diagnostics.
    static std::vector<QString> Keys();
    // False until the first broker connected and again after the last one disconnected.
    static bool Exists();
};

}  // namespace vorn
