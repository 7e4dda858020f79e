// A broker signed on to a real server with preset codes, the demo context created: how every
// test that speaks to the development server as a user starts.
#pragma once

#include <QString>
#include <memory>
#include <stdexcept>

#include "broker/rpc_broker.h"

namespace vorn::test {

inline const QString kDemoCodes = QStringLiteral("DEMO;DEMO.1234");
inline const QString kReaderCodes = QStringLiteral("READER;READER.1234");

// Brokers on one server text and port share one link and one sign-on, so a second session of
// the same server is reached by another text for the loopback address. "127.1" is 127.0.0.1 in
// the short form that the address parser reads by itself: no resolver is asked, and the tests
// run where not even "localhost" resolves (a root without /etc/hosts).
inline const QString kFirstHost = QStringLiteral("127.0.0.1");
inline const QString kSecondHost = QStringLiteral("127.1");

// Throws when the server refuses the context, so that nothing runs on a half-made session.
inline std::unique_ptr<TRPCBroker> SignedOnBroker(const QString& host, int port,
                                                  const QString& codes = kDemoCodes) {
    auto broker = std::make_unique<TRPCBroker>();
    broker->SetServer(host);
    broker->SetListenerPort(port);
    broker->PresetCodes = codes;
    if (!broker->OpenAppContext(QStringLiteral("ZAZIRERO")))
        throw std::runtime_error("the demo context was refused");
    return broker;
}

}  // namespace vorn::test
