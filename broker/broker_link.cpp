#include "broker/internal/broker_link.h"

#include <atomic>

#include "broker/broker_error.h"
#include "broker/internal/clock.h"
#include "broker/internal/socket_errors.h"

namespace vorn {
namespace {

std::atomic<quint64> gLinkSerial{0};

}  // namespace

BrokerLink::BrokerLink() : serial(++gLinkSerial) {}

bool BrokerLink::CallTimeLimitHook() const {
    const double span = timeLimit > 0 ? timeLimit * kSecondInDays : kTenthSecondInDays;
    return inCall && startTime + span < CurrentClock().Now();
}

net::BlockingHook BrokerLink::Hook() const {
    if (debugMode) return {};
    return [this] { return CallTimeLimitHook(); };
}

void BrokerLink::StartWait() {
    startTime = CurrentClock().Now();
}

void BrokerLink::Fail(const char* failedStep) {
    if (net::LastSocketError() == net::WSAEINTR) drainPending = true;
    inCall = false;
    RaiseBrokerError(QString::fromLatin1(failedStep), 0);
}

}  // namespace vorn
