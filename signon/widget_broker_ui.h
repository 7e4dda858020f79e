// The broker's front in a windowed program: plain message boxes and the hourglass cursor.
#pragma once

#include "broker/broker_ui.h"

#pragma GCC visibility push(default)
namespace vorn::ui {

class WidgetBrokerUi final : public BrokerUi {
  public:
    void ShowMessage(const QString& text) override;
    void BusyCursor() override;
    void RestoreCursor() override;
    void ProcessPendingEvents() override;

  private:
    int busy_ = 0;
};

// Installs the widget front for the broker (once per program).
void InstallWidgetBrokerUi();

}  // namespace vorn::ui

#pragma GCC visibility pop
