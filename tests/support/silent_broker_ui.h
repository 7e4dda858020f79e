#pragma once

// The broker's front for programs that run unattended (tests, benchmarks, the picture tools):
// its messages go nowhere, so that nothing waits for a click.
#include "broker/broker_ui.h"

namespace vorn::test {

class SilentBrokerUi final : public BrokerUi {
  public:
    void ShowMessage(const QString&) override {}
};

}  // namespace vorn::test
