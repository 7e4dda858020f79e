// What the broker shows the user while it works: plain messages and the busy cursor. The
// broker itself needs no window system; a windowed program installs a front that shows
// message boxes, a terminal program one that writes to the terminal.
#pragma once

#include <QString>

#pragma GCC visibility push(default)
namespace vorn {

class BrokerUi {
  public:
    virtual ~BrokerUi() = default;
    // A plain message with an OK button.
    virtual void ShowMessage(const QString& text) = 0;
    virtual void BusyCursor() {}
    virtual void RestoreCursor() {}
    // Lets the window system handle the messages that are pending (no-op without one).
    virtual void ProcessPendingEvents() {}
};

// The installed front; without one, messages go to standard error.
BrokerUi& CurrentBrokerUi();
// Installs `ui` (not owned); nullptr restores the standard-error front.
void SetBrokerUi(BrokerUi* ui);

}  // namespace vorn

#pragma GCC visibility pop
